#include "recorder/StartupOptions.h"

namespace orvel {

namespace {
StartupOptions& processOptions() {
    static StartupOptions options;
    return options;
}
}  // namespace

std::string StartupOptions::refusalText() const {
    if (fileNameRefusal.empty()) {
        return {};
    }
    return "-filename \"" + refusedFileName + "\": " + fileNameRefusal;
}

const StartupOptions& startupOptions() {
    return processOptions();
}

void setStartupOptions(const StartupOptions& options) {
    processOptions() = options;
}

}  // namespace orvel
