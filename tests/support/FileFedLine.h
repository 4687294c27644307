#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/CaptureSource.h"

namespace orvel {
class WavFileCaptureSource;
}

namespace orvel::test {

// A recording line that plays prepared sound: when the capture starts, `makePcm` gives the sound
// in the format the recording asks for, which is written to a WAV file of its own in `folder`
// and then delivered at a sound card's pace, or as fast as the recording takes it.
class FileFedLine : public CaptureSource {
public:
    using PcmMaker = std::function<std::vector<std::uint8_t>(const AudioFormat& format)>;

    FileFedLine(std::string folder, PcmMaker makePcm, bool realTime = true);
    ~FileFedLine() override;

    bool start(const AudioFormat& format, CaptureConsumer* consumer, std::string* error) override;
    void stop() override;
    void setMonitor(bool) override {}
    std::uint64_t droppedBytes() const override { return m_lost; }

    // The line overruns: `bytes` of its sound are reported lost, as a sound server's stream
    // reports what its reader did not take in time.
    void loseSound(std::uint64_t bytes) { m_lost += bytes; }

private:
    std::string m_folder;
    PcmMaker m_makePcm;
    bool m_realTime;
    std::atomic<std::uint64_t> m_lost{0};
    std::unique_ptr<WavFileCaptureSource> m_file;
};

}  // namespace orvel::test
