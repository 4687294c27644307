#include "ArtPainter.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "skin/layout/SkinStyle.h"

namespace orvel::art {

using skin::palette::kBevelLight;
using skin::palette::kBevelShadow;

QColor rgb(skin::Rgb c) {
    return QColor(c.r, c.g, c.b);
}

QColor mix(const QColor& c1, const QColor& c2, double t) {
    auto lerp = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return QColor(lerp(c1.red(), c2.red()), lerp(c1.green(), c2.green()),
                  lerp(c1.blue(), c2.blue()), lerp(c1.alpha(), c2.alpha()));
}

QColor bodyMean() {
    return mix(rgb(skin::palette::kBodyTop), rgb(skin::palette::kBodyBottom), 0.5);
}

ArtPainter::ArtPainter(QImage& image, int scale) : m_painter(&image), m_scale(scale) {
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    m_painter.scale(scale, scale);
}

void ArtPainter::body(const QRectF& area, int span, quint32 seed) {
    const QRect device = m_painter.transform().mapRect(area).toAlignedRect();
    if (device.isEmpty()) {
        return;
    }
    QImage texture(device.size(), QImage::Format_RGB32);
    // minstd_rand is specified exactly by the standard: the same lines on every machine.
    std::minstd_rand random(seed);
    const QColor top = rgb(skin::palette::kBodyTop);
    const QColor bottom = rgb(skin::palette::kBodyBottom);
    const double faceTop = area.top();
    std::vector<int> streak(static_cast<std::size_t>(device.width()));
    for (int y = 0; y < device.height(); ++y) {
        const double faceY = faceTop + (y + 0.5) / m_scale;
        const QColor base = mix(top, bottom, std::clamp(faceY / span, 0.0, 1.0));
        // Neighbouring lines differ by 2 to 4 levels.
        const int line = (y % 2 == 0 ? 1 : -1) * static_cast<int>(1 + random() % 2);
        std::fill(streak.begin(), streak.end(), 0);
        if (random() % 5 == 0) {
            const int length = static_cast<int>(20 + random() % 100) * m_scale;
            const int start = static_cast<int>(random() % static_cast<unsigned>(device.width()));
            for (int x = start; x < std::min(device.width(), start + length); ++x) {
                streak[static_cast<std::size_t>(x)] = 2;
            }
        }
        auto* row = reinterpret_cast<QRgb*>(texture.scanLine(y));
        for (int x = 0; x < device.width(); ++x) {
            const int d = line + streak[static_cast<std::size_t>(x)];
            row[x] = qRgb(std::clamp(base.red() + d, 0, 255), std::clamp(base.green() + d, 0, 255),
                          std::clamp(base.blue() + d, 0, 255));
        }
    }
    m_painter.drawImage(area, texture);
}

void ArtPainter::bevel(const QPolygonF& polygon) {
    const int n = polygon.size();
    if (n < 3) {
        return;
    }
    double twiceArea = 0;
    for (int i = 0; i < n; ++i) {
        const QPointF a = polygon[i];
        const QPointF b = polygon[(i + 1) % n];
        twiceArea += a.x() * b.y() - b.x() * a.y();
    }
    const double orientation = twiceArea >= 0 ? 1.0 : -1.0;
    m_painter.save();
    QPainterPath clip;
    clip.addPolygon(polygon);
    clip.setFillRule(Qt::WindingFill);
    m_painter.setClipPath(clip, Qt::IntersectClip);
    for (int i = 0; i < n; ++i) {
        const QPointF a = polygon[i];
        const QPointF b = polygon[(i + 1) % n];
        const QPointF d = b - a;
        const double length = std::hypot(d.x(), d.y());
        if (length < 0.01) {
            continue;
        }
        // Outward normal of a clockwise (on screen) outline.
        const QPointF normal = QPointF(d.y(), -d.x()) * (orientation / length);
        const bool light = normal.x() + normal.y() < -1e-9;
        const QPointF inward = -normal * 0.5;
        m_painter.setPen(
            QPen(rgb(light ? kBevelLight : kBevelShadow), 1.0, Qt::SolidLine, Qt::SquareCap));
        m_painter.drawLine(a + inward, b + inward);
    }
    m_painter.restore();
}

namespace {

// A recessed rim: shadow on the top and left edge, light on the bottom and right edge.
void recessedRim(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(r.left(), r.top(), r.width(), 1), rgb(kBevelShadow));
    p.fillRect(QRectF(r.left(), r.top(), 1, r.height()), rgb(kBevelShadow));
    p.fillRect(QRectF(r.left() + 1, r.bottom() - 1, r.width() - 1, 1), rgb(kBevelLight));
    p.fillRect(QRectF(r.right() - 1, r.top() + 1, 1, r.height() - 1), rgb(kBevelLight));
    p.restore();
}

}  // namespace

