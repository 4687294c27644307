#include "skin/FacePicture.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>

#include "skin/SkinImageCache.h"

namespace orvel {

bool FacePicture::load(std::string_view file) {
    m_file = file;
    return !isNull();
}

bool FacePicture::isNull() const {
    return m_file.empty() || SkinImageCache::pixmap(m_file, 1.0).isNull();
}

QSize FacePicture::size() const {
    if (m_file.empty()) {
        return {};
    }
    const QPixmap pixmap = SkinImageCache::pixmap(m_file, 1.0);
    return pixmap.isNull() ? QSize() : pixmap.deviceIndependentSize().toSize();
}

QPixmap FacePicture::pixmapFor(const QPainter& painter) const {
    if (m_file.empty()) {
        return {};
    }
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    return SkinImageCache::pixmap(m_file, ratio);
}

bool FacePicture::render(QPainter& painter, const QRect& target) const {
    const QPixmap pixmap = pixmapFor(painter);
    if (pixmap.isNull()) {
        return false;
    }
    painter.drawPixmap(target, pixmap);
    return true;
}

bool FacePicture::renderNatural(QPainter& painter, const QPoint& at) const {
    const QPixmap pixmap = pixmapFor(painter);
    if (pixmap.isNull()) {
        return false;
    }
    painter.drawPixmap(at, pixmap);
    return true;
}

}  // namespace orvel
