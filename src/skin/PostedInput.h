#pragma once

#include <QPoint>

class QWidget;

// Presses the program makes itself (the command line's start-up presses, hot keys): mouse
// events posted to a control or a face, handled after the current event in the order posted,
// by the same handlers as the user's own. Posted events are not spontaneous, so they never
// start a window move.
//
// Thread contract: GUI thread only.
namespace orvel {

class PostedInput {
public:
    // A left press and release at the control's top-left corner: a click on a button.
    static void click(QWidget* control);
    // A left press, one move with the button held, and the release, in the face's
    // coordinates: a drag of a slider drawn on the face.
    static void drag(QWidget* face, const QPoint& press, const QPoint& move, const QPoint& release);
};

}  // namespace orvel