void ArtPainter::display(const QRectF& rect) {
    recessedRim(m_painter, rect);
    const QRectF inner = rect.adjusted(1, 1, -1, -1);
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    skin::SkinStyle::fillDisplay(m_painter, inner.toRect(), rgb(skin::palette::kDisplay));
    const QColor shade = rgb(skin::palette::kDisplay).darker(150);
    m_painter.fillRect(QRectF(inner.left(), inner.top(), inner.width(), 1), shade);
    m_painter.fillRect(QRectF(inner.left(), inner.top(), 1, inner.height()), shade);
    m_painter.restore();
}

void ArtPainter::well(const QRectF& rect) {
    recessedRim(m_painter, rect);
    const QRectF inner = rect.adjusted(1, 1, -1, -1);
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.fillRect(inner, rgb(skin::palette::kWell));
    m_painter.fillRect(QRectF(inner.left(), inner.top(), inner.width(), 1), QColor(0, 0, 0, 140));
    m_painter.fillRect(QRectF(inner.left(), inner.top(), 1, inner.height()), QColor(0, 0, 0, 90));
    m_painter.restore();
}

void ArtPainter::deck(const QRectF& rect) {
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.fillRect(rect, QColor(30, 33, 37));
    QColor light = rgb(kBevelLight);
    light.setAlpha(120);
    m_painter.fillRect(QRectF(rect.left(), rect.top(), rect.width(), 1), rgb(kBevelShadow));
    m_painter.fillRect(QRectF(rect.left(), rect.top(), 1, rect.height()), rgb(kBevelShadow));
    m_painter.fillRect(QRectF(rect.left() + 1, rect.bottom() - 1, rect.width() - 1, 1), light);
    m_painter.fillRect(QRectF(rect.right() - 1, rect.top() + 1, 1, rect.height() - 1), light);
    m_painter.restore();
}

void ArtPainter::frame(const QRectF& rect, const QString& title) {
    m_painter.save();
    const QFont font = skin::SkinStyle::font(skin::FontRole::Caption);
    const double titleWidth = title.isEmpty() ? 0 : QFontMetricsF(font).horizontalAdvance(title);
    if (titleWidth > 0) {
        QPainterPath keep;
        keep.addRect(rect.adjusted(-2, -2, 2, 2));
        QPainterPath gap;
        gap.addRect(QRectF(rect.left() + 6, rect.top() - 2, titleWidth + 8, 5));
        m_painter.setClipPath(keep.subtracted(gap), Qt::IntersectClip);
    }
    m_painter.setBrush(Qt::NoBrush);
    QColor light = rgb(kBevelLight);
    light.setAlpha(150);
    m_painter.setPen(QPen(light, 1.0));
    m_painter.drawRoundedRect(rect.adjusted(1.5, 1.5, -0.5, -0.5), 3, 3);
    m_painter.setPen(QPen(rgb(kBevelShadow), 1.0));
    m_painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -1.5, -1.5), 3, 3);
    m_painter.restore();
    if (titleWidth > 0) {
        engrave(QRectF(rect.left() + 10, rect.top() - 5, titleWidth + 2, 11), title,
                TextStyle::Caption, skin::Align::Left);
    }
}

void ArtPainter::rule(const QRectF& rect) {
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    QColor light = rgb(kBevelLight);
    light.setAlpha(150);
    if (rect.width() >= rect.height()) {
        m_painter.fillRect(QRectF(rect.left(), rect.top(), rect.width(), 1), rgb(kBevelShadow));
        m_painter.fillRect(QRectF(rect.left(), rect.top() + 1, rect.width(), 1), light);
    } else {
        m_painter.fillRect(QRectF(rect.left(), rect.top(), 1, rect.height()), rgb(kBevelShadow));
        m_painter.fillRect(QRectF(rect.left() + 1, rect.top(), 1, rect.height()), light);
    }
    m_painter.restore();
}

