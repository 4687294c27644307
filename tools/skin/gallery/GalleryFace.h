#pragma once

#include <QString>

#include "skin/SkinFace.h"

// A face of the gallery whose window is not built yet: the face with its controls laid out
// from the table and sample contents in its display areas, drawn with the skin's fonts and
// colours the way the windows draw them. No logic stands behind it. Faces whose windows exist
// are shown as those windows (RealWindows, RealFront).
//
// Thread contract: GUI thread only.
namespace orvel::gallery {

class GalleryFace : public SkinFace {
    Q_OBJECT

public:
    // A variant of a face: "schedule".
    static GalleryFace* make(const QString& variant);
    static QStringList variants();

protected:
    void paintContents(QPainter& painter) override;

private:
    GalleryFace(skin::FaceId face, const QString& variant);
    void stage();

    QString m_variant;
};

}  // namespace orvel::gallery
