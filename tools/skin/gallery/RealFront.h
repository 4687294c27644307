#pragma once

#include <QDialog>
#include <QStringList>

// The program's own front face for the gallery and its screenshots: the real face on the real
// controller and the sound server (the private one where the desktop has none), with sample
// settings in the gallery's private folder, staged by clicks on its buttons: idle, recording
// with the meter moving, in signal mode, with the line window or the log panel open, on the
// first run; and the start-up and about windows.
//
// Thread contract: GUI thread only.
namespace orvel::gallery {

class RealFront {
public:
    static QStringList variants();
    // The staged window of a variant, shown, or null for a variant that is not one of these
    // (or when no sound server answers). Settings and the log go to the sample folder, the
    // files the face names to the music folder. Deleting it ends what it runs.
    static QDialog* make(const QString& variant, const QString& sampleFolder,
                         const QString& musicFolder);
};

}  // namespace orvel::gallery
