#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <string>
#include <string_view>

class QPainter;
class QPixmap;

// One picture of the skin by its file name (a face image, a slider's track or thumb, a
// button's state image), drawn from the shared image cache at the painter's pixel density.
// An empty picture (no name, or a file the skin does not hold) draws nothing.
//
// Thread contract: GUI thread only.
namespace orvel {

class FacePicture {
public:
    FacePicture() = default;
    explicit FacePicture(std::string_view file) : m_file(file) {}

    // Takes another file; returns whether the skin holds it.
    bool load(std::string_view file);
    void release() { m_file.clear(); }
    bool isNull() const;
    const std::string& file() const { return m_file; }
    // The size in face pixels.
    QSize size() const;

    // Draws the picture scaled to the target rectangle (a face image drawn at its outline's
    // size, whatever its own size). Returns false, drawing nothing, when the picture is empty.
    bool render(QPainter& painter, const QRect& target) const;
    // Draws it at its own size with its top-left corner at the point.
    bool renderNatural(QPainter& painter, const QPoint& at) const;

private:
    QPixmap pixmapFor(const QPainter& painter) const;

    std::string m_file;
};

}  // namespace orvel
