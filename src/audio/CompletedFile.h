#pragma once

#include <QMetaType>
#include <QString>

namespace orvel {

// A file of a capture run that is complete: a file ended by a split, or the run's last file.
struct CompletedFile {
    QString path;
    bool ok = true;  // false: completing it failed, or the path no longer names it (see error)
    QString error;
    bool sound = false;  // captured sound went into it
    bool exists = true;  // false: no sound came for it, and it was removed or never opened
};

}  // namespace orvel

Q_DECLARE_METATYPE(orvel::CompletedFile)
