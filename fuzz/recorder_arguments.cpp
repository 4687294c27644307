// Arbitrary bytes as the headless recorder's arguments (split at zero bytes): parsing never
// fails, and a command it accepts holds only values within their ranges.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/RecorderArguments.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool within(const std::optional<int>& value, int low, int high) {
    return !value || (*value >= low && *value <= high);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back().push_back(static_cast<char>(data[i]));
        }
    }
    const orvel::RecorderCommand command = orvel::RecorderArguments::parse(arguments);
    if (!command.ok() || command.kind != orvel::RecorderCommand::Kind::Record) {
        return 0;
    }
    const orvel::RecordArguments& r = command.record;
    require(!r.file.empty());
    require(within(r.signalThreshold, 0, 47));
    require(within(r.mp3Bitrate, 0, 15) && within(r.mp3Mode, 0, 2));
    require(within(r.genre, 0, 255) && within(r.wmaGenre, 0, 79));
    require(!r.seconds || (*r.seconds > 0 && *r.seconds <= 366.0 * 24 * 3600));
    // The copyright is a flag or a text, never both from one "--copyright".
    require(!(r.copyright.value_or(false) && r.copyrightText));
    return 0;
}
