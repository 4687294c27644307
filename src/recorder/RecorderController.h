#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "audio/CaptureEngine.h"
#include "devices/LineChoice.h"
#include "recorder/FaceState.h"
#include "recorder/FileWait.h"
#include "recorder/InfoLine.h"
#include "recorder/LineSearch.h"
#include "recorder/LineSetup.h"
#include "recorder/OutputNaming.h"
#include "recorder/PendingCommands.h"
#include "recorder/PlaybackPosition.h"
#include "recorder/RecordStart.h"
#include "recorder/RecordedTime.h"
#include "recorder/RecorderChoices.h"
#include "recorder/RecorderDisplays.h"
#include "recorder/RecorderModes.h"
#include "recorder/RecorderServices.h"
#include "recorder/RecorderView.h"
#include "recorder/RecordingRun.h"
#include "recorder/SignalSplitter.h"
#include "recorder/TickSource.h"
#include "schedule/ScheduleRunner.h"

namespace orvel {

// The recorder's state and everything its buttons do, without a window: the transport (record,
// pause, stop, play, eject), signal recording and the track splitter, schedule recording, the
// recording-line test and search, the first-run choice, the ticks, and the close order. It
// drives the capture engine, the player and background music, the output naming, the log and
// the devices given in RecorderServices, and tells its RecorderView what to show.
//
// It keeps the transport and decides when a recording starts, pauses and stops; its parts do
// the rest. RecorderModes runs signal and schedule recording: SignalMode and ScheduleMode return
// what their buttons, the restarts and every recording tick do (ModeActions), and the actions on
// the recording come back here to be carried out. LineSetup carries out the line test and search
// that LineSearch decides, and the first run. RecordingRun runs a recording on the engine, names
// its files and judges them. FileWait waits for the previous file before a start and before the
// close ends. InfoLine and RecorderDisplays show; RecorderChoices, OutputNaming and
// PlaybackPosition keep the face's choices, the file names and what playback plays. The
// commands that only hand a choice to the part that keeps it are written in this header.
//
// Life cycle of the transport (see Transport; pause is a button of its own):
//   Idle --record--> Recording            (or RecordArmed with pause down, Idle when refused)
//   Idle --record--> Confirming --yes--> Recording / --no--> Idle   (overwrite question)
//   Idle --record--> Waiting --previous file complete--> (the start runs again)
//   RecordArmed --pause released--> Recording;  PlayArmed --pause released--> Playing
//   Idle --play--> Playing (or PlayArmed with pause down; Idle when the file is too short)
//   any --stop--> Idle, "Ready to record"
// A recording ends in two steps: stop-all releases the buttons at once and stops the engine;
// the file is judged (its size, its length, the log line, the messages) only when the engine
// reports it complete. A run the engine ends by itself (line or server lost, disk full) is
// stopped the same way with its message, and nothing restarts after it. A file a mode armed
// that never heard sound is no recording: the engine removes it, and its stop only tells that
// the mode ended. Each file is logged from its first sound (RecordingFiles).
//
// The track splitter's next file follows without a gap: RecordingRun names it and asks the
// engine to split, the transport stays Recording, and the engine opens the file with the next
// sound and reports the finished track, which is judged then.
//
// Schedule mode starts a recording and pauses it at once; the ScheduleRunner, asked on every
// recording tick, resumes it inside the schedule's windows and pauses it (or, with multi-file
// naming on, ends its file and re-arms on a new one) when a window is over. A start that is
// refused ends the mode that asked for it, so a mode never shows as on while nothing records.
//
// Automatic restarts (the schedule's re-arm, a mode switched over to the other, a track whose
// next name would need the overwrite question) fire once the least delay (300 ms) has passed
// and the previous file is complete; Stop, stop-all, a mode switch and close cancel them.
//
// Questions are asked without waiting (PendingCommands). Every command and window reply below
// goes through command(): it waits while a question is open, a start waits for the previous
// file, or the first run (its window and the line search it asks for) is not over, and then
// runs in the order it came, so a question never changes what a row of commands does. Only
// stop(), close() and startupClosed() run at once (they end or release what holds), and the
// two windows' permission questions answer at once; Stop answers an open question "No" and
// drops what waited. Nothing here waits on the GUI thread: the background music's first block,
// the restart delay and the line test are timers and signals.
//
// Thread contract: created and called on the GUI thread, which runs the Qt event loop; the
// ticks arrive there too (onTick).
class RecorderController : public QObject {
    Q_OBJECT
public:
    // The info-line texts that are not messages of the language table.
    static constexpr auto& kReadyText = InfoLine::kReadyText;
    static constexpr auto& kRecordingText = InfoLine::kRecordingText;
    static constexpr char kPlayingText[] = "Playing";
    // The device window and the line search are refused while a capture or a mode runs.
    static constexpr auto& kBusyText = LineSearch::kBusyText;
    static constexpr auto& kBusyText2 = LineSearch::kBusyText2;
    // A recorded file of this size or less is reported as not completed.
    static constexpr std::int64_t kUnfinishedBytes = RecordingRun::kUnfinishedBytes;
    // How long an automatic restart waits at least after the file before it.
    static constexpr int kRestartDelayMs = RestartTimer::kLeastDelayMs;
    // How long a record start waits for the previous file to be completed before it gives up
    // with "DeviceAvailabity"; and how long close waits for the last file.
    static constexpr int kWaitForFileMs = 10000;
    // How long the start of a recording with background music waits for the first background
    // block before it shows "Recording".
    static constexpr int kBackgroundWaitMs = RecordingRun::kBackgroundWaitMs;
    // How long after the automatic configuration is asked for the line search starts.
    static constexpr int kAutoConfigDelayMs = LineSetup::kAutoConfigDelayMs;
    // The line's recording volume the automatic test sets: 64000 of 65535.
    static constexpr double kTestVolume = LineSearch::kTestVolume;

