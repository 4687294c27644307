#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/AudioFormat.h"

namespace orvel {

// What the reader found in a WAV file.
struct WavInfo {
    enum class Status {
        Ok,
        CannotOpen,  // the file cannot be opened or read
        NotWave,     // no "RIFF" ... "WAVE" at the start
        NoFormat,    // no complete "fmt " chunk before the "data" chunk
        BadFormat,   // the format chunk holds zero channels, rate, block align or bits
        NoData,      // no "data" chunk inside the file
    };

    Status status = Status::CannotOpen;
    int formatTag = 0;  // 1 is PCM
    int channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t bytesPerSecond = 0;
    int blockAlign = 0;
    int bitsPerSample = 0;
    std::uint64_t dataOffset = 0;  // file offset of the first sample byte
    std::uint64_t dataSize = 0;    // sample bytes
    // The header's data size was 0 or larger than the file (a recording that was cut off) and
    // was replaced by the whole frames the file holds.
    bool sizeRecovered = false;

    bool ok() const { return status == Status::Ok; }
    // The format as the recorder knows it (check isValid(): other files hold other formats).
    AudioFormat audioFormat() const {
        return AudioFormat{channels, static_cast<int>(sampleRate), bitsPerSample};
    }
};

// Reads the format and the position of the samples out of a RIFF/WAVE file. Chunks are walked
// from the start (an odd-sized chunk is followed by a pad byte), so chunks such as "LIST"
// before "fmt " or "data" are skipped; nothing is read past the end of the file.
//
// Thread contract: stateless, any thread.
class WavReader {
public:
    // The three texts the record history shows for a file; all empty when the file cannot be
    // read as a WAV file.
    struct FormatTexts {
        std::string sampleRate;  // "Samples per second : %d "
        std::string bits;        // "Bits per Sample : %d "
        std::string channels;    // "Channels : %s " with "Mono" or "Stereo"
    };

    static WavInfo readFile(const std::string& path);
    // The same for a whole file held in memory.
    static WavInfo readBytes(const std::uint8_t* data, std::size_t size);

    static FormatTexts formatTexts(const WavInfo& info);
    static FormatTexts formatTexts(const std::string& path) { return formatTexts(readFile(path)); }
};

}  // namespace orvel
