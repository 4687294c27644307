#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "audio/AudioOutput.h"
#include "audio/WavWriter.h"

namespace orvel {

struct OutputRequest;
enum class StartResult;

// A recording into a WAV file: the writer thread's chunks go straight to the WavWriter.
//
// Thread contract: as AudioOutput.
class WavOutput : public AudioOutput {
public:
    // chunkBytes: how much the writer takes per step (two blocks).
    explicit WavOutput(std::size_t chunkBytes);

    WavWriter::Result open(const std::string& path, const AudioFormat& format);

    std::size_t chunkBytes() const override { return m_chunkBytes; }
    bool write(const std::uint8_t* pcm, std::size_t bytes) override;
    bool finish() override;
    std::uint64_t bytesWritten() const override { return m_bytesWritten.load(); }
    std::string lastError() const override;
    // Why open() failed: the system's error code and the writer's text.
    int writerError() const { return m_writer.errorCode(); }
    const std::string& lastOpenError() const { return m_writer.errorText(); }

private:
    std::size_t m_chunkBytes;
    WavWriter m_writer;
    std::atomic<std::uint64_t> m_bytesWritten{0};
    std::string m_path;
};

// Opens the WAV output of a run; nullptr with FileError when the file cannot be created, or
// with FormatError when the request is not for a WAV file.
std::unique_ptr<AudioOutput> openWavOutput(const OutputRequest& request, StartResult& result);

}  // namespace orvel
