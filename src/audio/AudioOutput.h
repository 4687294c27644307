#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvel {

// Where the writer thread delivers a recording: a WAV file, an MP3 encoder, a WMA writer.
//
// Thread contract: write is called on the writer thread (or, in short-block mode, on the owner
// thread), finish on the finaliser thread after the last write; never concurrently.
// bytesWritten may be read from any thread.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // How many bytes of PCM the writer takes from the ring per step.
    virtual std::size_t chunkBytes() const = 0;
    // Delivers PCM (any amount up to chunkBytes, whole frames). False on failure; lastError
    // then says why, and nothing more is written.
    virtual bool write(const std::uint8_t* pcm, std::size_t bytes) = 0;
    // Completes the file (flush, header or tag, close). False on failure. Called once.
    virtual bool finish() = 0;
    // Bytes delivered to the file so far (data, frames or packets as written).
    virtual std::uint64_t bytesWritten() const = 0;
    virtual std::string lastError() const = 0;
};

}  // namespace orvel
