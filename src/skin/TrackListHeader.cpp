#include "skin/TrackListHeader.h"

#include <QPainter>

#include "skin/SkinImageCache.h"
#include "skin/layout/SkinStyle.h"

namespace orvel {

namespace {

constexpr char kPattern[] = "IDR_GREENBACKGROUNDBMP";

}  // namespace

TrackListHeader::TrackListHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setFont(skin::SkinStyle::font(skin::FontRole::List));
}

QSize TrackListHeader::sizeHint() const {
    QSize size = QHeaderView::sizeHint();
    size.setHeight(fontMetrics().height() + 6);
    return size;
}

void TrackListHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid()) {
        return;
    }
    painter->save();
    const QPixmap pattern = SkinImageCache::pixmap(kPattern, devicePixelRatioF());
    painter->fillRect(rect, pattern.isNull() ? QBrush(skin::SkinStyle::colour(skin::palette::kWell))
                                             : QBrush(pattern));
    painter->setFont(font());
    painter->setPen(skin::SkinStyle::colour(skin::palette::kEngraving));
    const QString title =
        model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
    painter->drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, title);
    if (visualIndex(logicalIndex) < count() - 1) {
        painter->setPen(skin::SkinStyle::colour(skin::palette::kBevelLight));
        painter->drawLine(rect.topRight(), rect.bottomRight());
    }
    painter->restore();
}

}  // namespace orvel
