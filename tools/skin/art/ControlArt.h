#pragma once

#include <QImage>

#include "skin/layout/SkinImageTable.h"

// Draws every image that is not a face: keys in their states, check boxes and radios,
// sockets, rows of the device window, slider tracks and thumbs, the sample-rate labels and the
// track list's pieces. Slider tracks and thumbs stand on the key colour where the face must
// show through.
//
// Thread contract: the generator's only thread.
namespace orvel::art {

class ControlArt {
public:
    // The image in a state (ignored for single images) at the scale.
    static QImage draw(const skin::ImageSpec& image, skin::ImageState state, int scale);
};

}  // namespace orvel::art
