#pragma once

#include <cstdint>

namespace orvel {

// The PCM format of a recording: interleaved frames, left channel first; 8-bit samples are
// unsigned with silence at 0x80, 16-bit samples signed little-endian with silence at 0.
//
// Thread contract: a plain value, any thread.
struct AudioFormat {
    int channels = 2;        // 1 or 2
    int sampleRate = 44100;  // Hz, one of the recorder's sample rates
    int bitsPerSample = 16;  // 8 or 16

    bool isStereo() const { return channels == 2; }
    bool is16Bit() const { return bitsPerSample == 16; }
    // Bytes of one frame (all channels), as the WAV header's block align field holds it.
    int blockAlign() const { return channels * bitsPerSample / 8; }
    std::uint32_t bytesPerSecond() const {
        return static_cast<std::uint32_t>(blockAlign()) * static_cast<std::uint32_t>(sampleRate);
    }
    // The value a silent sample is made of, repeated over every byte of a block.
    std::uint8_t silenceByte() const { return is16Bit() ? 0x00 : 0x80; }

    // Channels 1 or 2, bits 8 or 16, and a rate from the recorder's rate table.
    bool isValid() const;
    // Position of the rate in the rate table (0..8), -1 when it is not there.
    int rateIndex() const;
    // The format code (rate index x 4 + 2 for stereo + 1 for 16 bits), -1 for an invalid format.
    int formatCode() const;
    // The format a rate index and the two switches stand for (the rate index clamped to 0..8).
    static AudioFormat fromChoice(int rateIndex, bool stereo, bool sixteenBits);

    friend bool operator==(const AudioFormat&, const AudioFormat&) = default;
};

}  // namespace orvel