    RecorderController(RecorderServices services, RecorderView& view, QObject* parent = nullptr);
    ~RecorderController() override;

    // Start-up: reads the settings, finds the stored line (by its name when its indexes have
    // moved), starts the clock and display ticks. On the first run (no device stored) the
    // start-up window is asked for.
    void initialise();

    // The transport.
    void record();
    void togglePause();
    void stop();
    void play();
    void eject();  // opens the output settings window while nothing runs

    // Signal recording (the track splitter) on or off; ignored while playing.
    void toggleSignal() {
        command([this] { m_modes.toggleSignal(); });
    }
    // Schedule recording on or off.
    void toggleSchedule() {
        command([this] { m_modes.toggleSchedule(); });
    }

    // The face's choices for the next recording and its switches; the commands that only hand
    // a choice to the part that keeps it are written here. Each choice that the close order
    // stores reaches the settings store as it changes.
    void setSixteenBits(bool on) {
        command([=, this] { m_choices.format().sixteenBits = on; });
    }
    void setStereo(bool on) {
        command([=, this] { m_choices.format().stereo = on; });
    }
    void setRateIndex(int index) {
        command([=, this] { m_choices.setRateIndex(index, busy()); });
    }
    // Also stored at once.
    void setMp3BitrateIndex(int index) {
        command([=, this] { m_choices.setMp3BitrateIndex(index); });
    }
    void setFieldText(const std::string& path) {
        command([=, this] { m_naming.setFieldText(path); });
    }
    void chooseFormat(OutputFormat format);
    void toggleMultiFile() {
        command([this] { m_naming.toggleMultiFile(busy()); });
    }
    void toggleTimeStamped() {
        command([this] { m_naming.toggleTimeStamped(busy()); });
    }
    void setMonitor(bool on);
    void setBackgroundEnabled(bool on) {
        command([=, this] { m_choices.setBackgroundOn(on); });
    }
    void setEffects(bool noiseGate, bool lowPass, bool highPass);
    void choosePlaySource(int source);
    void thresholdChanged(int threshold) {
        command([=, this] { m_modes.setThreshold(threshold); });
    }
    // The playback position slider (0..100) moved by the user. A file whose length reads as 0
    // (or unknown) keeps the thumb at 0 and is not sought.
    void positionSliderMoved(int position, bool endOfDrag);
    // The level display's style: 1 the numeric meter, anything else the animated bars.
    void setShowSwitch(int style) {
        command([=, this] { m_displays.setStyle(style); });
    }
    // The background balance slider: the mix ratio S ("Background Scale", 0..100), stored and
    // handed to the running recording's mix at once.
    void setBackgroundScale(int scale);

