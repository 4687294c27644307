#include "recorder/StartupOptions.h"

namespace orvel {

std::string StartupOptions::refusalText() const {
    if (fileNameRefusal.empty()) {
        return {};
    }
    return "-filename \"" + refusedFileName + "\": " + fileNameRefusal;
}

}  // namespace orvel
