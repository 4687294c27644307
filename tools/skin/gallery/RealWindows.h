#pragma once

#include <QDialog>
#include <QStringList>

// The windows of the recorder that exist, staged for the gallery and its screenshots: each one
// is the real window reading sample settings from a private settings store (the gallery points
// the configuration folder at a temporary one), tag mode on small sample files, and the device
// window on a sound server that lists sample devices.
//
// Thread contract: GUI thread only.
namespace orvel::gallery {

class RealWindows {
public:
    static QStringList variants();
    // The window of a variant, or null for a variant that is not one of these. The schedule
    // file goes to the sample folder, the files of tag mode to the music folder.
    static QDialog* make(const QString& variant, const QString& sampleFolder,
                         const QString& musicFolder);
};

}  // namespace orvel::gallery
