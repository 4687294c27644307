#pragma once

#include <span>
#include <string_view>

#include "audio/AudioFormat.h"

namespace orvel {

// A WMA encoding profile: the rate and channel count it encodes and its bit rate. A recording
// in another rate or channel count is converted to the profile's (see WmaWriter); accepts()
// tells the profiles that take it as it is.
//
// Thread contract: constants and pure functions, any thread.
struct WmaProfile {
    std::string_view name;  // contains "Audio", as the profile list shows only those
    int bitRate = 0;        // bit/s
    int sampleRate = 0;     // Hz
    int channels = 0;

    bool accepts(const AudioFormat& format) const {
        return format.channels == channels && format.sampleRate == sampleRate &&
               (format.bitsPerSample == 8 || format.bitsPerSample == 16);
    }

    // The built-in profiles. Their indexes are stored (`WMAFormat`): entries are only ever
    // added at the end.
    static std::span<const WmaProfile> all();
    // The profile of an index; nullptr for -1 or any index outside the table.
    static const WmaProfile* at(int index);
    // The first profile (lowest index) that takes the format as it is: the profile used when
    // none is chosen. -1 when none does.
    static int firstFor(const AudioFormat& format);
};

}  // namespace orvel
