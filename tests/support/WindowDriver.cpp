#include "support/WindowDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

#include "skin/SkinButton.h"
#include "skin/SkinFace.h"

namespace orvel::test {

QList<QMessageBox*> openMessages() {
    QList<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
            boxes << box;
        }
    }
    return boxes;
}

QMessageBox* awaitMessage() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const QList<QMessageBox*> boxes = openMessages();
        if (!boxes.isEmpty()) {
            return boxes.back();
        }
    }
    return nullptr;
}

void dismissMessages() {
    for (QMessageBox* box : openMessages()) {
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        (ok ? ok : box->buttons().value(0))->click();
    }
    QTest::qWait(20);
}

void click(SkinFace& face, ControlId id) {
    SkinButton* button = face.button(id);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void typeAndLeave(QLineEdit* field, const QString& text) {
    // Focus changes only count inside the active window (a closed message may have left none).
    field->window()->activateWindow();
    (void)QTest::qWaitForWindowActive(field->window());
    field->setFocus(Qt::OtherFocusReason);
    field->setText(text);
    QTest::keyClick(field, Qt::Key_Tab);
}

void drag(SkinFace& face, const QPoint& from, const QPoint& to) {
    QTest::mousePress(&face, Qt::LeftButton, {}, from);
    QTest::mouseMove(&face, to);
    QTest::mouseRelease(&face, Qt::LeftButton, {}, to);
}

bool clickOnScreen(const QPoint& global, int clicks) {
    return QProcess::execute("xdotool", {"mousemove", QString::number(global.x()),
                                         QString::number(global.y()), "click", "--repeat",
                                         QString::number(clicks), "--delay", "60", "1"}) == 0;
}

}  // namespace orvel::test
