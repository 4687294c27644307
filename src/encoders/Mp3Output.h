#pragma once

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioOutput.h"
#include "encoders/Mp3Encoder.h"

namespace orvel {

struct OutputRequest;
enum class StartResult;

// A recording into an MP3 file: the writer thread's chunks (one encoder chunk of 16-bit PCM
// each) go through the Mp3Encoder into the file, which gets what is encoded at least once a
// second (a killed recorder loses no more); finish flushes, tags and closes it.
//
// Thread contract: as AudioOutput.
class Mp3Output : public AudioOutput {
public:
    // Opens the output of a run. Refuses with Mp3Support when the library is not bound,
    // FormatError for anything but 16-bit PCM at 32000 Hz or more (or a stream the encoder
    // refuses), MemError when the output buffer cannot be had, FileError when the file cannot
    // be created (nothing is created before that) or the disk has no room for its start.
    static std::unique_ptr<Mp3Output> open(const LameLibrary& library, const OutputRequest& request,
                                           int bitRateKbps, const Mp3Options& options,
                                           StartResult& result);
    ~Mp3Output() override;

    // Twice the encoder's samples per chunk: one chunk of 16-bit samples.
    std::size_t chunkBytes() const override { return m_chunkBytes; }
    // A chunk the encoder refuses fails the write (the file keeps what it had): every later
    // chunk would be refused alike, and a recording that silently stays empty is worse than
    // one that stops with a reason.
    bool write(const std::uint8_t* pcm, std::size_t bytes) override;
    bool finish() override;
    std::uint64_t bytesWritten() const override { return m_bytesWritten.load(); }
    std::string lastError() const override;

private:
    Mp3Output(const LameLibrary& library, const Mp3Options& options);
    std::string writeError(int code) const;

    Mp3Encoder m_encoder;
    Mp3Options m_options;
    std::FILE* m_file = nullptr;
    std::vector<std::uint8_t> m_buffer;
    std::vector<std::int16_t> m_aligned;  // for PCM that does not start on a sample boundary
    std::size_t m_chunkBytes = 0;
    std::uint64_t m_flushEvery = 0;  // samples (all channels) in a second
    std::uint64_t m_unflushed = 0;
    std::atomic<std::uint64_t> m_bytesWritten{0};
    std::string m_path;
    std::string m_error;
    bool m_finished = false;
};

}  // namespace orvel
