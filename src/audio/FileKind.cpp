#include "audio/FileKind.h"

#include <sys/stat.h>

namespace orvel::file {

Kind kindOf(const std::string& path) {
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0) {
        return Kind::Missing;
    }
    if (S_ISREG(status.st_mode)) {
        return Kind::Regular;
    }
    return S_ISDIR(status.st_mode) ? Kind::Folder : Kind::Special;
}

std::string kindProblem(Kind kind) {
    switch (kind) {
        case Kind::Regular:
            return {};
        case Kind::Missing:
            return "there is no such file";
        case Kind::Folder:
            return "it is a folder";
        case Kind::Special:
            return "it is not a plain file (a FIFO, a socket or a device)";
    }
    return {};
}

}  // namespace orvel::file
