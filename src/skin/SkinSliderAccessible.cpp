#include "skin/SkinSliderAccessible.h"

#include <QWidget>
#include <QWindow>

#include "skin/SkinSlider.h"

namespace orvel {

SkinSliderAccessible::SkinSliderAccessible(SkinSlider* slider) : m_slider(slider) {}

bool SkinSliderAccessible::isValid() const {
    return !m_slider.isNull() && m_slider->face();
}

QObject* SkinSliderAccessible::object() const {
    return m_slider;
}

QWindow* SkinSliderAccessible::window() const {
    return isValid() ? m_slider->face()->window()->windowHandle() : nullptr;
}

QList<QPair<QAccessibleInterface*, QAccessible::Relation>> SkinSliderAccessible::relations(
    QAccessible::Relation) const {
    return {};
}

QAccessibleInterface* SkinSliderAccessible::parent() const {
    return isValid() ? QAccessible::queryAccessibleInterface(m_slider->face()) : nullptr;
}

QString SkinSliderAccessible::text(QAccessible::Text t) const {
    if (!isValid()) {
        return {};
    }
    switch (t) {
        case QAccessible::Name:
            return m_slider->accessibleName();
        case QAccessible::Value:
            return QString::number(m_slider->value());
        default:
            return {};
    }
}

QRect SkinSliderAccessible::rect() const {
    if (!isValid()) {
        return {};
    }
    const QRect track = m_slider->trackRect();
    return {m_slider->face()->mapToGlobal(track.topLeft()), track.size()};
}

QAccessible::State SkinSliderAccessible::state() const {
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    s.invisible = !m_slider->isVisible() || !m_slider->face()->isVisible();
    s.disabled = !m_slider->isEnabled();
    return s;
}

void* SkinSliderAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return nullptr;
}

QVariant SkinSliderAccessible::currentValue() const {
    return isValid() ? m_slider->value() : 0;
}

void SkinSliderAccessible::setCurrentValue(const QVariant& value) {
    if (isValid() && m_slider->isEnabled()) {
        m_slider->applyValue(value.toInt());
    }
}

QVariant SkinSliderAccessible::maximumValue() const {
    return isValid() ? m_slider->maximum() : 0;
}

}  // namespace orvel
