#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QLoggingCategory>
#include <QPixmap>
#include <string_view>

Q_DECLARE_LOGGING_CATEGORY(lcSkin)

// The pictures of the skin, loaded once from the resources and kept for the program's life:
// ":/skin/<file>.bmp", and "<file>@2x.bmp" for screens of more than one device pixel per face
// pixel. Slider tracks and thumbs come back with their key colour made transparent, so the face
// shows around their grooves.
//
// Thread contract: GUI thread only (QPixmap).
namespace orvel {

class SkinImageCache {
public:
    // The picture of a skin file for a device pixel ratio: the double-size set above 1, its
    // device pixel ratio set so that it paints at face size. Null when the file is missing (the
    // first miss of each file is logged).
    static QPixmap pixmap(std::string_view file, qreal devicePixelRatio);
    // Puts a picture in place of a skin file until forget() (tests; pictures made at run time).
    static void replace(std::string_view file, const QImage& image);
    static void forget(std::string_view file);
    // Makes the skin's resources readable (style sheets name them); pixmap() does it too.
    static void registerResources();
    // The program's icon in all its sizes (windows, tray).
    static QIcon programIcon();
    // The line window's plug cursor.
    static QCursor lineCursor(qreal devicePixelRatio);
};

}  // namespace orvel