    // The line window and the line test.
    void openLineWindow() {
        command([this] { m_lines.setWindowOpen(true); });
    }
    void closeLineWindow() {
        command([this] { m_lines.setWindowOpen(false); });
    }
    // "AutoConfig", then the search starts from the first line.
    void autoConfigure() {
        command([this] { m_lineSetup.autoConfigure(); });
    }
    // The search again from the first line (the line window's button).
    void autodetect() {
        command([this] { m_lineSetup.autodetect(); });
    }
    // A manual test of the line.
    void socketClicked(int line) {
        command([=, this] { m_lineSetup.socketClicked(line); });
    }
    // The line window's microphone button: the device's microphone line (the first whose name
    // or port names a microphone) becomes the line, without a test. False when none is known
    // now; true when the choice is made or waits.
    bool selectMicrophone();
    // Whether the device window may open now: not while recording, playing, testing a line, or
    // in signal or schedule mode, which would change the line under a running capture. A
    // refusal says so on the info line. A question, not a command: it never waits.
    bool deviceWindowAllowed();
    // The device window chose a device row and a line of it (-1: the device has no line).
    void deviceChosen(int deviceRow, int lineIndex) {
        command([=, this] { m_lines.choose(deviceRow, lineIndex); });
    }
    // Whether the MP3 or WMA settings window may open now: not while recording; the WMA window
    // not without the WMA writer, which "WMASupport" on the info line then says. Never waits.
    bool encoderWindowAllowed(OutputFormat format);
    // The MP3 settings window has closed: its bit rate is the recorder's from now on.
    void mp3SettingsClosed() {
        command([this] { m_choices.readMp3Bitrate(); });
    }
    // Windows that have closed.
    void startupClosed(int result);  // StartupChoice::Result
    void signalSettingsClosed() {
        command([this] { m_modes.signalSettingsClosed(); });
    }
    void scheduleWindowClosed() {
        command([this] { m_modes.scheduleWindowClosed(); });
    }
    void outputSettingsClosed();
    void wmaSettingsClosed() {
        command([] {});
    }

    // The close order: stops everything, waits (without blocking) until the last file is
    // complete and its log line written, at most kWaitForFileMs, writes the settings and then
    // asks the view to close the program.
    void close();

    void onTick(TickSource::Tick tick);

    // Asks the view before every recording into an existing file, whatever the stored
    // overwrite alert: for a view where a replaced file would go unnoticed.
    void setAlwaysAskOverwrite(bool on) { m_choices.setAlwaysAskOverwrite(on); }

    // A notice from outside the recorder (the command line's refused file name) on the info
    // line, until the next message takes its place.
    void showNotice(const std::string& line1, const std::string& line2) {
        m_info.show(line1, line2);
    }

