#include "IconArt.h"

#include <QPainter>
#include <QPainterPath>

#include "ArtPainter.h"
#include "skin/layout/SkinStyle.h"

namespace orvel::art {

QImage IconArt::icon(int size) {
    QImage out(size, size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // A graphite deck with a backlit ring and the record key's dot.
    QLinearGradient body(0, 0, 0, 64);
    body.setColorAt(0, rgb(skin::palette::kBodyTop).lighter(120));
    body.setColorAt(1, rgb(skin::palette::kBodyBottom));
    p.setPen(QPen(rgb(skin::palette::kBevelShadow), 2));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(3, 3, 58, 58), 12, 12);
    p.setPen(QPen(QColor(150, 156, 164, 160), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(5, 5, 54, 54), 10, 10);
    p.setPen(QPen(rgb(skin::palette::kDisplay), 5));
    p.drawEllipse(QPointF(32, 32), 17, 17);
    QRadialGradient dot(QPointF(29, 29), 12);
    dot.setColorAt(0, rgb(skin::palette::kRecord).lighter(140));
    dot.setColorAt(1, rgb(skin::palette::kRecord).darker(130));
    p.setPen(Qt::NoPen);
    p.setBrush(dot);
    p.drawEllipse(QPointF(32, 32), 9.5, 9.5);
    return out;
}

QImage IconArt::plugCursor(int scale) {
    QImage out(32 * scale, 32 * scale, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    // A jack plug pointing up and left: tip at (3, 3), sleeve, then the grip.
    p.translate(3, 3);
    p.rotate(45);
    QPainterPath plug;
    plug.addRoundedRect(QRectF(-2, 0, 4, 9), 2, 2);     // tip and ring
    plug.addRect(QRectF(-3, 9, 6, 7));                  // sleeve
    plug.addRoundedRect(QRectF(-5, 16, 10, 15), 3, 3);  // grip
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(QColor(220, 224, 230));
    p.drawPath(plug.simplified());
    p.setPen(Qt::NoPen);
    p.setBrush(rgb(skin::palette::kDisplay));
    p.drawRect(QRectF(-4, 20, 8, 2));
    return out;
}

QImage IconArt::fieldArrow(int scale, bool disabled) {
    QImage out(8 * scale, 5 * scale, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    p.setPen(Qt::NoPen);
    p.setBrush(rgb(disabled ? skin::palette::kFieldDisabledText : skin::palette::kFieldText));
    p.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(8, 0), QPointF(4, 5)}));
    return out;
}

}  // namespace orvel::art
