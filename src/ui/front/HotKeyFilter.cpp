#include "ui/front/HotKeyFilter.h"

#include <QKeyEvent>
#include <QWidget>

#include "config/QtKeyMap.h"
#include "skin/PostedInput.h"
#include "skin/SkinButton.h"
#include "skin/SkinFace.h"
#include "skin/SkinSlider.h"

namespace orvel {

HotKeyFilter::HotKeyFilter(SkinFace& face, const HotKeyScript& keys,
                           std::function<bool()> startupState)
    : QObject(&face), m_face(face), m_keys(keys), m_startupState(std::move(startupState)) {}

bool HotKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != &m_face) {
        return false;
    }
    return keyPressed(*static_cast<QKeyEvent*>(event));
}

bool HotKeyFilter::keyPressed(const QKeyEvent& event) {
    const int code = keys::CodeOfQtKey(event.key(), event.modifiers().testFlag(Qt::KeypadModifier));
    const HotKeyScript::Modifiers held{event.modifiers().testFlag(Qt::ControlModifier),
                                       event.modifiers().testFlag(Qt::ShiftModifier),
                                       event.modifiers().testFlag(Qt::AltModifier)};
    const bool startup = m_startupState && m_startupState();
    const HotKeyScript::KeyAction action =
        m_keys.OnKeyDown(code, held, startup ? HotKeyScript::kBackFace : HotKeyScript::kFrontFace);
    const bool dispatched = dispatch(action, event.isAutoRepeat());
    return dispatched || !action.goOn;
}

bool HotKeyFilter::dispatch(const HotKeyScript::KeyAction& action, bool repeat) {
    using Gesture = HotKeyScript::Gesture;
    switch (action.gesture) {
        case Gesture::Click: {
            SkinButton* button = m_face.button(ControlId{HotKeyScript::IdOf(action.name)});
            if (repeat || button == nullptr || button->isHidden() || !button->isEnabled()) {
                return false;
            }
            PostedInput::click(button);
            return true;
        }
        case Gesture::VolumeUp:
        case Gesture::VolumeDown:
        case Gesture::FrequencyUp:
        case Gesture::FrequencyDown: {
            const bool volume =
                action.gesture == Gesture::VolumeUp || action.gesture == Gesture::VolumeDown;
            const SkinSlider* slider =
                m_face.slider(volume ? skin::SliderId::Volume : skin::SliderId::Rate);
            if (slider == nullptr || !slider->isVisible() || !slider->isEnabled()) {
                return false;
            }
            const QRect thumb = slider->thumbRect();
            const HotKeyScript::Drag drag = HotKeyScript::SliderDrag(
                {thumb.left(), thumb.top(), thumb.right() + 1, thumb.bottom() + 1},
                action.gesture == Gesture::VolumeUp || action.gesture == Gesture::FrequencyUp);
            PostedInput::drag(&m_face, {drag.press.x, drag.press.y}, {drag.move.x, drag.move.y},
                              {drag.release.x, drag.release.y});
            return true;
        }
        case Gesture::SelectField:
            // The face has no minute or second fields to select.
        case Gesture::None:
            break;
    }
    return false;
}

}  // namespace orvel