    // What the face shows.
    const FaceState& state() const { return m_state; }
    Transport transport() const { return m_transport; }
    bool recording() const { return m_transport == Transport::Recording; }
    bool playing() const { return m_transport == Transport::Playing; }
    bool pauseDown() const { return m_pauseDown; }
    bool signalMode() const { return m_modes.signal().on(); }
    bool scheduleMode() const { return m_modes.schedule().on(); }
    bool restartPending() const { return m_modes.restartPending(); }
    bool questionOpen() const { return m_pending.questionOpen(); }
    bool closing() const { return m_closing; }
    // The file the current or last recording went to.
    const std::string& runPath() const { return m_run.path(); }
    const std::string& infoLine1() const { return m_info.line1(); }
    const std::string& infoLine2() const { return m_info.line2(); }
    const LineChoice& lineChoice() const { return m_lines.line(); }
    int lineCount() const { return m_lines.lineCount(); }
    const OutputNaming& naming() const { return m_naming; }
    const LineTest& lineTest() const { return m_lineSetup.test(); }
    const SignalSplitter& splitter() const { return m_modes.signal().splitter(); }
    const RecordedTime& recordedTime() const { return m_time; }
    const ScheduleRunner& scheduleRunner() const { return m_modes.schedule().runner(); }
    const FaceChoice& choice() const { return m_choices.format(); }

private:
    enum class StartKind {
        User,     // the record button, or a mode that starts a recording
        Restart,  // an automatic restart: never into the file just closed
    };
    struct StartRequest {
        StartKind kind = StartKind::User;
        bool pauseOnStart = false;  // the recording starts and is paused at once
    };

    void post(std::function<void()> call) {
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
    }
    // The transport is taken: the naming switches and the format's rate wait.
    bool busy() const { return recording() || playing(); }
    // A command of the face: it waits while PendingCommands holds, then runs and the face is
    // sent its new state.
    void command(std::function<void()> body);

    // Recording.
    void startRecording(StartRequest request);
    // Asks the view (the overwrite question, the memory message) as PendingCommands does, the
    // transport Confirming until the answer.
    void ask(const std::function<void(PendingCommands::Answer)>& pose,
             PendingCommands::Answer answered);
    void askedOverwrite(StartRequest request, bool overwrite);
    void startEngine(StartRequest request);
    // A recording's file, or the next track's, has begun: the displays start over.
    void fileBegun();
    void refuseStart(std::string_view messageKey);
    // What a stop leaves as it is.
    struct StopKeeps {
        bool schedule = false;  // the schedule's window ended its file: the runner waits to re-arm
        bool infoLine = false;  // the stop's cause is on the info line already
    };
    void stopAll(StopKeeps keeps);
    void stopAll() { stopAll(StopKeeps{}); }
    void pauseChanged(bool bySignal = false);
    void onEngineFinished(bool ok, const QString& error);
    // The engine is idle and every file it was handed is complete.
    bool previousComplete() const;
    void onRunEnded(std::string_view messageKey);

    void startPlayback();

    // Signal and schedule recording: how the recorder stands for them, and the actions of theirs
    // on the recording (RecorderModes' `recording` hook). False for a split not made.
    RecorderModes::Recorder modeRecorder() const;
    bool carryOut(const ModeAction& action);
    bool splitFile();

    void showTimes();
    bool idleForLineTest() const;

    // Settings.
    ProcessingSettings processing() const;
    // The gate, the filters or signal mode's settings changed: a running recording takes them.
    void processingChanged();
    void finishClose();

    // The view.
    void publish();

    RecorderServices m_s;
    RecorderView& m_view;
    OutputNaming m_naming;
    RecordedTime m_time;
    RecorderChoices m_choices;
    PlaybackPosition m_playback;
    RecorderDisplays m_displays;
    InfoLine m_info;
    LineSearch m_lines;
    RecordingRun m_run;
    RecorderModes m_modes;
    LineSetup m_lineSetup;

    // The transport.
    Transport m_transport = Transport::Idle;
    bool m_recordDown = false;
    bool m_playDown = false;
    bool m_pauseDown = false;

    FileWait m_startWait;  // a start for the previous file

    bool m_closing = false;
    bool m_closed = false;
    FileWait m_closeWait;  // the close for the last file
    FaceState m_state;
    bool m_published = false;
    // Declared last: the commands waiting in it may refer to any member.
    PendingCommands m_pending;
};

}  // namespace orvel
