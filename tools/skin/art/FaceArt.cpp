#include "FaceArt.h"

#include <QPainterPath>
#include <QPolygonF>

#include "ArtPainter.h"
#include "skin/layout/SkinStyle.h"

namespace orvel::art {

namespace {

using skin::ArtKind;
using skin::FaceSpec;

struct Source {
    const FaceSpec* face = nullptr;
    int panel = skin::kNoPanel;  // kNoPanel: the face image itself
};

Source sourceOf(std::string_view imageName) {
    for (const FaceSpec& face : skin::SkinLayout::faces()) {
        if (face.image == imageName) {
            return {&face, skin::kNoPanel};
        }
        for (std::size_t i = 0; i < face.panels.size(); ++i) {
            if (face.panels[i].image == imageName) {
                return {&face, static_cast<int>(i)};
            }
        }
    }
    return {};
}

// FNV-1a of the name: each image has brush lines of its own, the same on every run.
quint32 seedOf(std::string_view name) {
    quint32 hash = 2166136261u;
    for (char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

QRectF rectF(const skin::Rect& r) {
    return QRectF(r.x, r.y, r.width, r.height);
}

void drawArt(ArtPainter& painter, const skin::ArtSpec& item) {
    const QRectF r = rectF(item.rect);
    const QString text = QString::fromUtf8(item.text.data(), static_cast<int>(item.text.size()));
    switch (item.kind) {
        case ArtKind::Display:
            painter.display(r);
            break;
        case ArtKind::Well:
            painter.well(r);
            break;
        case ArtKind::Deck:
            painter.deck(r);
            break;
        case ArtKind::Frame:
            painter.frame(r, text);
            break;
        case ArtKind::Caption:
            painter.engrave(r, text, ArtPainter::TextStyle::Caption, item.align);
            break;
        case ArtKind::Title:
            painter.engrave(r, text, ArtPainter::TextStyle::Title, item.align);
            break;
        case ArtKind::Note:
            painter.engrave(r, text, ArtPainter::TextStyle::Note, item.align);
            break;
        case ArtKind::Wordmark:
            painter.engrave(r, text, ArtPainter::TextStyle::Wordmark, item.align);
            break;
        case ArtKind::Rule:
            painter.rule(r);
            break;
        case ArtKind::Scope:
            painter.scope(r);
            break;
    }
}

}  // namespace

std::optional<QImage> FaceArt::draw(std::string_view imageName, int scale) {
    const Source source = sourceOf(imageName);
    if (!source.face) {
        return std::nullopt;
    }
    const FaceSpec& face = *source.face;
    // A panel is cut from the outline that is in force while only it is open, so that its
    // bevel follows the window's edge there.
    const std::size_t outlineIndex =
        source.panel == skin::kNoPanel ? 0 : (std::size_t{1} << source.panel);
    const skin::Outline& outline = face.outlines[outlineIndex];
    const skin::Rect crop = source.panel == skin::kNoPanel
                                ? skin::Rect{0, 0, face.size().width, face.size().height}
                                : face.panels[static_cast<std::size_t>(source.panel)].rect;

    QImage image(crop.width * scale, crop.height * scale, QImage::Format_RGB32);
    image.fill(rgb(skin::palette::kBevelShadow));
    ArtPainter painter(image, scale);
    QPainter& p = painter.painter();
    p.translate(-crop.x, -crop.y);

    QPolygonF polygon;
    for (const skin::Point& point : outline.points) {
        polygon << QPointF(point.x, point.y);
    }
    // Points outside the window are cut off by the window: draw the shape the user sees.
    const QRectF window(0, 0, outline.size.width, outline.size.height);
    QPainterPath shape;
    shape.addPolygon(polygon);
    shape.setFillRule(Qt::WindingFill);
    QPainterPath windowPath;
    windowPath.addRect(window);
    const QPolygonF visible = shape.intersected(windowPath).toFillPolygon();

    p.save();
    p.setClipPath(shape.intersected(windowPath));
    painter.body(rectF(crop), face.size().height, seedOf(imageName));
    for (const skin::ArtSpec& item : face.art) {
        if (item.panel == source.panel) {
            drawArt(painter, item);
        }
    }
    for (const skin::ControlSpec& control : face.controls) {
        if (control.panel == source.panel && control.kind != skin::ControlKind::Button) {
            painter.well(rectF(control.rect).adjusted(-1, -1, 1, 1));
        }
    }
    p.restore();
    painter.bevel(visible);
    return image;
}

}  // namespace orvel::art
