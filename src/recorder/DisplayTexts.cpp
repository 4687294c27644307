#include "recorder/DisplayTexts.h"

#include <algorithm>
#include <cstdio>

namespace orvel::display {

std::string recordingText(std::uint64_t bytesWritten, std::uint32_t recordedSeconds) {
    const unsigned long long kilobytes = bytesWritten >> 10;
    const unsigned long long megabytes = kilobytes >> 10;
    // (KB mod 1024) / 10.24 rounded down, in integers so that 1023 KB gives 99, not 100.
    const unsigned long long hundredths = (kilobytes & 1023u) * 100u / 1024u;

    char size[64];
    if (megabytes == 0) {
        std::snprintf(size, sizeof size, "%lluKB / ", kilobytes);
    } else if (megabytes <= 999) {
        std::snprintf(size, sizeof size, "%llu.%02lluMB / ", megabytes, hundredths);
    } else {
        std::snprintf(size, sizeof size, "%llu,%03llu.%02lluMB / ", megabytes / 1000,
                      megabytes % 1000, hundredths);
    }

    const std::uint32_t hours = recordedSeconds / 3600;
    const std::uint32_t minutes = recordedSeconds / 60 % 60;
    const std::uint32_t seconds = recordedSeconds % 60;
    char time[48];
    if (hours != 0) {
        std::snprintf(time, sizeof time, "%02u:%02u:%02u", hours, minutes, seconds);
    } else {
        std::snprintf(time, sizeof time, "%02u:%02u", minutes, seconds);
    }
    return std::string(size) + time;
}

std::string playbackText(std::int64_t positionMs, std::int64_t lengthMs) {
    positionMs = std::max<std::int64_t>(positionMs, 0);
    lengthMs = std::max<std::int64_t>(lengthMs, 0);
    char out[96];
    std::snprintf(
        out, sizeof out, "%lld:%02lld / %lld:%02lld", static_cast<long long>(positionMs / 60000),
        static_cast<long long>(positionMs / 1000 % 60), static_cast<long long>(lengthMs / 60000),
        static_cast<long long>(lengthMs / 1000 % 60));
    return out;
}

std::string clockText(int hour, int minute, int second) {
    char out[48];
    std::snprintf(out, sizeof out, "%02d:%02d:%02d", hour, minute, second);
    return out;
}

}  // namespace orvel::display
