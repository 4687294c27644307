#include "skin/SkinButtonAccessible.h"

#include "skin/SkinButton.h"

namespace orvel {

namespace {

QAccessible::Role roleOf(const SkinButton* button) {
    if (button->spec().image == "IDR_BTNCHECKBOX") {
        return QAccessible::CheckBox;
    }
    if (button->spec().image == "IDR_BTNRADIO") {
        return QAccessible::RadioButton;
    }
    return QAccessible::Button;
}

}  // namespace

SkinButtonAccessible::SkinButtonAccessible(SkinButton* button)
    : QAccessibleWidget(button, roleOf(button)) {}

SkinButton* SkinButtonAccessible::button() const {
    return static_cast<SkinButton*>(widget());
}

QAccessible::State SkinButtonAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    const SkinButton* b = button();
    if (b->mode() != skin::ButtonMode::Push) {
        s.checkable = true;
        s.checked = b->latched();
    }
    s.pressed = b->isDown();
    return s;
}

QStringList SkinButtonAccessible::actionNames() const {
    return {pressAction()};
}

void SkinButtonAccessible::doAction(const QString& action) {
    if (action == pressAction() && button()->isEnabled()) {
        button()->click();
    }
}

}  // namespace orvel
