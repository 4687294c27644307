#include "skin/SkinLineEdit.h"

#include <QFocusEvent>
#include <QMetaObject>
#include <QTimer>

#include "skin/PlainMessage.h"

namespace orvel {

SkinLineEdit::SkinLineEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::returnPressed, this, [this] {
        if (!m_refusing) {
            check();
        }
    });
}

void SkinLineEdit::setCheck(Check check, const QString& title) {
    m_check = std::move(check);
    m_title = title;
}

bool SkinLineEdit::check() {
    const QString message = m_check ? m_check(text()) : QString();
    if (!message.isEmpty()) {
        refuse(message);
        return false;
    }
    emit accepted(text());
    return true;
}

void SkinLineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Only the user leaves a field: focus going to another window (the message itself,
    // another program), away with a closing face, or moved by the program (a refused field
    // taking the focus back) is no decision about this field's text.
    const bool withinFace = event->reason() == Qt::TabFocusReason ||
                            event->reason() == Qt::BacktabFocusReason ||
                            event->reason() == Qt::MouseFocusReason;
    if (m_refusing || !withinFace || !window()->isVisible()) {
        return;
    }
    check();
}

void SkinLineEdit::refuse(const QString& message) {
    if (m_refusing) {
        return;
    }
    m_refusing = true;
    QPointer<SkinLineEdit> self(this);
    // Opening a window inside a focus change would re-enter focus handling: open it after.
    QMetaObject::invokeMethod(
        this,
        [self, message] {
            if (!self) {
                return;
            }
            PlainMessage::show(self, QMessageBox::Warning, self->m_title, message, QMessageBox::Ok,
                               [self](QMessageBox::StandardButton) {
                                   if (!self) {
                                       return;
                                   }
                                   // Back to the field once the message has gone.
                                   QTimer::singleShot(0, self, [self] {
                                       if (self) {
                                           self->m_refusing = false;
                                           self->setFocus(Qt::OtherFocusReason);
                                           self->selectAll();
                                       }
                                   });
                               });
        },
        Qt::QueuedConnection);
}

}  // namespace orvel
