#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/AudioFormat.h"
#include "audio/WavReader.h"

namespace orvel::test {

// The sample bytes of a WAV file (its data chunk), found with the recorder's own reader. An
// unreadable file fails the running test and gives no bytes; `info`, when given, receives what
// the reader found.
std::vector<std::uint8_t> wavPcm(const std::string& path, WavInfo* info = nullptr);

// What the recorder's level detection leaves of PCM: 16-bit samples below -48 dB (|x| < 130)
// become digital silence; 8-bit PCM is left as it is.
std::vector<std::uint8_t> floorSilenced(std::vector<std::uint8_t> pcm, const AudioFormat& format);

}  // namespace orvel::test
