#pragma once

#include <QObject>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "cli/RecorderArguments.h"
#include "config/LanguageTable.h"
#include "config/SettingsStore.h"
#include "platform/SoundServer.h"

namespace orvel {

class CaptureEngine;
struct CaptureOptions;
struct RecordingPlan;

// The headless recorder's commands: lists the devices and their lines, records a line into a
// WAV, MP3 or WMA file through the capture engine, lists the WMA profiles, prints and rewrites
// the tags of recordings. Results go to `out`, notes and refusals to `err`; a refusal prints
// the language table's message (as the recorder window shows it) and then a plain technical
// detail.
//
// A recording runs the owner thread's event loop until its time is up, requestStop() is called
// (SIGINT, SIGTERM and SIGHUP call it when the recorder handles them), the line goes away or a
// write fails; then the engine is stopped and the file completed before run() returns.
//
// Thread contract: called on the GUI thread of a QCoreApplication.
class HeadlessRecorder : public QObject {
    Q_OBJECT
public:
    static constexpr int kExitOk = 0;
    static constexpr int kExitFailed = 1;  // refused, or the recording failed
    static constexpr int kExitUsage = 2;   // the command line cannot be used

    using ServerFactory = std::function<std::unique_ptr<platform::SoundServer>(std::string*)>;

    HeadlessRecorder(std::ostream& out, std::ostream& err,
                     ServerFactory connect = &platform::connectSoundServer,
                     SettingsStore settings = SettingsStore());
    ~HeadlessRecorder() override;

    // Records until SIGINT, SIGTERM or SIGHUP as well (handled only while a recording is prepared
    // or runs, so that they end the other commands as usual).
    void setHandleStopSignals(bool on) { m_handleSignals = on; }

    // Runs the command; returns the process's exit status.
    int run(const RecorderCommand& command);

    // Called with a recording's capture options just before the engine starts, and with the
    // running engine just after (background music plugs in here).
    struct RecordingHooks {
        std::function<void(CaptureOptions&)> beforeStart;
        std::function<void(platform::SoundServer&, CaptureEngine&)> started;
    };
    void setRecordingHooks(RecordingHooks hooks) { m_hooks = std::move(hooks); }

public slots:
    // Ends the running recording as its time being up would; a recording being prepared ends
    // as soon as it has started.
    void requestStop();

private:
    int listDevices();
    int listProfiles();
    int tags(const TagArguments& arguments);
    int record(const RecordArguments& arguments);
    int runRecording(platform::SoundServer& server, RecordingPlan& plan);
    std::unique_ptr<platform::SoundServer> connectServer();
    void stopEngine();
    void refuse(std::string_view messageKey, const std::string& detail);
    void note(const std::string& text);
    const LanguageTable& language();

    std::ostream& m_out;
    std::ostream& m_err;
    ServerFactory m_connect;
    SettingsStore m_settings;
    LanguageTable m_language;
    bool m_languageLoaded = false;
    bool m_handleSignals = false;
    bool m_stopRequested = false;
    bool m_stopping = false;
    CaptureEngine* m_engine = nullptr;
    RecordingHooks m_hooks;
};

}  // namespace orvel
