#pragma once

#include <optional>
#include <string>
#include <vector>

#include "audio/CaptureEngine.h"
#include "cli/RecorderArguments.h"
#include "encoders/EncoderSettings.h"
#include "platform/SoundServer.h"

namespace orvel {

class DeviceList;
class SettingsStore;

// Everything a headless recording needs, settled before anything starts: the line, the
// capture options, the effects and the encoders' settings. Values the command line does not
// give come from the settings store as the recorder window uses them; the adjustments the
// window would make (an MP3 recording raised to 32000 Hz or more and 16 bits) are made here
// too and told in `notes`.
//
// The file's extension (.wav, .mp3 or .wma, any letter case) chooses the format; any other name
// is refused, never written in a format its name does not say.
//
// A plan that cannot be carried out names the language table's message (`messageKey`, as the
// window would show it) and a plain technical detail.
//
// Thread contract: make() is called on the GUI thread (it reads the device list from the sound
// server); the plan itself is a plain value.
struct RecordingPlan {
    std::string messageKey;  // empty: the plan holds
    std::string detail;

    int deviceRow = -1;
    int lineIndex = -1;
    std::string deviceName;
    platform::SoundLine line;
    CaptureOptions capture;
    ProcessingSettings processing;
    EncoderSettings encoder;
    std::optional<double> seconds;
    std::vector<std::string> notes;

    bool ok() const { return messageKey.empty(); }

    // Refreshes `devices` and selects the plan's device in it.
    static RecordingPlan make(const RecordArguments& arguments, const SettingsStore& settings,
                              DeviceList& devices);

    // "44100 Hz, 16 bits, stereo"
    static std::string describe(const AudioFormat& format);
};

}  // namespace orvel
