#include "recorder/RecorderController.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <algorithm>

#include "audio/BlockRing.h"
#include "config/SettingNames.h"
#include "config/SettingsStore.h"
#include "encoders/WmaWriter.h"
#include "playback/BackgroundMusic.h"
#include "recorder/RecorderClock.h"

Q_LOGGING_CATEGORY(lcRecorder, "orvel.recorder")

namespace orvel {

using Tick = TickSource::Tick;

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
      m_run({m_s.engine, m_s.background, m_s.settings, m_s.lame, m_s.server, m_s.sources, m_s.clock,
             view, m_info, m_naming, m_choices, m_lines}),
      m_modes({m_s.settings, m_s.language, m_s.viewers, m_s.engine, m_s.clock, m_time, m_naming,
               m_info, view},
              {.recorder = [this] { return modeRecorder(); },
               .recording = [this](const ModeAction& action) { return carryOut(action); },
               .previousComplete = [this] { return previousComplete(); },
               .shown = [this] { publish(); }}),
      m_lineSetup(m_lines, m_s.engine, m_s.mixer, m_s.server, m_s.sources, m_s.ticks, view,
                  {.idle = [this] { return idleForLineTest(); },
                   .shown = [this] { publish(); },
                   .released = [this] { m_pending.resume(); }}),
      m_startWait([this] { return previousComplete(); }),
      m_closeWait([this] { return previousComplete(); }),
      // The first-run window and the line search it asks for come before any command: the
      // command line's presses are posted at start-up and must find the line chosen.
      m_pending([this](std::function<void()> call) { post(std::move(call)); },
                [this] { return m_startWait.waiting() || m_lineSetup.firstRunHolds(); }) {
    m_s.ticks.setHandler([this](Tick tick) { onTick(tick); });

    connect(&m_run, &RecordingRun::backgroundReady, this, [this] {
        if (recording()) {
            m_info.show(m_modes.recordingText(), "");
        }
    });
    connect(&m_run, &RecordingRun::fileFinished, this, [this](const FinishedFile& file) {
        m_playback.recorded(file.durationMs);
        showTimes();
        m_view.fileFinished(file);
    });

    connect(&m_s.engine, &CaptureEngine::finished, this, &RecorderController::onEngineFinished);
    connect(&m_run, &RecordingRun::endedByItself, this, &RecorderController::onRunEnded);
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
    connect(
        &m_s.server, &platform::SoundServer::devicesChanged, this,
        [this] {
            if (!m_closing) {
                m_lineSetup.devicesChanged();
            }
        },
        Qt::QueuedConnection);
}

RecorderController::~RecorderController() {
    m_s.ticks.setHandler({});
}

void RecorderController::initialise() {
    m_naming.load();
    m_lines.read(m_s.settings);
    // The first run is told by this same reading: another recorder starting beside this one may
    // store its line meanwhile, and a second reading would find a device but no line.
    const bool firstRun = m_lines.line().deviceRow < 0;
    m_choices.read();
    m_info.load();
    m_modes.read();
    m_lines.refresh();

    m_s.ticks.start(Tick::Clock1000, 1000);
    m_s.ticks.start(Tick::Common100, 100);
    m_s.ticks.start(Tick::Display50, 50);

    if (firstRun) {
        m_lineSetup.openStartup();
    }
    m_info.show(m_info.line1(), m_info.line2());
    publish();
}

void RecorderController::startupClosed(int result) {
    if (!m_lineSetup.startupOpen()) {
        return;
    }
    if (!m_lineSetup.startupClosed(result)) {
        close();
        return;
    }
    publish();
    m_pending.resume();
}

void RecorderController::close() {
    if (m_closing) {
        return;
    }
    m_closing = true;
    m_lines.write(m_s.settings);
    m_choices.writeFormat();
    m_pending.shut();
    stopAll();
    if (previousComplete()) {
        finishClose();
    } else {
        m_closeWait.start(kWaitForFileMs, [this](bool) { finishClose(); });
    }
}

void RecorderController::finishClose() {
    if (m_closed) {
        return;
    }
    m_closed = true;
    if (m_run.waiting()) {
        qCWarning(lcRecorder) << "closing before" << QString::fromStdString(m_run.oldestPath())
                              << "was complete: it is completed as the program ends";
    }
    m_naming.store();
    m_choices.writeMp3Bitrate();
    m_modes.write();
    m_modes.endViewers();
    m_s.ticks.stop(Tick::Clock1000);
    m_s.ticks.stop(Tick::Common100);
    m_s.ticks.stop(Tick::Display50);
    m_view.closeProgram();
}

ProcessingSettings RecorderController::processing() const {
    ProcessingSettings p = m_choices.processing();
    m_modes.signal().apply(p);
    return p;
}

void RecorderController::command(std::function<void()> body) {
    m_pending.submit([this, body = std::move(body)] {
        body();
        publish();
    });
}

void RecorderController::record() {
    command([this] {
        m_modes.cancelRestarts();
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
    if (m_modes.on() || recording()) {
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
        if (recording() || playing() || m_lineSetup.testing()) {
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

void RecorderController::startRecording(StartRequest request) {
    if (m_lines.lineCount() < 1 || recording() || playing() || m_playDown ||
        m_lineSetup.testing() || m_closing) {
        return;
    }
    if (m_transport == Transport::Confirming || m_transport == Transport::Waiting) {
        return;
    }
    if (m_s.engine.state() != CaptureEngine::State::Idle) {
        // The previous recording's file is still being completed (an MP3 flush, a large
        // ring): the start runs once it is, rather than being refused by a busy engine.
        m_transport = Transport::Waiting;
        m_startWait.start(kWaitForFileMs, [this, request](bool complete) {
            m_transport = Transport::Idle;
            if (complete) {
                startRecording(request);
            } else {
                refuseStart(messageKey(StartResult::DeviceUnavailable));
            }
            m_pending.resume();
        });
        publish();
        return;
    }
    m_time.reset();
    if (!m_lines.usable()) {
        refuseStart(messageKey(StartResult::DeviceUnavailable));
        return;
    }
    switch (m_run.aimNext(request.kind == StartKind::Restart)) {
        case RecordingRun::Aim::NoNewName:
            // A restart would overwrite the track just closed.
            refuseStart(messageKey(StartResult::FileError));
            return;
        case RecordingRun::Aim::InUse:
            refuseStart({});
            return;
        case RecordingRun::Aim::Ask:
            ask([this](PendingCommands::Answer yes) { m_view.askOverwrite(m_run.path(), yes); },
                [this, request](bool overwrite) { askedOverwrite(request, overwrite); });
            return;
        case RecordingRun::Aim::New:
            askedOverwrite(request, true);
            return;
    }
}

void RecorderController::ask(const std::function<void(PendingCommands::Answer)>& pose,
                             PendingCommands::Answer answered) {
    m_transport = Transport::Confirming;
    publish();
    m_pending.ask(pose, [this, answered = std::move(answered)](bool yes) {
        m_transport = Transport::Idle;
        answered(yes);
    });
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
        ask(
            [this](PendingCommands::Answer answer) {
                m_view.tellNoMemory([answer = std::move(answer)] { answer(false); });
            },
            [this](bool) { refuseStart({}); });
        return;
    }

    // A mode arms its file before any sound: one that never hears any is no recording.
    const StartResult result = m_run.start(budget, m_modes.on(), processing());
    if (result != StartResult::Ok) {
        // The run has said that another recording holds the file.
        refuseStart(result == StartResult::FileInUse ? std::string_view() : messageKey(result));
        return;
    }

    m_transport = Transport::Recording;
    m_pauseDown = m_pauseDown || request.pauseOnStart;
    if (m_pauseDown) {
        m_s.engine.setPaused(true);
    }
    m_info.show(m_modes.recordingText(), "");
    m_run.joinBackground(m_pauseDown);
    m_s.ticks.start(Tick::Recording50, 50);
    m_modes.recordingStarted();
    fileBegun();
}

void RecorderController::fileBegun() {
    m_displays.resetHighest();
    m_time.reset();
    if (m_pauseDown) {
        m_time.pause();
    }
    showTimes();
    publish();
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
    if (m_modes.on()) {
        stopAll({.infoLine = true});
        return;
    }
    publish();
}

void RecorderController::stopAll(StopKeeps keeps) {
    const InfoLine::Kept kept(m_info, keeps.infoLine);
    m_s.ticks.stop(Tick::Recording50);
    m_s.ticks.stop(Tick::Timer1);
    m_modes.cancelRestarts();
    m_startWait.cancel();
    m_pending.closeQuestion();
    m_lineSetup.stopped();
    if (m_playDown) {
        m_s.background.stop();
    }
    if (recording()) {
        m_playback.reset();
    }
    m_run.stop(m_modes.endedMode(keeps.schedule));
    m_transport = Transport::Idle;
    m_recordDown = false;
    m_playDown = false;
    m_pauseDown = false;
    m_modes.stopped(keeps.schedule);
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
        m_closeWait.previousCompleted();
        return;
    }
    m_startWait.previousCompleted();
    m_modes.previousCompleted();
}

void RecorderController::play() {
    command([this] {
        if (m_lines.lineCount() <= 0) {
            m_info.message("DeviceError");
            return;
        }
        if (recording() || playing() || m_recordDown || m_lineSetup.testing() ||
            m_transport == Transport::PlayArmed) {
            return;
        }
        m_modes.cancelRestarts();
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
        if (!recording() && !playing() && !m_modes.on() && m_playback.chooseSource(source)) {
            showTimes();
        }
    });
}

void RecorderController::positionSliderMoved(int position, bool endOfDrag) {
    command([this, position, endOfDrag] {
        if (!m_modes.on() && !recording()) {
            m_playback.slide(position, endOfDrag, playing());
            showTimes();
        }
    });
}

void RecorderController::setBackgroundScale(int scale) {
    command([this, scale = std::clamp(scale, 0, 100)] {
        m_s.settings.writeNumber(setting::kBackgroundScale, scale);
        m_run.setBackgroundScale(scale);
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

void RecorderController::setMonitor(bool on) {
    command([this, on] {
        m_choices.setMonitor(on);
        if (recording()) {
            m_s.engine.setMonitor(on);
        }
    });
}

void RecorderController::setEffects(bool noiseGate, bool lowPass, bool highPass) {
    command([this, noiseGate, lowPass, highPass] {
        m_choices.setEffects(noiseGate, lowPass, highPass);
        processingChanged();
    });
}

RecorderModes::Recorder RecorderController::modeRecorder() const {
    return {.recording = recording(),
            .playing = playing(),
            .playDown = m_playDown,
            .paused = m_pauseDown,
            .testing = m_lineSetup.testing()};
}

bool RecorderController::carryOut(const ModeAction& action) {
    using Kind = ModeAction::Kind;
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
            startRecording({action.restart ? StartKind::Restart : StartKind::User, action.paused});
            if (m_modes.on() && m_transport == Transport::Idle) {
                // Nothing started, not even a question: no line to record from.
                refuseStart(messageKey(StartResult::DeviceUnavailable));
            }
            break;
        case Kind::Stop:
            stopAll();
            break;
        case Kind::EndWindowFile:
            stopAll({.schedule = true, .infoLine = true});
            break;
        case Kind::SplitFile:
            return splitFile();
        case Kind::Processing:
            processingChanged();
            break;
        default:
            break;  // not the recording's: RecorderModes carries it out
    }
    return true;
}

bool RecorderController::splitFile() {
    switch (m_run.splitTrack()) {
        case RecordingRun::Split::CannotFollow:
            return false;
        case RecordingRun::Split::NoNewName:
            onRunEnded(messageKey(StartResult::FileError));
            return true;
        case RecordingRun::Split::SameFile:
            return true;
        case RecordingRun::Split::Done:
            fileBegun();
            return true;
    }
    return true;
}

void RecorderController::onTick(TickSource::Tick tick) {
    if (playing() && !m_pauseDown && m_playback.follow()) {
        showTimes();
    }
    switch (tick) {
        case Tick::Clock1000:
            m_displays.showClock(m_s.clock.now());
            break;
        case Tick::Common100:
            break;
        case Tick::Display50:
            if (recording() || playing()) {
                m_displays.tick(recording(), m_pauseDown, m_modes.signal().on(),
                                m_choices.audioFormat());
            }
            break;
        case Tick::Recording50:
            m_modes.recordingTick();
            break;
        case Tick::Timer1:
            if (!m_lineSetup.configureTick()) {
                m_modes.recordingTick();
            }
            break;
    }
    m_modes.followText();
}

void RecorderController::showTimes() {
    m_displays.showTimes(playing());
}

bool RecorderController::previousComplete() const {
    return m_s.engine.state() == CaptureEngine::State::Idle && !m_run.waiting();
}

bool RecorderController::idleForLineTest() const {
    return m_transport == Transport::Idle && !m_recordDown && !m_playDown && !m_modes.on() &&
           !m_lineSetup.testing() && m_s.engine.state() == CaptureEngine::State::Idle;
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

void RecorderController::publish() {
    m_choices.store();
    m_lines.store(m_s.settings);
    FaceState s;
    s.transport = m_transport;
    s.recordDown = m_recordDown || recording();
    s.pauseDown = m_pauseDown;
    s.playDown = m_playDown;
    s.transportEnabled = !recording() && !playing();
    m_choices.show(s);
    m_naming.show(s);
    s.playSource = m_playback.source();
    s.backgroundBalanceVisible = !m_modes.signal().on() && recording() && m_run.mixesBackground();
    m_modes.show(s);
    s.startupFace = m_lineSetup.startupOpen();
    m_lines.show(s);
    if (m_published && s == m_state) {
        return;
    }
    m_state = std::move(s);
    m_published = true;
    m_view.showState(m_state);
}

}  // namespace orvel
