#pragma once

#include <QString>

namespace orvel {
class SkinFace;
}

// Faces of the gallery that are the program's real windows, run on sample data of their own
// (a temporary schedule file, a settings store nobody else uses); the other faces come from
// GalleryFace.
//
// Thread contract: GUI thread only.
namespace orvel::gallery {

class RealWindows {
public:
    // The face for a variant: the real window where there is one, else the gallery's staged
    // face; null for an unknown variant. The caller owns it.
    static SkinFace* make(const QString& variant);
};

}  // namespace orvel::gallery
