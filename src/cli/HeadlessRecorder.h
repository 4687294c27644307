#pragma once

#include <QObject>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/CommandContext.h"
#include "cli/CommandText.h"
#include "cli/RecorderArguments.h"
#include "cli/RecordingSession.h"

namespace orvel {

// The headless recorder's own commands (RecorderArguments.h): lists the devices and their
// lines and the WMA profiles, prints and rewrites tags (TagsCommand), and records a line into a
// WAV, MP3 or WMA file (a RecordingPlan carried out by a RecordingSession). Results go to `out`,
// notes and refusals to `err` (see CommandContext).
//
// A recording runs the owner thread's event loop until its session has ended: its time is up,
// requestStop() is called (SIGINT, SIGTERM and SIGHUP call it when the recorder handles them),
// the line goes away or a write fails; the file is complete before run() returns.
//
// Thread contract: called on the GUI thread of a QCoreApplication.
class HeadlessRecorder : public QObject {
    Q_OBJECT
public:
    static constexpr int kExitOk = command::kExitOk;
    static constexpr int kExitFailed = command::kExitFailed;
    static constexpr int kExitUsage = command::kExitUsage;

    using ServerFactory = CommandContext::ServerFactory;

    HeadlessRecorder(std::ostream& out, std::ostream& err,
                     ServerFactory connect = &platform::connectSoundServer,
                     SettingsStore settings = SettingsStore());
    ~HeadlessRecorder() override;

    // Records until SIGINT, SIGTERM or SIGHUP as well (handled only while a recording is prepared
    // or runs, so that they end the other commands as usual).
    void setHandleStopSignals(bool on) { m_handleSignals = on; }

    // The arguments after the program's name: a `record` command line's background-music
    // options are taken out (RecordingBackground), the rest parsed and run. Returns the
    // process's exit status.
    int run(std::vector<std::string> arguments);
    // Runs a parsed command, a recording with the hooks given; returns the process's exit status.
    int run(const RecorderCommand& command, const RecordingHooks& hooks = {});

public slots:
    // Ends the running recording as its time being up would; a recording being prepared ends
    // as soon as it has started.
    void requestStop();

private:
    int listDevices();
    int listProfiles();
    int record(const RecordArguments& arguments, const RecordingHooks& hooks);

    CommandContext m_context;
    bool m_handleSignals = false;
    bool m_stopRequested = false;
    RecordingSession* m_session = nullptr;
};

}  // namespace orvel
