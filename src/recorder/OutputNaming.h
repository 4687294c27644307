#pragma once

#include <QDateTime>
#include <functional>
#include <string>
#include <string_view>

#include "config/FormatTables.h"

namespace orvel {

struct FaceState;

class SettingsStore;

// The name of the file the next recording goes to, as the front face's file-name field shows
// it: the name loaded at start-up, the extension set by the three format buttons, and, while
// the multi-file switch is on, a fresh numbered or time-stamped name at every recording start.
// Paths use "/" as separator. The model holds no widgets: the front face calls it from its
// commands and redraws what the results say changed.
//
// Two texts are kept apart, as the front face keeps them: the field text (what the file-name
// field shows and the format buttons edit) and the output path (the file of the current or last
// recording). They differ only after a start whose field text could not be turned into a new
// name, or after the format buttons changed the field.
//
// Thread contract: called on the GUI thread.
class OutputNaming {
public:
    // Local date and time now; injectable so that time-stamped names can be tested.
    using Clock = std::function<QDateTime()>;

    // What a format button did.
    enum class FormatResult {
        Ignored,            // recording, or that format is already selected: nothing changed
        Changed,            // the format and the field's extension changed
        WmaUnavailable,     // the WMA writer is missing: show kWmaSupportMessage, nothing else
        WmaSettingsNeeded,  // no WMA profile chosen yet: open the WMA settings window; the user
                            // presses the button again afterwards
    };

    // The info-line message key the front face shows for FormatResult::WmaUnavailable.
    static constexpr std::string_view kWmaSupportMessage = "WMASupport";
    // The file name used when no name has been kept.
    static constexpr std::string_view kDefaultFileName = "Orvel.wav";

    explicit OutputNaming(const SettingsStore& settings, Clock clock = {});

    // Reads LastName (trailing blanks removed; the default name when empty) into the field and
    // the output path, both switches, and selects the format the name's extension names. Used
    // at start-up and again when the output settings window has closed.
    void load();
    // Writes both switches and the field text as LastName: before the output settings window
    // opens and when the front face closes. Besides, the switches are written as they change,
    // and LastName when the name is given or its format chosen (not the names formed from it
    // at each start, which multi-file off must not bring back).
    void store() const;

    const std::string& fieldText() const { return m_field; }
    const std::string& outputPath() const { return m_outputPath; }
    bool multiFile() const { return m_multiFile; }
    bool timeStamped() const { return m_timeStamped; }
    // The format the field's name records in, as its format button shows it.
    OutputFormat selectedFormat() const { return recordedFormatOf(m_field); }
    // The naming's part of the face: the field, the format buttons and the two switches.
    void show(FaceState& state) const;

    // The path a recording that starts now writes to. With multi-file on, the next name is
    // formed first (the field and the output path follow it when one is formed; otherwise the
    // output path of the last recording is used again); with it off, the field text as it is.
    const std::string& pathForRecording();

    // Forms the next name from the field text (numbered, or time-stamped while that switch is
    // on). Returns false when the field ends in no recording extension: then nothing changes.
    // A name another recording holds (FileLock) is passed over for the next number; a
    // time-stamped name held so is numbered ("20240501-093000_001.WAV").
    bool nextName();

    // A format button. wmaWriterAvailable is the WMA writer's probe result from start-up. The
    // field's recording extension becomes the format's ("take.wav" "take.MP3"); a field with
    // none gets it added ("take" "take.MP3"), so that the format shown is the one recorded.
    FormatResult chooseFormat(OutputFormat format, bool recording, bool wmaWriterAvailable);

    // Switches multi-file on or off whatever runs: the track splitter and the mode switches need
    // numbered names for their automatic restarts even when a recording runs, or the next track
    // would overwrite the one just closed. Off restores the field as the switch does.
    void setMultiFile(bool on);

    // A file name given from outside (the command line) becomes the field text and LastName;
    // the selected format follows its extension. An empty name changes nothing.
    void setFieldText(std::string path);

    // The two switches; ignored (returning false) while recording or playing. Returns true when
    // the switch changed; the field and the output path may have been restored with it.
    bool toggleMultiFile(bool busy);
    bool toggleTimeStamped(bool busy);

    // "Orvel.wav" in the user's music folder (created when missing), else in the home folder.
    static std::string defaultPath();
    // The local date and time as a time-stamped name's base, "%d%02d%02d-%02d%02d%02d".
    static std::string timeStamp(const QDateTime& when);

private:
    std::string restoredName() const;
    void storeSwitches() const;
    void setBoth(std::string path);

    const SettingsStore& m_settings;
    Clock m_clock;
    std::string m_field;
    std::string m_outputPath;
    bool m_multiFile = false;
    bool m_timeStamped = false;
};

}  // namespace orvel
