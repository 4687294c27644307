#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include "skin/layout/SkinImageTable.h"
#include "skin/layout/SkinLayout.h"

// The drawing vocabulary of the skin: brushed body, bevels along outlines, displays, wells,
// decks, engraved frames and captions, keys. Everything is drawn in face pixels on a painter
// that may be scaled (2 for the double-size set); textures are made per device pixel.
//
// Thread contract: the generator's only thread.
namespace orvel::art {

QColor rgb(skin::Rgb c);
// c1 towards c2 by t (0..1).
QColor mix(const QColor& c1, const QColor& c2, double t);

// The colour that stands for "transparent" in slider images: no skin picture uses it.
inline const QColor kKeyColour(255, 0, 255);
// The mean body colour, under the rounded corners of keys.
QColor bodyMean();

class ArtPainter {
public:
    // Paints on an image of the given device size; the painter's unit is one face pixel.
    ArtPainter(QImage& image, int scale);

    QPainter& painter() { return m_painter; }
    int scale() const { return m_scale; }

    // Brushed graphite over the area, inside the clip: lighter at face row 0, darkest from
    // face row `span` down; its fine lines come from the seed, so every run draws the same.
    void body(const QRectF& area, int span, quint32 seed);
    // 1 px light on edges facing up or left, 1 px shadow on the others, inside the polygon.
    void bevel(const QPolygonF& polygon);

    void display(const QRectF& rect);  // recessed, backlit
    void well(const QRectF& rect);     // recessed, dark
    void deck(const QRectF& rect);     // shallow dark plate
    void frame(const QRectF& rect, const QString& title);
    void rule(const QRectF& rect);
    void scope(const QRectF& rect);

    enum class TextStyle { Caption, Title, Note, Wordmark };
    void engrave(const QRectF& rect, const QString& text, TextStyle style, skin::Align align);

    // A rounded key face. pressed: sunk one pixel with an inner shadow.
    void keyFace(const QRectF& rect, bool pressed, double radius = 3.0);
    // The amber latch indicator along the top edge of a key.
    void latchBar(const QRectF& keyRect);
    void keyCaption(const QRectF& rect, const QString& text, bool pressed,
                    const QColor& colour = QColor());
    void symbol(const QRectF& box, skin::Symbol symbol, const QColor& colour);

    // The recessed rim of a small control (check box, radio, socket hole).
    void recessedRect(const QRectF& rect, double radius);

private:
    QPainter m_painter;
    int m_scale;
};

// Turns a picture drawn on transparency into one on the key colour, with no blended edge
// (pixels are either kept whole or become the key colour).
QImage onKeyColour(const QImage& argb);
// Lowers contrast to 45% towards the body, for DISABLE images.
QImage disabled(const QImage& image);

}  // namespace orvel::art
