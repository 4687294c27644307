#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "audio/CaptureSource.h"

namespace orvel {

// A capture source that plays a WAV file's samples into the engine instead of a sound card:
// for tests and benchmarks, and for recording a file through the engine's effects.
//
// Thread contract: as CaptureSource; the samples are delivered from a thread of its own.
class WavFileCaptureSource : public CaptureSource {
public:
    enum class Pacing {
        AsTaken,   // as fast as the recording takes it, never dropping anything
        RealTime,  // at the file's own pace, like a sound card
    };

    // pieceBytes: the size of the pieces handed over (rounded down to whole frames), unrelated
    // to the engine's blocks, as a sound server's pieces are.
    explicit WavFileCaptureSource(std::string path, Pacing pacing = Pacing::AsTaken,
                                  std::size_t pieceBytes = 4096);
    ~WavFileCaptureSource() override;

    // Refuses a file that cannot be read or whose format is not the run's.
    bool start(const AudioFormat& format, CaptureConsumer* consumer, std::string* error) override;
    void stop() override;
    void setMonitor(bool) override {}

private:
    void run(std::FILE* file, std::uint64_t dataBytes, std::uint32_t bytesPerSecond);

    std::string m_path;
    Pacing m_pacing;
    std::size_t m_pieceBytes;
    std::size_t m_frameBytes = 1;
    CaptureConsumer* m_consumer = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

}  // namespace orvel
