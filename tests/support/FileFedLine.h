#pragma once

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

private:
    std::string m_folder;
    PcmMaker m_makePcm;
    bool m_realTime;
    std::unique_ptr<WavFileCaptureSource> m_file;
};

}  // namespace orvel::test
