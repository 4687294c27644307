#include "skin/PostedInput.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace orvel {

namespace {

void post(QWidget* to, QEvent::Type type, const QPoint& at) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QCoreApplication::postEvent(to, new QMouseEvent(type, QPointF(at), QPointF(to->mapToGlobal(at)),
                                                    button, held, Qt::NoModifier));
}

}  // namespace

void PostedInput::click(QWidget* control) {
    post(control, QEvent::MouseButtonPress, QPoint(0, 0));
    post(control, QEvent::MouseButtonRelease, QPoint(0, 0));
}

void PostedInput::drag(QWidget* face, const QPoint& press, const QPoint& move,
                       const QPoint& release) {
    post(face, QEvent::MouseButtonPress, press);
    post(face, QEvent::MouseMove, move);
    post(face, QEvent::MouseButtonRelease, release);
}

}  // namespace orvel
