#include "encoders/WmaProfile.h"

#include <array>

namespace orvel {

namespace {

// Every rate and channel count of the recorder has a profile, so any recording format can be
// written; where a rate has several, the first is the usual choice. The encoder takes rates of
// 8000 to 48000 Hz and bit rates of 24 kbit/s and more.
constexpr std::array<WmaProfile, 23> kProfiles = {{
    {"Voice Audio 8 kHz mono 24 kbit/s", 24000, 8000, 1},
    {"Voice Audio 8 kHz stereo 32 kbit/s", 32000, 8000, 2},
    {"Voice Audio 11 kHz mono 24 kbit/s", 24000, 11025, 1},
    {"Voice Audio 11 kHz stereo 32 kbit/s", 32000, 11025, 2},
    {"Voice Audio 12 kHz mono 24 kbit/s", 24000, 12000, 1},
    {"Voice Audio 12 kHz stereo 32 kbit/s", 32000, 12000, 2},
    {"AM Radio Audio 16 kHz mono 32 kbit/s", 32000, 16000, 1},
    {"AM Radio Audio 16 kHz stereo 48 kbit/s", 48000, 16000, 2},
    {"FM Radio Audio 22 kHz mono 32 kbit/s", 32000, 22050, 1},
    {"FM Radio Audio 22 kHz stereo 64 kbit/s", 64000, 22050, 2},
    {"FM Radio Audio 24 kHz mono 32 kbit/s", 32000, 24000, 1},
    {"FM Radio Audio 24 kHz stereo 64 kbit/s", 64000, 24000, 2},
    {"Near CD Quality Audio 32 kHz mono 48 kbit/s", 48000, 32000, 1},
    {"Near CD Quality Audio 32 kHz stereo 96 kbit/s", 96000, 32000, 2},
    {"Near CD Quality Audio 44.1 kHz mono 64 kbit/s", 64000, 44100, 1},
    {"CD Quality Audio 44.1 kHz stereo 128 kbit/s", 128000, 44100, 2},
    {"CD Quality Audio 44.1 kHz stereo 160 kbit/s", 160000, 44100, 2},
    {"CD Quality Audio 44.1 kHz stereo 192 kbit/s", 192000, 44100, 2},
    {"Near CD Quality Audio 44.1 kHz stereo 96 kbit/s", 96000, 44100, 2},
    {"Near CD Quality Audio 44.1 kHz stereo 64 kbit/s", 64000, 44100, 2},
    {"Studio Quality Audio 48 kHz mono 96 kbit/s", 96000, 48000, 1},
    {"Studio Quality Audio 48 kHz stereo 128 kbit/s", 128000, 48000, 2},
    {"Studio Quality Audio 48 kHz stereo 192 kbit/s", 192000, 48000, 2},
}};

}  // namespace

std::span<const WmaProfile> WmaProfile::all() {
    return kProfiles;
}

const WmaProfile* WmaProfile::at(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= kProfiles.size()) {
        return nullptr;
    }
    return &kProfiles[static_cast<std::size_t>(index)];
}

int WmaProfile::firstFor(const AudioFormat& format) {
    for (std::size_t i = 0; i < kProfiles.size(); ++i) {
        if (kProfiles[i].accepts(format)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace orvel
