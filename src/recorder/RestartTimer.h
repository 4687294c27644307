#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace orvel {

// The automatic restarts that wait for the file before them: signal mode on again in a new file
// (a track whose next file could not follow without a gap), and the schedule armed again on a
// new file (a window's end in multi-file mode, signal mode switched off under it). A restart
// fires once its least delay has passed and the previous file is complete, whichever comes
// last: the timer asks `previousComplete` when the delay is over, and the owner calls
// previousCompleted() when the engine ends its run. Both kinds may wait together and then fire
// in one call; a second request keeps the longer of the two delays. cancel() forgets them (Stop,
// stop-all, a mode switched by the user, close): a cancelled restart never fires.
//
// Thread contract: called on the GUI thread; `fire` is called on it, from the timer or from
// previousCompleted().
class RestartTimer : public QObject {
    Q_OBJECT
public:
    enum Kind : unsigned {
        kSignal = 1,         // signal mode on again, in a new file
        kScheduleRearm = 2,  // the schedule armed again, on a new file
    };
    // How long a restart waits at least after the file before it.
    static constexpr int kLeastDelayMs = 300;
    using PreviousComplete = std::function<bool()>;
    using Fire = std::function<void(unsigned kinds)>;

    RestartTimer(PreviousComplete previousComplete, Fire fire, QObject* parent = nullptr);

    void request(Kind kind, int delayMs);
    void cancel();
    // The engine has ended its run: restarts whose delay is over fire now.
    void previousCompleted();

    bool pending() const { return m_kinds != 0; }
    bool pending(Kind kind) const { return (m_kinds & kind) != 0; }

private:
    void delayPassed();
    void fire();

    PreviousComplete m_previousComplete;
    Fire m_fire;
    unsigned m_kinds = 0;
    bool m_delayOver = false;
    QTimer m_timer;
};

}  // namespace orvel
