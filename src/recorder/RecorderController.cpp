#include "recorder/RecorderController.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <algorithm>

#include "audio/BlockRing.h"
#include "audio/FileLock.h"
#include "config/FormatTables.h"
#include "config/SettingNames.h"
#include "config/SettingsStore.h"
#include "encoders/WmaWriter.h"
#include "playback/BackgroundMusic.h"
#include "recorder/RecorderClock.h"
#include "recorder/StartupChoice.h"

Q_LOGGING_CATEGORY(lcRecorder, "orvel.recorder")

namespace orvel {

namespace {

using Tick = TickSource::Tick;

}  // namespace

RecorderController::RecorderController(RecorderServices services, RecorderView& view,
                                       QObject* parent)
    : QObject(parent),
      m_s(std::move(services)),
      m_view(view),
      m_naming(m_s.settings, [this] { return m_s.clock.now(); }),
      m_time([this] { return m_s.clock.steadyMs(); }),
      m_choices(m_s.settings),
      m_playback(m_s.player, m_s.settings, m_naming),
      m_displays(view, m_s.engine, m_s.background, m_time, m_playback),
      m_info(view, m_s.language),
      m_lines(m_s.devices, m_s.mixer, m_info),
      m_run({m_s.engine, m_s.background, m_s.settings, m_s.lame, m_s.sources, m_s.clock, view,
             m_info, m_naming, m_choices, m_lines}),
      m_schedule(m_s.settings, m_s.language, m_s.viewers),
      m_restarts(
          [this] { return m_s.engine.state() == CaptureEngine::State::Idle && !m_run.waiting(); },
          [this](unsigned kinds) { restart(kinds); }),
      m_lineTest(m_s.engine, m_s.mixer, m_s.server, m_s.sources),
      m_engineAlive(&m_s.engine),
      // The first-run window and the line search it asks for come before any command: the
      // command line's presses are posted at start-up and must find the line chosen.
      m_pending([this](std::function<void()> call) { post(std::move(call)); },
                [this] { return m_waitingStart || m_startupFace || m_lines.firstRunSearch(); }) {
    if (!m_s.sources) {
        platform::SoundServer* server = &m_s.server;
        m_s.sources = [server](const platform::SoundLine& line) {
            return server->createCaptureSource(line);
        };
    }
    RecorderClock* clock = &m_s.clock;
    m_s.engine.setClock([clock] {
        return std::chrono::steady_clock::time_point(std::chrono::milliseconds(clock->steadyMs()));
    });
    m_s.ticks.setHandler([this](Tick tick) { onTick(tick); });

    connect(&m_run, &RecordingRun::backgroundReady, this, [this] {
        if (recording()) {
            m_info.show(m_info.recordingText(m_signal.waitingForSound(signalInput())), "");
        }
    });
    connect(&m_run, &RecordingRun::fileFinished, this, [this](const FinishedFile& file) {
        m_playback.recorded(file.durationMs);
        showTimes();
        m_view.fileFinished(file);
    });
    m_waitTimer.setSingleShot(true);
    connect(&m_waitTimer, &QTimer::timeout, this, [this] {
        if (m_waitingStart) {
            m_waitingStart.reset();
            m_transport = Transport::Idle;
            refuseStart(messageKey(StartResult::DeviceUnavailable));
            m_pending.resume();
        }
    });
    m_closeTimer.setSingleShot(true);
    connect(&m_closeTimer, &QTimer::timeout, this, &RecorderController::finishClose);

    connect(&m_s.engine, &CaptureEngine::finished, this, &RecorderController::onEngineFinished);
    connect(&m_s.engine, &CaptureEngine::captureEnded, this,
            [this](CaptureEnd reason, const QString& detail) {
                qCWarning(lcRecorder)
                    << "the capture ended by itself:" << static_cast<int>(reason) << detail;
                onRunEnded(reason == CaptureEnd::EndOfInput
                               ? std::string_view()
                               : messageKey(StartResult::DeviceUnavailable));
            });
    connect(&m_s.engine, &CaptureEngine::writeFailed, this, [this](const QString& message) {
        qCWarning(lcRecorder) << "writing the recording failed:" << message;
        onRunEnded(messageKey(StartResult::FileError));
    });
    connect(&m_s.background, &BackgroundMusic::stopRecordingRequested, this, [this] {
        if (recording()) {
            stop();
        }
    });
    connect(&m_s.background, &BackgroundMusic::playbackFinished, this, [this] {
        if (playing()) {
            stop();
        }
    });
    connect(&m_lineTest, &LineTest::done, this, &RecorderController::onLineTestDone);
    connect(&m_s.server, &platform::SoundServer::devicesChanged, this,
            &RecorderController::devicesChanged, Qt::QueuedConnection);
}

RecorderController::~RecorderController() {
    m_s.ticks.setHandler({});
    // The clock handed to the engine may go before the engine does, whose destructor still
    // handles the last blocks of a running capture.
    if (m_engineAlive) {
        m_s.engine.setClock({});
    }
}

// ---------------------------------------------------------------------------------------------
// Start-up and close

void RecorderController::initialise() {
    const SettingsStore& s = m_s.settings;
    m_naming.load();
    m_lines.read(s);
    // The first run is told by this same reading: another recorder starting beside this one may
    // store its line meanwhile, and a second reading would find a device but no line.
    const bool firstRun = m_lines.line().deviceRow < 0;
    m_choices.read();
    m_info.load();
    m_signal.read(s);
    carryOut(m_schedule.load(m_s.clock.now(), m_pauseDown));
    m_lines.refresh();

    m_s.ticks.start(Tick::Clock1000, 1000);
    m_s.ticks.start(Tick::Common100, 100);
    m_s.ticks.start(Tick::Display50, 50);

    if (firstRun) {
        // The first run: the start-up window comes once the initialisation is over.
        m_startupFace = true;
        post([this] { m_view.openStartupWindow(StartupChoice::versionText()); });
    }
    m_info.show(m_info.line1(), m_info.line2());
    publish();
}

void RecorderController::startupClosed(int result) {
    if (!m_startupFace) {
        return;
    }
    m_startupFace = false;
    if (result != StartupChoice::ContinueAutomatic && result != StartupChoice::ContinueManual) {
        close();
        return;
    }
    if (m_lines.firstRun(result == StartupChoice::ContinueAutomatic)) {
        configureLines();
    }
    publish();
    m_pending.resume();
}

void RecorderController::close() {
    if (m_closing) {
        return;
    }
    m_closing = true;
    const SettingsStore& s = m_s.settings;
    m_lines.write(s);
    m_choices.writeFormat();
    m_pending.shut();
    stopAll();
    if (m_s.engine.state() == CaptureEngine::State::Idle && !m_run.waiting()) {
        finishClose();
    } else {
        m_closeTimer.start(kWaitForFileMs);
    }
}

void RecorderController::finishClose() {
    m_closeTimer.stop();
    if (m_closed) {
        return;
    }
    m_closed = true;
    if (m_run.waiting()) {
        qCWarning(lcRecorder) << "closing before" << QString::fromStdString(m_run.oldestPath())
                              << "was complete: it is completed as the program ends";
    }
    writeClosingSettings();
    m_schedule.endViewers();
    m_s.ticks.stop(Tick::Clock1000);
    m_s.ticks.stop(Tick::Common100);
    m_s.ticks.stop(Tick::Display50);
    m_view.closeProgram();
}

void RecorderController::writeClosingSettings() {
    m_naming.store();
    m_choices.writeMp3Bitrate();
    m_signal.write(m_s.settings);
    m_schedule.write();
}

void RecorderController::signalSettingsClosed() {
    command([this] {
        m_signal.read(m_s.settings);
        processingChanged();
    });
}

ProcessingSettings RecorderController::processing() const {
    ProcessingSettings p = m_choices.processing();
    m_signal.apply(p);
    return p;
}

// ---------------------------------------------------------------------------------------------
// Commands and questions

void RecorderController::post(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void RecorderController::command(std::function<void()> body) {
    m_pending.submit([this, body = std::move(body)] {
        body();
        publish();
    });
}

void RecorderController::record() {
    command([this] {
        m_restarts.cancel();
        startRecording({StartKind::User, false});
    });
}

void RecorderController::stop() {
    if (m_closing) {
        return;
    }
    // Stop answers an open question "No" and wins over every start that is waiting.
    m_pending.cancel();
    stopAll();
    m_info.show(kReadyText, "");
}

void RecorderController::togglePause() {
    command([this] {
        m_pauseDown = !m_pauseDown;
        pauseChanged();
    });
}

void RecorderController::pauseChanged(bool bySignal) {
    if (m_pauseDown) {
        m_time.pause();
        if (playing()) {
            m_s.background.pause();
        } else if (recording()) {
            m_s.engine.setPaused(true);
            m_s.background.pause();
        }
    } else {
        m_time.resume();
        if (playing()) {
            m_s.background.resume();
        } else if (m_transport == Transport::PlayArmed) {
            startPlayback();
        }
        if (recording()) {
            // Sound that ended a signal pause is kept, with the pre-roll before it; a pause the
            // user or the schedule lifts starts from now.
            if (bySignal) {
                m_s.engine.resumeFromSignal();
            } else {
                m_s.engine.setPaused(false);
            }
            m_s.background.resume();
        } else if (m_transport == Transport::RecordArmed) {
            startRecording({StartKind::User, false});
        }
    }
    if (m_signal.on() || recording() || m_schedule.on()) {
        showTimes();
    }
    publish();
}

void RecorderController::processingChanged() {
    if (recording()) {
        m_s.engine.setProcessing(processing());
    }
}

void RecorderController::eject() {
    command([this] {
        if (recording() || playing() || m_lineTest.running()) {
            return;
        }
        m_naming.store();
        m_view.openOutputSettings();
    });
}

void RecorderController::outputSettingsClosed() {
    command([this] {
        m_naming.load();
        m_choices.readAlert();
    });
}

void RecorderController::wmaSettingsClosed() {
    command([] {});
}

// ---------------------------------------------------------------------------------------------
// Recording

void RecorderController::startRecording(StartRequest request) {
    if (m_lines.lineCount() < 1 || recording() || playing() || m_playDown || m_lineTest.running() ||
        m_closing) {
        return;
    }
    if (m_transport == Transport::Confirming || m_transport == Transport::Waiting) {
        return;
    }
    if (m_s.engine.state() != CaptureEngine::State::Idle) {
        // The previous recording's file is still being completed (an MP3 flush, a large
        // ring): the start runs once it is, rather than being refused by a busy engine.
        m_transport = Transport::Waiting;
        m_waitingStart = request;
        m_waitTimer.start(kWaitForFileMs);
        publish();
        return;
    }
    m_time.reset();
    if (!m_lines.usable()) {
        m_transport = Transport::Idle;
        refuseStart(messageKey(StartResult::DeviceUnavailable));
        return;
    }
    const std::string path = m_naming.pathForRecording();
    if (request.kind == StartKind::Restart && path == m_run.closedPath()) {
        // No new name could be formed: a restart would overwrite the track just closed.
        qCWarning(lcRecorder) << "no new file name can be formed from"
                              << QString::fromStdString(m_naming.fieldText());
        m_transport = Transport::Idle;
        refuseStart(messageKey(StartResult::FileError));
        return;
    }
    m_run.aim(path);
    if (FileLock::inUse(path)) {
        // Asking whether to overwrite a recording in progress would be no real question.
        m_transport = Transport::Idle;
        refuseInUse(path);
        return;
    }
    if (m_choices.askOverwrite() && QFileInfo::exists(QString::fromStdString(path))) {
        m_transport = Transport::Confirming;
        publish();
        m_pending.ask(
            [this, &path](PendingCommands::Answer answer) {
                m_view.askOverwrite(path, std::move(answer));
            },
            [this, request](bool overwrite) {
                m_transport = Transport::Idle;
                askedOverwrite(request, overwrite);
            });
        return;
    }
    askedOverwrite(request, true);
}

void RecorderController::askedOverwrite(StartRequest request, bool overwrite) {
    if (!overwrite) {
        refuseStart({});
        m_pending.resume();
        return;
    }
    m_recordDown = true;
    if (m_pauseDown && !request.pauseOnStart) {
        m_transport = Transport::RecordArmed;
        publish();
        m_pending.resume();
        return;
    }
    startEngine(request);
    m_pending.resume();
}

void RecorderController::startEngine(StartRequest request) {
    const std::size_t budget =
        RecordStart::memoryBudget(m_choices.background(), availablePhysicalMemory());
    if (budget == 0) {
        m_transport = Transport::Confirming;
        publish();
        m_pending.ask(
            [this](PendingCommands::Answer answer) {
                m_view.tellNoMemory([answer = std::move(answer)] { answer(false); });
            },
            [this](bool) {
                m_transport = Transport::Idle;
                refuseStart({});
            });
        return;
    }

    // A mode arms its file before any sound: one that never hears any is no recording.
    const StartResult result = m_run.start(budget, m_signal.on() || m_schedule.on(), processing());
    if (result != StartResult::Ok) {
        m_transport = Transport::Idle;
        if (result == StartResult::FileInUse) {
            refuseInUse(m_run.path());
        } else {
            refuseStart(messageKey(result));
        }
        return;
    }

    m_transport = Transport::Recording;
    m_displays.resetHighest();
    m_pauseDown = m_pauseDown || request.pauseOnStart;
    if (m_pauseDown) {
        m_s.engine.setPaused(true);
    }
    m_info.show(m_info.recordingText(m_signal.waitingForSound(signalInput())), "");
    m_run.joinBackground(m_pauseDown);
    if (const std::optional<std::string> line2 = m_schedule.takeStartLine()) {
        m_info.show(m_info.line1(), *line2);
    }
    m_s.ticks.start(Tick::Recording50, 50);
    m_signal.recordingStarted();
    m_time.reset();
    if (m_pauseDown) {
        m_time.pause();
    }
    showTimes();
    publish();
}

void RecorderController::refuseInUse(const std::string& path) {
    qCWarning(lcRecorder) << path.c_str() << FileLock::kInUseText;
    m_info.show(QFileInfo(QString::fromStdString(path)).fileName().toStdString(),
                FileLock::kInUseText);
    refuseStart({});
}

void RecorderController::refuseStart(std::string_view messageKey) {
    if (!messageKey.empty()) {
        m_info.message(messageKey);
    }
    m_recordDown = false;
    if (m_transport != Transport::Recording) {
        m_transport = Transport::Idle;
    }
    // A mode that wanted this recording ends with it: it would otherwise show as on while
    // nothing records.
    if (m_signal.on() || m_schedule.on()) {
        stopAll({.infoLine = true});
        return;
    }
    publish();
}

void RecorderController::stopAll(StopKeeps keeps) {
    const InfoLine::Kept kept(m_info, keeps.infoLine);
    m_s.ticks.stop(Tick::Recording50);
    m_s.ticks.stop(Tick::Timer1);
    m_restarts.cancel();
    m_waitTimer.stop();
    m_waitingStart.reset();
    m_pending.closeQuestion();
    int tested = -1;
    if (m_lineTest.running()) {
        tested = m_lineTest.line();
        m_lineTest.cancel();
    }
    m_lines.stopped(tested);
    if (m_playDown) {
        m_s.background.stop();
    }
    if (recording()) {
        m_playback.reset();
    }
    // The mode this stop ends, to be told should its file have heard nothing; a schedule that
    // re-arms goes on.
    m_run.stop(keeps.schedule    ? ""
               : m_signal.on()   ? "SignalEnded"
               : m_schedule.on() ? "ScheduleEnded"
                                 : "");
    m_transport = Transport::Idle;
    m_recordDown = false;
    m_playDown = false;
    m_pauseDown = false;
    m_signal.stopped();
    m_schedule.stopped(keeps.schedule);
    showTimes();
    publish();
}

void RecorderController::onRunEnded(std::string_view messageKey) {
    if (!recording()) {
        return;
    }
    if (!messageKey.empty()) {
        m_info.message(messageKey);
        m_run.keepMessage();
    }
    stopAll();
}

void RecorderController::onEngineFinished(bool ok, const QString& error) {
    m_run.engineFinished(ok, error);
    if (m_closing) {
        if (m_s.engine.state() == CaptureEngine::State::Idle) {
            finishClose();
        }
        return;
    }
    if (m_waitingStart && m_s.engine.state() == CaptureEngine::State::Idle) {
        const StartRequest request = *m_waitingStart;
        m_waitingStart.reset();
        m_waitTimer.stop();
        m_transport = Transport::Idle;
        startRecording(request);
        m_pending.resume();
    }
    m_restarts.previousCompleted();
}

// ---------------------------------------------------------------------------------------------
// Playback

void RecorderController::play() {
    command([this] {
        if (m_lines.lineCount() <= 0) {
            m_info.message("DeviceError");
            return;
        }
        if (recording() || playing() || m_recordDown || m_lineTest.running() ||
            m_transport == Transport::PlayArmed) {
            return;
        }
        m_restarts.cancel();
        m_playDown = true;
        if (m_pauseDown) {
            m_transport = Transport::PlayArmed;
            return;
        }
        startPlayback();
    });
}

void RecorderController::startPlayback() {
    m_transport = Transport::Playing;
    m_displays.resetHighest();
    m_info.show(kPlayingText, "");
    m_s.ticks.start(Tick::Timer1, 50);
    const std::string file = m_playback.file();
    const QFileInfo info(QString::fromStdString(file));
    if (info.exists() && info.size() > kUnfinishedBytes) {
        const std::int64_t startMs = m_playback.start(file);
        if (m_s.background.startPlayback(file, m_choices.audioFormat(), startMs) !=
            MediaError::None) {
            // The play button stays down until Stop, with the file named.
            m_info.show(file, m_info.lines("InvalidFile").line2);
        } else {
            m_time.reset();
        }
    } else {
        m_info.message("RecordNotFinished");
        m_playDown = false;
        m_transport = Transport::Idle;
        m_s.ticks.stop(Tick::Timer1);
    }
    showTimes();
    publish();
}

void RecorderController::choosePlaySource(int source) {
    command([this, source] {
        if (!recording() && !playing() && !m_signal.on() && !m_schedule.on() &&
            m_playback.chooseSource(source)) {
            showTimes();
        }
    });
}

void RecorderController::positionSliderMoved(int position, bool endOfDrag) {
    command([this, position, endOfDrag] {
        if (!m_signal.on() && !recording() && !m_schedule.on()) {
            m_playback.slide(position, endOfDrag, playing());
            showTimes();
        }
    });
}

void RecorderController::setShowSwitch(int showSwitch) {
    command([this, showSwitch] { m_displays.setStyle(showSwitch); });
}

void RecorderController::setBackgroundScale(int scale) {
    command([this, scale = std::clamp(scale, 0, 100)] {
        m_s.settings.writeNumber(setting::kBackgroundScale, scale);
        m_run.setBackgroundScale(scale);
    });
}

// ---------------------------------------------------------------------------------------------
// The face's choices

void RecorderController::setSixteenBits(bool on) {
    command([this, on] { m_choices.format().sixteenBits = on; });
}

void RecorderController::setStereo(bool on) {
    command([this, on] { m_choices.format().stereo = on; });
}

void RecorderController::setRateIndex(int index) {
    command([this, index] {
        if (!recording() && !playing() && format::isRateIndex(index)) {
            m_choices.format().rateIndex = index;
        }
    });
}

void RecorderController::setMp3BitrateIndex(int index) {
    command([this, index] { m_choices.setMp3BitrateIndex(index); });
}

void RecorderController::setFieldText(const std::string& path) {
    command([this, path] {
        if (!path.empty()) {
            m_naming.setFieldText(path);
        }
    });
}

void RecorderController::chooseFormat(OutputFormat format) {
    command([this, format] {
        switch (m_naming.chooseFormat(format, recording(), WmaWriter::probe())) {
            case OutputNaming::FormatResult::WmaUnavailable:
                m_info.message(OutputNaming::kWmaSupportMessage);
                break;
            case OutputNaming::FormatResult::WmaSettingsNeeded:
                m_view.openWmaSettings();
                break;
            default:
                break;
        }
    });
}

void RecorderController::toggleMultiFile() {
    command([this] { m_naming.toggleMultiFile(recording() || playing()); });
}

void RecorderController::toggleTimeStamped() {
    command([this] { m_naming.toggleTimeStamped(recording() || playing()); });
}

void RecorderController::setMonitor(bool on) {
    command([this, on] {
        m_choices.setMonitor(on);
        if (recording()) {
            m_s.engine.setMonitor(on);
        }
    });
}

void RecorderController::setBackgroundEnabled(bool on) {
    command([this, on] { m_choices.setBackgroundOn(on); });
}

void RecorderController::setEffects(bool noiseGate, bool lowPass, bool highPass) {
    command([this, noiseGate, lowPass, highPass] {
        m_choices.setEffects(noiseGate, lowPass, highPass);
        processingChanged();
    });
}

void RecorderController::thresholdChanged(int threshold) {
    command([this, threshold] {
        m_signal.setThreshold(threshold, m_s.settings);
        processingChanged();
    });
}

// ---------------------------------------------------------------------------------------------
// Signal and schedule recording

void RecorderController::toggleSignal() {
    command([this] {
        if (playing() || m_playDown || m_lineTest.running()) {
            return;
        }
        m_restarts.cancel();
        carryOut(m_signal.on() ? SignalMode::switchOff(m_schedule.on())
                               : m_signal.switchOn(recording(), false));
    });
}

void RecorderController::toggleSchedule() {
    command([this] {
        if (!m_lineTest.running()) {
            m_restarts.cancel();
            armSchedule(false);
        }
    });
}

void RecorderController::scheduleWindowClosed() {
    command([this] { carryOut(m_schedule.load(m_s.clock.now(), m_pauseDown)); });
}

void RecorderController::armSchedule(bool rearm) {
    if (!playing() && !m_playDown) {
        carryOut(m_schedule.arm(rearm, m_s.clock.now(),
                                {.multiFile = m_naming.multiFile(),
                                 .recording = recording(),
                                 .paused = m_pauseDown,
                                 .signalMode = m_signal.on()}));
    }
}

void RecorderController::restart(unsigned kinds) {
    if (kinds & RestartTimer::kScheduleRearm) {
        armSchedule(true);
    }
    if (kinds & RestartTimer::kSignal) {
        m_time.reset();
        carryOut(m_signal.switchOn(recording(), true));
    }
}

bool RecorderController::carryOut(const ModeActions& actions) {
    using Kind = ModeAction::Kind;
    bool ended = false;
    for (const ModeAction& action : actions) {
        switch (action.kind) {
            case Kind::Pause:
                if (!m_pauseDown && (recording() || playing())) {
                    m_pauseDown = true;
                    pauseChanged();
                }
                break;
            case Kind::Resume:
            case Kind::ResumeOnSound:
                if (m_pauseDown && (recording() || playing())) {
                    m_pauseDown = false;
                    pauseChanged(action.kind == Kind::ResumeOnSound);
                }
                break;
            case Kind::Start:
                if (action.paused && m_pauseDown) {
                    // A pause down without a recording would only arm the start, and releasing
                    // it later would record outside every window: the schedule takes it over.
                    m_pauseDown = false;
                    m_recordDown = false;
                    m_transport = Transport::Idle;
                }
                startRecording(
                    {action.restart ? StartKind::Restart : StartKind::User, action.paused});
                if ((m_signal.on() || m_schedule.on()) && m_transport == Transport::Idle) {
                    // Nothing started, not even a question: no line to record from.
                    refuseStart(messageKey(StartResult::DeviceUnavailable));
                }
                break;
            case Kind::Stop:
                stopAll();
                ended = true;
                break;
            case Kind::EndWindowFile:
                stopAll({.schedule = true, .infoLine = true});
                ended = true;
                break;
            case Kind::SplitFile:
                if (!splitFile()) {
                    carryOut(m_signal.trackCannotFollow(m_schedule.on()));
                }
                ended = true;
                break;
            case Kind::NumberedNames:
                m_naming.setMultiFile(true);
                break;
            case Kind::RestartLater:
                m_restarts.request(static_cast<RestartTimer::Kind>(action.restartKind),
                                   action.delayMs);
                break;
            case Kind::ShowLine2:
                m_info.show(m_info.line1(), action.text);
                break;
            case Kind::OpenList:
                m_view.openScheduleWindow();
                break;
            case Kind::Processing:
                processingChanged();
                break;
        }
    }
    if (!actions.empty()) {
        publish();
    }
    return ended;
}

bool RecorderController::splitFile() {
    if (!recording()) {
        return false;
    }
    m_signal.nextTrack();
    if (!m_run.soundReached()) {
        return true;  // nothing reached the file yet: it already is the next track's
    }
    const std::string path = m_naming.pathForRecording();
    if (path == m_run.path()) {
        // No new name could be formed: the next track would go into the one just closed.
        qCWarning(lcRecorder) << "no new file name can be formed from"
                              << QString::fromStdString(m_naming.fieldText());
        onRunEnded(messageKey(StartResult::FileError));
        return true;
    }
    if (m_choices.askOverwrite() && QFileInfo::exists(QString::fromStdString(path))) {
        return false;
    }
    if (!m_run.split(path)) {
        return false;
    }
    m_displays.resetHighest();
    m_time.reset();
    if (m_pauseDown) {
        m_time.pause();
    }
    showTimes();
    publish();
    return true;
}

SignalSplitter::Input RecorderController::signalInput() const {
    SignalSplitter::Input in;
    in.signalMode = m_signal.on();
    in.recording = recording();
    in.paused = m_pauseDown;
    in.scheduleMode = m_schedule.on();
    in.windowActive = m_schedule.runner().windowActive();
    in.insideWindow = m_schedule.runner().insideWindow();
    in.strongBlock = recording() && m_s.engine.levels().strong;
    in.signalFlag = recording() && m_s.engine.signalPresent();
    return in;
}

// ---------------------------------------------------------------------------------------------
// Ticks

void RecorderController::onTick(TickSource::Tick tick) {
    commonTick();
    switch (tick) {
        case Tick::Clock1000:
            m_displays.showClock(m_s.clock.now());
            break;
        case Tick::Common100:
            break;
        case Tick::Display50:
            if (recording() || playing()) {
                m_displays.tick(recording(), m_pauseDown, m_signal.on(), m_choices.audioFormat());
            }
            break;
        case Tick::Recording50:
            recordingTick();
            break;
        case Tick::Timer1:
            timer1Tick();
            break;
    }
    refreshRecordingText();
}

void RecorderController::commonTick() {
    if (playing() && !m_pauseDown && m_playback.follow()) {
        showTimes();
    }
}

void RecorderController::timer1Tick() {
    if (m_lines.autoConfigPending()) {
        if (const std::optional<LineSearch::Step> step = m_lines.beginSearch(idleForLineTest())) {
            m_s.ticks.stop(Tick::Timer1);
            carryOut(*step);
        }
        return;
    }
    recordingTick();
}

void RecorderController::recordingTick() {
    if (m_lineTest.running() || carryOut(m_signal.tick(signalInput(), m_s.clock.now()))) {
        return;
    }
    if ((recording() || playing()) && m_schedule.on() &&
        carryOut(m_schedule.tick(m_s.clock.now(), m_pauseDown))) {
        return;
    }
    if (recording() && !m_pauseDown) {
        carryOut(m_signal.second(signalInput()));
    }
}

void RecorderController::showTimes() {
    m_displays.showTimes(playing());
}

// ---------------------------------------------------------------------------------------------
// Lines and the line test

void RecorderController::devicesChanged() {
    if (m_closing) {
        return;
    }
    if (m_lineTest.running() && m_lineTest.automatic()) {
        m_lineTest.cancel();
    }
    carryOut(m_lines.devicesChanged());
}

bool RecorderController::idleForLineTest() const {
    return m_transport == Transport::Idle && !m_recordDown && !m_playDown && !m_signal.on() &&
           !m_schedule.on() && !m_lineTest.running() &&
           m_s.engine.state() == CaptureEngine::State::Idle;
}

void RecorderController::autoConfigure() {
    command([this] { configureLines(); });
}

void RecorderController::configureLines() {
    if (!idleForLineTest()) {
        return;
    }
    m_lines.autoConfigure();
    m_s.ticks.start(Tick::Timer1, kAutoConfigDelayMs);
    publish();
}

void RecorderController::openLineWindow() {
    command([this] { m_lines.setWindowOpen(true); });
}

void RecorderController::closeLineWindow() {
    command([this] { m_lines.setWindowOpen(false); });
}

void RecorderController::autodetect() {
    command([this] {
        if (const std::optional<LineSearch::Step> step = m_lines.autodetect(idleForLineTest())) {
            carryOut(*step);
        }
    });
}

void RecorderController::socketClicked(int line) {
    command([this, line] {
        if (m_lineTest.running()) {
            return;
        }
        if (const std::optional<LineSearch::Step> step =
                m_lines.socketClicked(line, idleForLineTest())) {
            carryOut(*step);
        }
    });
}

bool RecorderController::selectMicrophone() {
    if (m_lines.microphoneLine() < 0) {
        return false;
    }
    command([this] { m_lines.selectMicrophone(); });
    return true;
}

bool RecorderController::deviceWindowAllowed() {
    if (idleForLineTest() && !m_lines.searching() && m_transport == Transport::Idle) {
        return true;
    }
    m_info.show(kBusyText, kBusyText2);
    return false;
}

void RecorderController::deviceChosen(int deviceRow, int lineIndex) {
    command([this, deviceRow, lineIndex] { m_lines.choose(deviceRow, lineIndex); });
}

void RecorderController::onLineTestDone(int line, int level) {
    qCDebug(lcRecorder) << "line" << line << "measured" << level;
    carryOut(m_lines.testDone(line, level));
}

void RecorderController::carryOut(const LineSearch::Step& step) {
    if (step.test) {
        const StartResult result = startLineTest(*step.test, step.automatic);
        if (result != StartResult::Ok) {
            carryOut(m_lines.testRefused(*step.test, step.automatic, messageKey(result)));
            return;
        }
    }
    publish();
    if (step.nextTest) {
        post([this] { carryOut(m_lines.testCurrent(idleForLineTest())); });
    }
    if (step.released) {
        post([this] { m_pending.resume(); });
    }
}

StartResult RecorderController::startLineTest(int line, bool automatic) {
    if (automatic) {
        return m_lineTest.start(line, true);
    }
    const std::optional<int> speakers = m_s.server.defaultSinkVolume();
    if (speakers) {
        m_s.server.setDefaultSinkVolume(0);
    }
    const StartResult result = m_lineTest.start(line, false);
    if (speakers) {
        m_s.server.setDefaultSinkVolume(*speakers);
    }
    return result;
}

bool RecorderController::encoderWindowAllowed(OutputFormat format) {
    if (recording()) {
        return false;
    }
    if (format == OutputFormat::Wma && !WmaWriter::probe()) {
        m_info.message(OutputNaming::kWmaSupportMessage);
        return false;
    }
    return true;
}

void RecorderController::mp3SettingsClosed() {
    command([this] { m_choices.readMp3Bitrate(); });
}

// ---------------------------------------------------------------------------------------------
// The view

void RecorderController::refreshRecordingText() {
    using Sound = InfoLine::Sound;
    if (recording()) {
        m_info.follow(m_signal.waitingForSound(signalInput()) ? Sound::Awaited : Sound::Heard);
    } else if (m_restarts.pending(RestartTimer::kSignal)) {
        m_info.follow(Sound::Awaited);  // between two tracks the splitter waits for sound
    } else if (!m_signal.on() && !m_restarts.pending()) {
        m_info.follow(Sound::Over);  // signal mode has ended: nothing waits any more
    }
}

void RecorderController::publish() {
    m_choices.store();
    m_lines.store(m_s.settings);
    FaceState s;
    s.transport = m_transport;
    s.recordDown = m_recordDown || recording();
    s.pauseDown = m_pauseDown;
    s.playDown = m_playDown;
    s.signalDown = m_signal.on();
    s.scheduleDown = m_schedule.on();
    s.multiFileDown = m_naming.multiFile();
    s.timeStampedDown = m_naming.timeStamped();
    s.transportEnabled = !recording() && !playing();
    s.sixteenBits = m_choices.format().sixteenBits;
    s.stereo = m_choices.format().stereo;
    s.rateIndex = m_choices.format().rateIndex;
    s.monitor = m_choices.monitor();
    s.backgroundOn = m_choices.backgroundOn();
    s.outputFormat = m_naming.selectedFormat();
    s.fieldText = m_naming.fieldText();
    s.playSource = m_playback.source();
    s.threshold = m_signal.threshold();
    s.thresholdVisible = m_signal.on();
    s.backgroundBalanceVisible = !m_signal.on() && recording() && m_run.mixesBackground();
    s.startupFace = m_startupFace;
    m_lines.show(s);
    s.dataRateText = RecordStart::dataRateText(m_choices.format());
    if (m_published && s == m_state) {
        return;
    }
    m_state = std::move(s);
    m_published = true;
    m_view.showState(m_state);
}

}  // namespace orvel
