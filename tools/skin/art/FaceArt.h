#pragma once

#include <QImage>
#include <optional>
#include <string_view>

#include "skin/layout/SkinLayout.h"

// Draws a face image, or a panel of the front face, from the layout table: brushed body, the
// engravings of its face or panel, dark fields under its stock widgets and the bevel along the
// outline as the window clips it.
//
// Thread contract: the generator's only thread.
namespace orvel::art {

class FaceArt {
public:
    // The image of this name at the scale, or none when no face or panel uses it.
    static std::optional<QImage> draw(std::string_view imageName, int scale);
};

}  // namespace orvel::art
