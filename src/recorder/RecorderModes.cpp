#include "recorder/RecorderModes.h"

#include "audio/CaptureEngine.h"
#include "config/SettingsStore.h"
#include "recorder/InfoLine.h"
#include "recorder/OutputNaming.h"
#include "recorder/RecordedTime.h"
#include "recorder/RecorderClock.h"
#include "recorder/RecorderView.h"

namespace orvel {

RecorderModes::RecorderModes(const Parts& parts, Hooks hooks)
    : m_parts(parts),
      m_hooks(std::move(hooks)),
      m_schedule(parts.settings, parts.language, parts.viewers),
      m_restarts(m_hooks.previousComplete, [this](unsigned kinds) { restart(kinds); }) {}

void RecorderModes::read() {
    m_signal.read(m_parts.settings);
    carryOut(m_schedule.load(m_parts.clock.now(), m_hooks.recorder().paused));
}

void RecorderModes::write() const {
    m_signal.write(m_parts.settings);
    m_schedule.write();
}

void RecorderModes::toggleSignal() {
    const Recorder r = m_hooks.recorder();
    if (r.playing || r.playDown || r.testing) {
        return;
    }
    m_restarts.cancel();
    carryOut(m_signal.on() ? SignalMode::switchOff(m_schedule.on())
                           : m_signal.switchOn(r.recording, false));
}

void RecorderModes::toggleSchedule() {
    if (!m_hooks.recorder().testing) {
        m_restarts.cancel();
        armSchedule(false);
    }
}

void RecorderModes::scheduleWindowClosed() {
    carryOut(m_schedule.load(m_parts.clock.now(), m_hooks.recorder().paused));
}

void RecorderModes::signalSettingsClosed() {
    m_signal.read(m_parts.settings);
    m_hooks.recording({.kind = ModeAction::Kind::Processing});
}

void RecorderModes::setThreshold(int threshold) {
    m_signal.setThreshold(threshold, m_parts.settings);
    m_hooks.recording({.kind = ModeAction::Kind::Processing});
}

void RecorderModes::armSchedule(bool rearm) {
    const Recorder r = m_hooks.recorder();
    if (!r.playing && !r.playDown) {
        carryOut(m_schedule.arm(rearm, m_parts.clock.now(),
                                {.multiFile = m_parts.naming.multiFile(),
                                 .recording = r.recording,
                                 .paused = r.paused,
                                 .signalMode = m_signal.on()}));
    }
}

void RecorderModes::restart(unsigned kinds) {
    if (kinds & RestartTimer::kScheduleRearm) {
        armSchedule(true);
    }
    if (kinds & RestartTimer::kSignal) {
        m_parts.time.reset();
        carryOut(m_signal.switchOn(m_hooks.recorder().recording, true));
    }
}

bool RecorderModes::carryOut(const ModeActions& actions) {
    using Kind = ModeAction::Kind;
    bool ended = false;
    for (const ModeAction& action : actions) {
        switch (action.kind) {
            case Kind::NumberedNames:
                m_parts.naming.setMultiFile(true);
                break;
            case Kind::RestartLater:
                m_restarts.request(static_cast<RestartTimer::Kind>(action.restartKind),
                                   action.delayMs);
                break;
            case Kind::ShowLine2:
                m_parts.info.show(m_parts.info.line1(), action.text);
                break;
            case Kind::OpenList:
                m_parts.view.openScheduleWindow();
                break;
            case Kind::SplitFile: {
                bool split = false;
                if (m_hooks.recorder().recording) {
                    m_signal.nextTrack();
                    split = m_hooks.recording(action);
                }
                if (!split) {
                    carryOut(m_signal.trackCannotFollow(m_schedule.on()));
                }
                ended = true;
                break;
            }
            case Kind::Stop:
            case Kind::EndWindowFile:
                m_hooks.recording(action);
                ended = true;
                break;
            case Kind::Pause:
            case Kind::Resume:
            case Kind::ResumeOnSound:
            case Kind::Start:
            case Kind::Processing:
                m_hooks.recording(action);
                break;
        }
    }
    if (!actions.empty()) {
        m_hooks.shown();
    }
    return ended;
}

void RecorderModes::recordingTick() {
    Recorder r = m_hooks.recorder();
    if (r.testing || carryOut(m_signal.tick(signalInput(r), m_parts.clock.now()))) {
        return;
    }
    r = m_hooks.recorder();
    if ((r.recording || r.playing) && m_schedule.on() &&
        carryOut(m_schedule.tick(m_parts.clock.now(), r.paused))) {
        return;
    }
    r = m_hooks.recorder();
    if (r.recording && !r.paused) {
        carryOut(m_signal.second(signalInput(r)));
    }
}

SignalMode::Input RecorderModes::signalInput(const Recorder& r) const {
    SignalMode::Input in;
    in.signalMode = m_signal.on();
    in.recording = r.recording;
    in.paused = r.paused;
    in.scheduleMode = m_schedule.on();
    in.windowActive = m_schedule.runner().windowActive();
    in.insideWindow = m_schedule.runner().insideWindow();
    in.strongBlock = r.recording && m_parts.engine.levels().strong;
    in.signalFlag = r.recording && m_parts.engine.signalPresent();
    return in;
}

const std::string& RecorderModes::recordingText() const {
    return m_parts.info.recordingText(m_signal.waitingForSound(signalInput(m_hooks.recorder())));
}

void RecorderModes::followText() {
    using Sound = InfoLine::Sound;
    const Recorder r = m_hooks.recorder();
    if (r.recording) {
        m_parts.info.follow(m_signal.waitingForSound(signalInput(r)) ? Sound::Awaited
                                                                     : Sound::Heard);
    } else if (m_restarts.pending(RestartTimer::kSignal)) {
        m_parts.info.follow(Sound::Awaited);  // between two tracks the splitter waits for sound
    } else if (!m_signal.on() && !m_restarts.pending()) {
        m_parts.info.follow(Sound::Over);  // signal mode has ended: nothing waits any more
    }
}

void RecorderModes::recordingStarted() {
    if (const std::optional<std::string> line2 = m_schedule.takeStartLine()) {
        m_parts.info.show(m_parts.info.line1(), *line2);
    }
    m_signal.recordingStarted();
}

std::string_view RecorderModes::endedMode(bool keepSchedule) const {
    // A schedule that re-arms goes on.
    return keepSchedule      ? ""
           : m_signal.on()   ? "SignalEnded"
           : m_schedule.on() ? "ScheduleEnded"
                             : "";
}

void RecorderModes::stopped(bool keepSchedule) {
    m_signal.stopped();
    m_schedule.stopped(keepSchedule);
}

void RecorderModes::show(FaceState& state) const {
    state.signalDown = m_signal.on();
    state.scheduleDown = m_schedule.on();
    state.threshold = m_signal.threshold();
    state.thresholdVisible = m_signal.on();
}

}  // namespace orvel
