#pragma once

#include <QImage>

// The program's icon and the line window's plug cursor, on transparency.
//
// Thread contract: the generator's only thread.
namespace orvel::art {

class IconArt {
public:
    static QImage icon(int size);
    // 32 x 32 face pixels at the scale; the plug's tip is the hot spot.
    static QImage plugCursor(int scale);
    // The drop-down arrow of lists on faces, 8 x 5 face pixels at the scale.
    static QImage fieldArrow(int scale, bool disabled);
};

}  // namespace orvel::art
