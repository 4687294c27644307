#include "recorder/SignalMode.h"

#include <algorithm>

#include "audio/CaptureEngine.h"
#include "config/SettingNames.h"
#include "config/SettingsStore.h"
#include "recorder/RestartTimer.h"

namespace orvel {

void SignalMode::read(const SettingsStore& settings) {
    m_threshold = settings.readThreshold();
    m_splitter.setType(settings.readSignalType());
    m_newFileDelay = settings.readNewFileDelay();
}

void SignalMode::write(const SettingsStore& settings) const {
    settings.writeThreshold(m_threshold);
    settings.writeSignalType(m_splitter.type());
    settings.writeNewFileDelay(m_newFileDelay);
}

void SignalMode::setThreshold(int threshold, const SettingsStore& settings) {
    threshold = std::clamp(threshold, 0, setting::kThresholdMax);
    if (threshold != m_threshold) {
        settings.writeThreshold(threshold);
    }
    m_threshold = threshold;
}

namespace {

using Kind = ModeAction::Kind;
using Action = SignalSplitter::Action;

}  // namespace

ModeActions SignalMode::switchOn(bool recording, bool restart) {
    m_on = true;
    m_splitter.restart();
    ModeActions actions;
    if (m_splitter.type() == SignalSplitter::NewFileOnSilence) {
        // Forced even under a running recording: every track needs a name of its own.
        actions.push_back({.kind = Kind::NumberedNames});
    }
    actions.push_back(recording ? ModeAction{.kind = Kind::Processing}
                                : ModeAction{.kind = Kind::Start, .restart = restart});
    return actions;
}

ModeActions SignalMode::switchOff(bool scheduleMode) {
    ModeActions actions{{.kind = Kind::Stop}};
    if (scheduleMode) {
        // Schedule mode goes on in a file of its own: the one just closed is never reused.
        actions.push_back({.kind = Kind::NumberedNames});
        actions.push_back({.kind = Kind::RestartLater,
                           .restartKind = RestartTimer::kScheduleRearm,
                           .delayMs = RestartTimer::kLeastDelayMs});
    }
    return actions;
}

ModeActions SignalMode::trackCannotFollow(bool scheduleMode) {
    m_splitter.forgetHeard();
    ModeActions actions = switchOff(scheduleMode);
    actions.push_back({.kind = Kind::RestartLater,
                       .restartKind = RestartTimer::kSignal,
                       .delayMs = RestartTimer::kLeastDelayMs});
    return actions;
}

void SignalMode::stopped() {
    m_on = false;
    m_splitter.restart();
}

ModeActions SignalMode::tick(const Input& input, const QDateTime& now) {
    switch (m_splitter.perTick(input, now)) {
        case Action::Resume:
            return {{.kind = Kind::ResumeOnSound}};
        case Action::NewFile:
            return {{.kind = Kind::SplitFile}};
        default:
            return {};
    }
}

ModeActions SignalMode::second(const Input& input) {
    if (!m_splitter.secondPassed() || !m_on || input.signalFlag) {
        return {};
    }
    switch (m_splitter.perSecond(input)) {
        case Action::Pause:
            return {{.kind = Kind::Pause}};
        case Action::StopSignal:
            m_splitter.forgetHeard();
            return switchOff(input.scheduleMode);
        case Action::NewFile:
            return {{.kind = Kind::SplitFile}};
        default:
            return {};
    }
}

bool SignalMode::waitingForSound(const Input& input) const {
    if (!input.recording || !m_on) {
        return false;
    }
    if (input.paused) {
        return !input.scheduleMode || input.windowActive;
    }
    return !input.signalFlag;
}

void SignalMode::apply(ProcessingSettings& processing) const {
    processing.threshold = m_threshold;
    processing.signalActivated = m_on;
    processing.silenceDelaySeconds = m_newFileDelay;
}

}  // namespace orvel