void ArtPainter::scope(const QRectF& rect) {
    well(rect);
    const QRectF inner = rect.adjusted(8, 8, -8, -8);
    m_painter.save();
    m_painter.setClipRect(rect.adjusted(1, 1, -1, -1), Qt::IntersectClip);
    const QColor grid(40, 52, 60);
    m_painter.setPen(QPen(grid, 1.0));
    for (int i = 0; i <= 10; ++i) {
        const double x = std::round(inner.left() + i * inner.width() / 10) + 0.5;
        m_painter.drawLine(QPointF(x, inner.top()), QPointF(x, inner.bottom()));
    }
    for (int i = 0; i <= 4; ++i) {
        const double y = std::round(inner.top() + i * inner.height() / 4) + 0.5;
        m_painter.drawLine(QPointF(inner.left(), y), QPointF(inner.right(), y));
    }
    // A phrase, a pause, a longer phrase: where the wave stays below the threshold the
    // recording waits.
    const double mid = inner.center().y();
    const double half = inner.height() / 2;
    const double threshold = 0.32;
    auto envelope = [](double t) {
        auto bump = [](double t0, double t1, double at) {
            if (at < t0 || at > t1) {
                return 0.0;
            }
            const double u = (at - t0) / (t1 - t0);
            return std::sin(u * std::numbers::pi) * (0.75 + 0.25 * std::sin(u * 17.0));
        };
        return 0.06 + bump(0.04, 0.36, t) * 0.86 + bump(0.55, 0.96, t) * 0.9;
    };
    const QColor cyan = rgb(skin::palette::kDisplay);
    const QColor dim = mix(cyan, rgb(skin::palette::kWell), 0.65);
    const int steps = static_cast<int>(inner.width()) * 2;
    for (int i = 0; i < steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const double level = envelope(t);
        const double swing = level * (0.55 + 0.45 * std::sin(i * 0.9) * std::cos(i * 0.23));
        const double x = inner.left() + t * inner.width();
        m_painter.setPen(QPen(level > threshold ? cyan : dim, 0.5));
        m_painter.drawLine(QPointF(x, mid - swing * half), QPointF(x, mid + swing * half));
    }
    QPen dashed(rgb(skin::palette::kLatched), 1.0, Qt::DashLine);
    m_painter.setPen(dashed);
    for (double y : {mid - threshold * half, mid + threshold * half}) {
        m_painter.drawLine(QPointF(inner.left(), std::round(y) + 0.5),
                           QPointF(inner.right(), std::round(y) + 0.5));
    }
    m_painter.restore();
    engrave(QRectF(inner.left() + 4, inner.top() + 2, 200, 12), "THRESHOLD", TextStyle::Caption,
            skin::Align::Left);
}

void ArtPainter::engrave(const QRectF& rect, const QString& text, TextStyle style,
                         skin::Align align) {
    skin::FontRole role = skin::FontRole::Caption;
    QColor colour = rgb(skin::palette::kEngraving);
    switch (style) {
        case TextStyle::Caption:
            break;
        case TextStyle::Title:
            role = skin::FontRole::Title;
            break;
        case TextStyle::Note:
            role = skin::FontRole::Note;
            colour = QColor(172, 177, 184);
            break;
        case TextStyle::Wordmark:
            role = skin::FontRole::Wordmark;
            colour = QColor(226, 230, 236);
            break;
    }
    int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    flags |= align == skin::Align::Left    ? Qt::AlignLeft
             : align == skin::Align::Right ? Qt::AlignRight
                                           : Qt::AlignHCenter;
    m_painter.save();
    m_painter.setFont(skin::SkinStyle::font(role));
    m_painter.setPen(rgb(kBevelShadow));
    m_painter.drawText(rect.translated(0, 1), flags, text);
    m_painter.setPen(colour);
    m_painter.drawText(rect, flags, text);
    m_painter.restore();
}

