#include "app/StartupOptions.h"

namespace orvel {

namespace {
StartupOptions& processOptions() {
    static StartupOptions options;
    return options;
}
}  // namespace

const StartupOptions& startupOptions() {
    return processOptions();
}

void setStartupOptions(const StartupOptions& options) {
    processOptions() = options;
}

}  // namespace orvel
