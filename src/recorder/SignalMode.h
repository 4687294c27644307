#pragma once

#include <QDateTime>

#include "recorder/ModeAction.h"
#include "recorder/SignalSplitter.h"

namespace orvel {

class SettingsStore;
struct ProcessingSettings;

// Signal recording (the track splitter) as the recorder runs it: whether the mode is on, its
// settings (the threshold, what a silence does, the new-file delay), and what the signal button
// and each recording tick do to the recording, returned as actions (the tick's decisions are
// SignalSplitter's). RecorderModes carries them out, and the controller those on the recording:
// it alone starts, pauses and stops recordings.
//
// Life cycle: off -> switchOn() (a recording starts, or the running one goes on under the mode)
// -> off with the stop that ends its recording (the controller's stop-all has stopped() called).
// Between two tracks that cannot follow without a gap the mode is off while the restart waits,
// and then switched on again.
//
// Thread contract: called on the GUI thread.
class SignalMode {
public:
    using Input = SignalSplitter::Input;

    // The three settings, clamped as the store reads them: at start-up and whenever the signal
    // settings window has closed.
    void read(const SettingsStore& settings);
    // The close order's copy of them.
    void write(const SettingsStore& settings) const;
    // The threshold slider: clamped, and stored as it changes.
    void setThreshold(int threshold, const SettingsStore& settings);
    int threshold() const { return m_threshold; }

    bool on() const { return m_on; }
    // Switched on, nothing heard yet: the running recording goes on under the mode, or one
    // starts (`restart`: the next track, never into the file just closed). The track splitter
    // needs numbered names.
    ModeActions switchOn(bool recording, bool restart);
    // Switched off: the recording stops; a schedule goes on in a file of its own.
    static ModeActions switchOff(bool scheduleMode);
    // The track splitter's next file cannot follow without a gap (its name exists and the
    // overwrite alert is on): the file is closed, and the next one starts after the restart
    // delay as a record start, which asks.
    ModeActions trackCannotFollow(bool scheduleMode);
    // The stop that ends a recording: the mode is off, and a next track waits for sound.
    void stopped();
    // A track was split off: the next one waits for sound.
    void nextTrack() { m_splitter.restart(); }
    // A recording has started: the second divider starts over.
    void recordingStarted() { m_splitter.clearDivider(); }

    // The first part of every recording tick: sound resumes a signal pause, or (under a
    // schedule) closes the track.
    ModeActions tick(const Input& input, const QDateTime& now);
    // The once-a-second part, called on every tick of a running, unpaused recording: what the
    // silence does once it has lasted the new-file delay; nothing while the engine's signal flag
    // says sound is there.
    ModeActions second(const Input& input);
    // Whether the recording waits for sound, which the info line then says: a pause that sound
    // would end (under a schedule only inside its window), or silence while not paused.
    bool waitingForSound(const Input& input) const;

    // The engine's part of the mode: the threshold, whether the signal activates the recording,
    // and how long a silence lasts before the signal flag clears.
    void apply(ProcessingSettings& processing) const;

    const SignalSplitter& splitter() const { return m_splitter; }

private:
    bool m_on = false;
    int m_threshold = 0;
    int m_newFileDelay = 0;
    SignalSplitter m_splitter;
};

}  // namespace orvel