void ArtPainter::keyFace(const QRectF& rect, bool pressed, double radius) {
    m_painter.save();
    m_painter.fillRect(rect, bodyMean());
    const QRectF shape = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    if (pressed) {
        fill.setColorAt(0, QColor(40, 43, 48));
        fill.setColorAt(1, QColor(58, 62, 68));
    } else {
        fill.setColorAt(0, QColor(88, 93, 101));
        fill.setColorAt(1, QColor(54, 58, 64));
    }
    m_painter.setPen(QPen(rgb(kBevelShadow), 1.0));
    m_painter.setBrush(fill);
    m_painter.drawRoundedRect(shape, radius, radius);
    m_painter.setBrush(Qt::NoBrush);
    QPainterPath inside;
    inside.addRoundedRect(shape.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
    m_painter.setClipPath(inside, Qt::IntersectClip);
    if (pressed) {
        m_painter.setPen(QPen(QColor(0, 0, 0, 130), 1.0));
        m_painter.drawLine(QPointF(rect.left(), rect.top() + 1.5),
                           QPointF(rect.right(), rect.top() + 1.5));
        m_painter.setPen(QPen(QColor(0, 0, 0, 60), 1.0));
        m_painter.drawLine(QPointF(rect.left(), rect.top() + 2.5),
                           QPointF(rect.right(), rect.top() + 2.5));
    } else {
        m_painter.setPen(QPen(QColor(160, 166, 174, 170), 1.0));
        m_painter.drawLine(QPointF(rect.left() + radius, rect.top() + 1.5),
                           QPointF(rect.right() - radius, rect.top() + 1.5));
        m_painter.setPen(QPen(QColor(0, 0, 0, 70), 1.0));
        m_painter.drawLine(QPointF(rect.left(), rect.bottom() - 1.5),
                           QPointF(rect.right(), rect.bottom() - 1.5));
    }
    m_painter.restore();
}

void ArtPainter::latchBar(const QRectF& keyRect) {
    const double margin = std::min(6.0, keyRect.width() / 6);
    QRectF bar(keyRect.left() + margin, keyRect.top() + 3, keyRect.width() - 2 * margin, 2);
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.fillRect(bar, rgb(skin::palette::kLatched));
    m_painter.restore();
}

void ArtPainter::keyCaption(const QRectF& rect, const QString& text, bool pressed,
                            const QColor& colour) {
    const QRectF area = rect.translated(0, pressed ? 1 : 0);
    m_painter.save();
    m_painter.setFont(skin::SkinStyle::font(skin::FontRole::Caption));
    m_painter.setPen(QColor(0, 0, 0, 200));
    m_painter.drawText(area.translated(0, 1), Qt::AlignCenter | Qt::TextSingleLine, text);
    m_painter.setPen(colour.isValid() ? colour : rgb(skin::palette::kEngraving));
    m_painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, text);
    m_painter.restore();
}

