#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace orvel {

// A wait, without blocking, for the capture engine's previous file to be complete: a record
// start while the last recording's file is still being completed (an MP3 flush, a large ring),
// and the close order's wait for the last file. It ends once the owner reports that the engine's
// run has finished and `complete` agrees, or when its time is up, whichever comes first; `then`
// is told which. cancel() ends it with neither.
//
// Thread contract: called on the GUI thread; `then` is called on it, from the timer or from
// previousCompleted(), after the wait has ended (it may start another).
class FileWait : public QObject {
public:
    using Complete = std::function<bool()>;
    using Then = std::function<void(bool complete)>;

    explicit FileWait(Complete complete, QObject* parent = nullptr);

    void start(int timeoutMs, Then then);
    void cancel();
    bool waiting() const { return static_cast<bool>(m_then); }
    // The engine has ended its run.
    void previousCompleted();

private:
    void end(bool complete);

    Complete m_complete;
    Then m_then;
    QTimer m_timer;
};

}  // namespace orvel
