#pragma once

#include <QDateTime>

#include "recorder/SignalSplitter.h"

namespace orvel {

class SettingsStore;
struct ProcessingSettings;

// Signal recording (the track splitter) as the recorder runs it: whether the mode is on, its
// settings (the threshold, what a silence does, the new-file delay) and the decisions of the
// recording ticks, which SignalSplitter makes and this returns as actions. The controller carries
// them out: it alone starts, pauses and stops recordings.
//
// Life cycle: off -> switchOn() (a recording starts, or the running one goes on under the mode)
// -> switchOff() with the stop that ends its recording. Between two tracks that could not follow
// without a gap the mode is off while the controller's restart waits, and switched on again.
//
// Thread contract: called on the GUI thread.
class SignalMode {
public:
    using Action = SignalSplitter::Action;
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
    // Nothing has been heard yet. True when every track needs a name of its own (the track
    // splitter), so that numbered names must be switched on, even under a running recording.
    bool switchOn();
    void switchOff() { m_on = false; }
    // A track was closed, and the next one waits for sound; forgetHeard(): a stop on silence, or
    // a new file that could not follow without a gap, ended the track.
    void nextTrack() { m_splitter.restart(); }
    void forgetHeard() { m_splitter.forgetHeard(); }
    // A recording has started: the second divider starts over.
    void recordingStarted() { m_splitter.clearDivider(); }

    // The first part of every recording tick: Resume, NewFile or None.
    Action tick(const Input& input, const QDateTime& now) { return m_splitter.perTick(input, now); }
    // The once-a-second part, called on every tick of a running, unpaused recording: Pause,
    // StopSignal, NewFile or None; nothing while the engine's signal flag says sound is there.
    Action second(const Input& input);
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
