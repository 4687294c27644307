#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "audio/AudioFormat.h"

namespace orvel {

// A short sound ready to be played: its PCM in one of the recorder's formats.
struct SoundClip {
    AudioFormat format;
    std::vector<std::uint8_t> pcm;
};

// The line announcements: ten short spoken clips, "Line one" to "Line ten", built into the
// program as the resources "IDSOUND_LINE1" to "IDSOUND_LINE10" (WAV files under ":/sounds/").
// Line index i is announced by clip i mod 10 + 1, so lines past the tenth repeat the names.
//
// Thread contract: pure functions and resource reads, any thread.
class LineSounds {
public:
    static constexpr int kCount = 10;

    // "IDSOUND_LINE<index mod 10 + 1>"; empty for a negative index (no line chosen).
    static std::string resourceName(int lineIndex);
    // Where the named clip lives in the program's resources.
    static QString resourcePath(std::string_view name);
    // The named clip; nullopt when there is no such resource or it is not a WAV file in one of
    // the recorder's PCM formats.
    static std::optional<SoundClip> load(std::string_view name);
};

}  // namespace orvel
