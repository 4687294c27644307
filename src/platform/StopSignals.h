#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <initializer_list>
#include <memory>
#include <vector>

namespace orvel {

// Turns process signals (SIGINT, SIGTERM, SIGHUP) into a Qt signal on the owner thread's event
// loop. The handler only writes the signal number into a pipe, which is all a signal handler may
// safely do; the pipe's reading end wakes the event loop. The same signal arriving a second time
// before the event loop took the first ends the program as if it were not handled, so that a
// program stuck in a wait can always be stopped; except SIGHUP, which a closed terminal and its
// shell each send, so that a second one is no one asking twice. The previous handlers come back
// when the object is destroyed. One instance at a time.
//
// Thread contract: created, used and destroyed on one thread that runs a Qt event loop;
// received() is emitted there.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(std::initializer_list<int> signalNumbers, QObject* parent = nullptr);
    ~StopSignals() override;

    // False when the pipe or a handler could not be set up (the signals then act as before).
    bool isActive() const { return m_active; }

    // Ignores SIGPIPE (a closed output reports a write error instead of ending the process) and
    // SIGXFSZ (a file-size limit makes the write fail instead of killing the recorder).
    static void ignoreWriteSignals();

signals:
    void received(int signalNumber);

private:
    void readPipe();

    struct Saved;
    std::vector<Saved> m_saved;
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_active = false;
    bool m_owner = false;  // this instance holds the pipe
};

}  // namespace orvel
