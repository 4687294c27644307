#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "audio/CaptureEngine.h"
#include "cli/RecordingPlan.h"

namespace orvel {

class CommandContext;
class RecordingSession;

// What plugs into a headless recording (background music does): called with the capture
// options just before the engine starts, and with the running session just after.
struct RecordingHooks {
    std::function<void(CaptureOptions&)> beforeStart;
    std::function<void(platform::SoundServer&, RecordingSession&)> started;
};

// One headless recording, from the engine's start to its completed file. Once start() has
// started the engine, the engine's signals drive it: a timed recording ends when it has
// captured its length (the engine cuts the last block to the frame), or kLateSoundWait after
// that time when the line is slower; any recording ends on requestStop() (SIGINT, SIGTERM,
// SIGHUP), when the line goes away (a failure unless the asked length is in the file already)
// or when a write fails. The file is then completed, the outcome told ("recorded ..." on the
// output, or the refusal with its cause) and ended() emitted with the exit status. A file not
// complete kFinishWait after the stop is reported as a failure and left to the engine's
// destructor, which completes it whatever the wait.
//
// The session runs no event loop: the command that owns it waits for ended().
//
// Thread contract: called on the GUI thread of a QCoreApplication, whose event loop drives the
// session; ended() is emitted there.
class RecordingSession : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::seconds kFinishWait{60};
    static constexpr std::chrono::seconds kLateSoundWait{10};

    RecordingSession(const CommandContext& context, platform::SoundServer& server,
                     RecordingPlan plan, RecordingHooks hooks = {});
    ~RecordingSession() override;

    // Starts the engine on the plan's line. False when it refused (the refusal told): nothing
    // runs and ended() never comes.
    bool start();
    // Whether ended() has come, and the exit status it carried.
    bool isOver() const { return m_status.has_value(); }
    int status() const { return m_status.value_or(-1); }
    CaptureEngine& engine() { return m_engine; }

public slots:
    // Ends the recording as its time being up would, and says so; asked before start(), the
    // recording ends as soon as it has started.
    void requestStop();

signals:
    void ended(int status);

private:
    void refuseStart(StartResult result);
    void blockHandled();
    void lateSoundWaited();
    void watchTheFinish();
    void engineFinished(bool ok, const QString& error);
    void stopEngine();
    void end(int status);

    const CommandContext& m_context;
    platform::SoundServer& m_server;
    RecordingPlan m_plan;
    RecordingHooks m_hooks;
    CaptureEngine m_engine;
    QTimer m_lateTimer;
    QTimer m_watch;
    std::uint64_t m_bytesWanted = 0;  // 0: until stopped
    std::uint64_t m_handledBytes = 0;
    bool m_started = false;
    bool m_stopRequested = false;
    bool m_stopping = false;
    bool m_late = false;
    std::optional<std::string> m_captureEnd;  // why the line ended by itself
    std::optional<std::string> m_writeError;
    std::optional<std::chrono::steady_clock::time_point> m_finishDeadline;
    std::optional<int> m_status;
};

}  // namespace orvel
