// Arbitrary bytes as a WAV file: the reader never reads outside them, and what it accepts
// describes samples that lie inside the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "audio/WavReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const orvel::WavInfo info = orvel::WavReader::readBytes(data, size);
    if (info.ok()) {
        if (info.dataOffset > size || info.dataSize > size - info.dataOffset ||
            info.channels <= 0 || info.blockAlign <= 0 || info.sampleRate == 0) {
            std::abort();
        }
        const auto texts = orvel::WavReader::formatTexts(info);
        if (texts.sampleRate.empty() || texts.bits.empty() || texts.channels.empty()) {
            std::abort();
        }
    }
    return 0;
}
