#pragma once

#include "audio/AudioFormat.h"
#include "recorder/RecordStart.h"

namespace orvel {

class SettingsStore;
struct FaceState;
struct ProcessingSettings;

// The front face's choices for the next recording and the switches that act on a running one:
// the format (rate, channels, bits), the MP3 bit rate, monitoring, background music, the noise
// gate and the filters, and whether an existing file is asked about. They are read at start-up;
// each one the close order stores is also stored as it changes, so that a recorder that ends
// without its close order (a crash), or another one started beside it, has them.
//
// Thread contract: called on the GUI thread.
class RecorderChoices {
public:
    explicit RecorderChoices(const SettingsStore& settings);

    void read();
    // Stores the format when it changed since it was last stored.
    void store();
    // The close order: the format, and (last of all) the MP3 bit rate.
    void writeFormat() const;
    void writeMp3Bitrate() const;

    FaceChoice& format() { return m_format; }
    const FaceChoice& format() const { return m_format; }
    // The rate slider: a rate of the table, not while recording or playing (`busy`).
    void setRateIndex(int index, bool busy);
    // The format the face's choice stands for (the playback's tap, the idle level display).
    AudioFormat audioFormat() const;

    // The face's MP3 bit-rate choice: an index of the table, stored at once (0 for one outside
    // it); readMp3Bitrate(): the MP3 settings window chose it.
    void setMp3BitrateIndex(int index);
    void readMp3Bitrate();

    // The overwrite alert, read again when the output settings window has closed; a view where a
    // replaced file would go unnoticed asks always.
    void readAlert();
    void setAlwaysAskOverwrite(bool on) { m_alwaysAsk = on; }
    bool askOverwrite() const { return m_alert || m_alwaysAsk; }

    void setMonitor(bool on) { m_monitor = on; }
    bool monitor() const { return m_monitor; }
    void setBackgroundOn(bool on) { m_backgroundOn = on; }
    bool backgroundOn() const { return m_backgroundOn; }
    // Background music mixes into 16-bit recordings only.
    bool background() const { return m_backgroundOn && m_format.sixteenBits; }
    void setEffects(bool noiseGate, bool lowPass, bool highPass);

    // The engine's processing without signal mode's part: the gate and the filters with their
    // stored values, and the pre-roll.
    ProcessingSettings processing() const;

    // The choices' part of the face: the format buttons, the rate, the switches, the data rate.
    void show(FaceState& state) const;

private:
    const SettingsStore& m_settings;
    FaceChoice m_format;
    FaceChoice m_storedFormat;  // as the settings store last received it
    int m_mp3BitrateIndex = 0;
    bool m_alert = false;
    bool m_alwaysAsk = false;
    bool m_monitor = false;
    bool m_backgroundOn = false;
    bool m_noiseGate = false;
    bool m_lowPass = false;
    bool m_highPass = false;
};

}  // namespace orvel
