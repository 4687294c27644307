#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

#include "config/ControlId.h"

class QLineEdit;
class QPoint;

namespace orvel {
class SkinFace;
}

// Driving windows in tests the way a user does: clicks on skin buttons, a field typed and left
// with Tab, the messages that open without waiting, and drags on the face's sliders.
namespace orvel::test {

// Visible message boxes, oldest first.
QList<QMessageBox*> openMessages();
// The next message to open (waits up to two seconds); nullptr when none opens.
QMessageBox* awaitMessage();
// Closes every open message with OK (or its first button) and lets the face settle.
void dismissMessages();

void click(SkinFace& face, ControlId id);
// Types `text` into the field and leaves it with Tab, as the user does.
void typeAndLeave(QLineEdit* field, const QString& text);
// A drag on the face from one point to another.
void drag(SkinFace& face, const QPoint& from, const QPoint& to);
// Real clicks of the X server at a point of the screen, as a user's hand makes them (xdotool;
// two make a double click); false when they could not be made.
bool clickOnScreen(const QPoint& global, int clicks = 1);

}  // namespace orvel::test
