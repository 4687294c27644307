#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "audio/AudioOutput.h"
#include "encoders/WmaWriter.h"

namespace orvel {

struct OutputRequest;
enum class StartResult;

// A recording into a WMA file through a WmaWriter of its own, given the profile and the
// attributes of the run.
//
// Thread contract: as AudioOutput.
class WmaOutput : public AudioOutput {
public:
    // Opens the output of a run; FormatError (with the reason in the request's error) for a
    // recording format no profile can be made from, WmaError when the writer does not start
    // (no file can be created, no profile).
    static std::unique_ptr<WmaOutput> open(const OutputRequest& request, int profileIndex,
                                           const TagRecord& attributes, StartResult& result);

    // Two blocks of the run.
    std::size_t chunkBytes() const override { return m_chunkBytes; }
    bool write(const std::uint8_t* pcm, std::size_t bytes) override;
    bool finish() override;
    // The file's current size.
    std::uint64_t bytesWritten() const override { return m_total.load(); }
    std::string lastError() const override { return m_error; }

private:
    std::string reason() const;

    WmaWriter m_writer;
    std::size_t m_chunkBytes = 0;
    std::atomic<std::uint64_t> m_total{0};
    std::string m_path;
    std::string m_error;
};

}  // namespace orvel