void ArtPainter::symbol(const QRectF& box, skin::Symbol symbol, const QColor& colour) {
    using skin::Symbol;
    m_painter.save();
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(colour);
    const QPointF c = box.center();
    const double w = box.width();
    const double h = box.height();
    switch (symbol) {
        case Symbol::Record:
            m_painter.drawEllipse(c, w * 0.42, h * 0.42);
            break;
        case Symbol::Play:
            m_painter.drawPolygon(QPolygonF({QPointF(c.x() - w * 0.32, c.y() - h * 0.4),
                                             QPointF(c.x() + w * 0.42, c.y()),
                                             QPointF(c.x() - w * 0.32, c.y() + h * 0.4)}));
            break;
        case Symbol::Pause:
            m_painter.drawRect(QRectF(c.x() - w * 0.34, c.y() - h * 0.38, w * 0.24, h * 0.76));
            m_painter.drawRect(QRectF(c.x() + w * 0.10, c.y() - h * 0.38, w * 0.24, h * 0.76));
            break;
        case Symbol::Stop:
            m_painter.drawRect(QRectF(c.x() - w * 0.34, c.y() - h * 0.34, w * 0.68, h * 0.68));
            break;
        case Symbol::Eject:
            m_painter.drawPolygon(QPolygonF({QPointF(c.x() - w * 0.4, c.y() + h * 0.08),
                                             QPointF(c.x(), c.y() - h * 0.4),
                                             QPointF(c.x() + w * 0.4, c.y() + h * 0.08)}));
            m_painter.drawRect(QRectF(c.x() - w * 0.4, c.y() + h * 0.2, w * 0.8, h * 0.18));
            break;
        case Symbol::Help: {
            QFont font = skin::SkinStyle::font(skin::FontRole::Title);
            font.setPixelSize(static_cast<int>(h));
            m_painter.setFont(font);
            m_painter.setPen(colour);
            m_painter.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
            break;
        }
        case Symbol::Tray:
            m_painter.drawPolygon(QPolygonF({QPointF(c.x() - w * 0.3, c.y() - h * 0.15),
                                             QPointF(c.x() + w * 0.3, c.y() - h * 0.15),
                                             QPointF(c.x(), c.y() + h * 0.2)}));
            m_painter.drawRect(QRectF(c.x() - w * 0.3, c.y() - h * 0.45, w * 0.6, h * 0.14));
            m_painter.drawRect(QRectF(c.x() - w * 0.45, c.y() + h * 0.32, w * 0.9, h * 0.14));
            break;
        case Symbol::Minimise:
            m_painter.drawRect(QRectF(c.x() - w * 0.4, c.y() + h * 0.18, w * 0.8, h * 0.18));
            break;
        case Symbol::Close: {
            m_painter.setPen(QPen(colour, w * 0.18, Qt::SolidLine, Qt::RoundCap));
            const double d = w * 0.34;
            m_painter.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
            m_painter.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
            break;
        }
        case Symbol::Microphone: {
            m_painter.drawRoundedRect(QRectF(c.x() - w * 0.18, c.y() - h * 0.48, w * 0.36, h * 0.6),
                                      w * 0.18, w * 0.18);
            m_painter.setBrush(Qt::NoBrush);
            m_painter.setPen(QPen(colour, std::max(1.0, w * 0.09)));
            m_painter.drawArc(QRectF(c.x() - w * 0.32, c.y() - h * 0.3, w * 0.64, h * 0.6),
                              180 * 16, 180 * 16);
            m_painter.drawLine(QPointF(c.x(), c.y() + h * 0.3), QPointF(c.x(), c.y() + h * 0.46));
            break;
        }
        case Symbol::ArrowDown:
            m_painter.drawPolygon(QPolygonF({QPointF(c.x() - w * 0.5, c.y() - h * 0.3),
                                             QPointF(c.x() + w * 0.5, c.y() - h * 0.3),
                                             QPointF(c.x(), c.y() + h * 0.35)}));
            break;
        case Symbol::ArrowUp:
            m_painter.drawPolygon(QPolygonF({QPointF(c.x() - w * 0.5, c.y() + h * 0.3),
                                             QPointF(c.x() + w * 0.5, c.y() + h * 0.3),
                                             QPointF(c.x(), c.y() - h * 0.35)}));
            break;
        case Symbol::None:
        case Symbol::Checked:
        case Symbol::Unchecked:
        case Symbol::Disabled:
            break;
    }
    m_painter.restore();
}

void ArtPainter::recessedRect(const QRectF& rect, double radius) {
    m_painter.save();
    const QRectF shape = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    m_painter.setPen(Qt::NoPen);
    m_painter.setBrush(QColor(12, 14, 17));
    m_painter.drawRoundedRect(shape, radius, radius);
    m_painter.setBrush(Qt::NoBrush);
    QPainterPath upper;
    upper.addRect(QRectF(rect.left(), rect.top(), rect.width(), rect.height() * 0.5));
    m_painter.setClipPath(upper, Qt::IntersectClip);
    m_painter.setPen(QPen(rgb(kBevelShadow), 1.0));
    m_painter.drawRoundedRect(shape, radius, radius);
    m_painter.setClipping(false);
    QPainterPath lower;
    lower.addRect(
        QRectF(rect.left(), rect.top() + rect.height() * 0.5, rect.width(), rect.height() * 0.5));
    m_painter.setClipPath(lower);
    m_painter.setPen(QPen(rgb(kBevelLight), 1.0));
    m_painter.drawRoundedRect(shape, radius, radius);
    m_painter.restore();
}

QImage onKeyColour(const QImage& argb) {
    QImage source = argb.convertToFormat(QImage::Format_ARGB32);
    QImage out(source.size(), QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const QRgb p = in[x];
            row[x] = qAlpha(p) < 128 ? kKeyColour.rgb() : qRgb(qRed(p), qGreen(p), qBlue(p));
        }
    }
    return out;
}

QImage disabled(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    const QColor mid = bodyMean();
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = row[x];
            if ((p & 0xffffff) == (kKeyColour.rgb() & 0xffffff)) {
                continue;
            }
            auto fade = [](int c, int m) {
                return m + static_cast<int>(std::lround((c - m) * 0.45));
            };
            row[x] = qRgb(fade(qRed(p), mid.red()), fade(qGreen(p), mid.green()),
                          fade(qBlue(p), mid.blue()));
        }
    }
    return out;
}

}  // namespace orvel::art
