#include "skin/SkinButton.h"

#include <QPainter>

#include "skin/SkinImageCache.h"
#include "skin/SkinStrings.h"

namespace orvel {

SkinButton::SkinButton(const skin::ControlSpec& spec, QWidget* parent)
    : QAbstractButton(parent), m_spec(spec), m_mode(spec.mode) {
    const skin::ImageSpec* image = skin::SkinImageTable::find(spec.image);
    m_hasHover = image && image->states == skin::StateSet::UpHoverDownDisable;
    setFocusPolicy(Qt::NoFocus);
    setGeometry(spec.rect.x, spec.rect.y, spec.rect.width, spec.rect.height);
    setObjectName(toQString(spec.name().empty() ? spec.label : spec.name()));
    // The image covers the whole button: nothing behind it needs painting first.
    setAttribute(Qt::WA_NoSystemBackground);
}

void SkinButton::setMode(skin::ButtonMode mode) {
    m_mode = mode;
    update();
}

void SkinButton::setLatched(bool latched) {
    if (m_latched != latched) {
        m_latched = latched;
        update();
    }
}

skin::ImageState SkinButton::shownState() const {
    if (!isEnabled()) {
        return skin::ImageState::Disable;
    }
    if (isDown()) {
        return skin::ImageState::Down;
    }
    if (m_mode != skin::ButtonMode::Push && m_latched) {
        return skin::ImageState::Down;
    }
    if (m_hovered && m_hasHover) {
        return skin::ImageState::Hover;
    }
    return skin::ImageState::Up;
}

QSize SkinButton::sizeHint() const {
    return {m_spec.rect.width, m_spec.rect.height};
}

void SkinButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPixmap pixmap = SkinImageCache::pixmap(
        skin::SkinImageTable::fileName(m_spec.image, shownState()), devicePixelRatioF());
    // A missing state image leaves the face showing through.
    if (!pixmap.isNull()) {
        painter.drawPixmap(rect(), pixmap);
    }
}

void SkinButton::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    if (m_hasHover) {
        update();
    }
    QAbstractButton::enterEvent(event);
}

void SkinButton::leaveEvent(QEvent* event) {
    m_hovered = false;
    if (m_hasHover) {
        update();
    }
    QAbstractButton::leaveEvent(event);
}

}  // namespace orvel
