#pragma once

#include <QString>
#include <string>
#include <vector>

#include "audio/AudioFormat.h"
#include "audio/StartResult.h"
#include "config/FormatTables.h"
#include "encoders/EncoderSettings.h"

namespace orvel {
class LameLibrary;
}

namespace orvel::test {

struct RecordingRun {
    StartResult result = StartResult::Ok;
    bool finishedOk = false;
    QString error;
};

// Records `pcm` in `format` through the real capture engine (a WAV file source fed as fast as
// the engine takes it, the ring, the writer and finaliser threads) into `outPath`, with the
// encoders' output factory.
RecordingRun recordThroughEngine(const std::vector<std::uint8_t>& pcm, const AudioFormat& format,
                                 const std::string& outPath, OutputFormat outputFormat,
                                 const EncoderSettings& settings,
                                 const LameLibrary* lame = nullptr);

bool fileExists(const std::string& path);

}  // namespace orvel::test
