#pragma once

#include <QDateTime>

namespace orvel {

// Signal recording's decisions, tick by tick: when a paused recording resumes on sound, and
// what a silence that has lasted the new-file delay does (pause, stop, or close the file and go
// on in a new one: the track splitter). It holds what the decisions need between ticks: whether
// sound has been heard since signal mode (re)started, when it was first heard, and the second
// divider of the 50 ms recording tick. The controller carries the returned actions out.
//
// Thread contract: called on the GUI thread.
class SignalSplitter {
public:
    // What the silence does, as the signal type setting stores it.
    enum Type : int { PauseOnSilence = 0, StopOnSilence = 1, NewFileOnSilence = 2 };
    static constexpr int kTicksPerSecond = 20;

    enum class Action {
        None,
        Resume,      // release the pause: sound has come back
        Pause,       // press pause: silence
        StopSignal,  // switch signal mode off (which stops the recording and closes its file)
        NewFile,     // close the file and go on in a new one
    };

    // The recorder's state as one tick sees it.
    struct Input {
        bool signalMode = false;
        bool recording = false;
        bool paused = false;
        bool scheduleMode = false;
        bool windowActive = false;  // schedule mode: a window has been entered and not left
        bool insideWindow = false;  // schedule mode: the clock lies in a window of the list
        bool strongBlock = false;   // the latest block was loud (most samples over the threshold)
        bool signalFlag = false;    // the engine's flag: sound within the new-file delay
    };

    void setType(int type) { m_type = type; }
    int type() const { return m_type; }

    // Signal mode (re)starts: nothing heard yet.
    void restart();
    // A recording starts: the divider starts over.
    void clearDivider() { m_divider = 0; }

    // The part of every recording tick that comes first: a strong block resumes a paused
    // recording (in schedule mode only inside the active window) and is noted as heard; in
    // schedule mode, a paused recording inside a window closes its track once a second when
    // sound had been heard (type 2). Returns None, Resume or NewFile.
    Action perTick(const Input& input, const QDateTime& now);

    // Counts a tick of a running, unpaused recording; true once a second.
    bool secondPassed();

    // The once-a-second silence action, when signal mode is on and the engine's flag is clear.
    Action perSecond(const Input& input);

    // Signal mode on a stop action: the file closed, nothing heard any more.
    void forgetHeard() { m_heard = false; }

    bool heard() const { return m_heard; }
    const QDateTime& firstSignal() const { return m_firstSignal; }

private:
    int m_type = PauseOnSilence;
    bool m_heard = false;
    QDateTime m_firstSignal;
    int m_divider = 0;
};

}  // namespace orvel
