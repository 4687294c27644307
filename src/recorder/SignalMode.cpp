#include "recorder/SignalMode.h"

#include <algorithm>

#include "audio/CaptureEngine.h"
#include "config/SettingNames.h"
#include "config/SettingsStore.h"

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

bool SignalMode::switchOn() {
    m_on = true;
    m_splitter.restart();
    return m_splitter.type() == SignalSplitter::NewFileOnSilence;
}

SignalMode::Action SignalMode::second(const Input& input) {
    if (!m_splitter.secondPassed() || !m_on || input.signalFlag) {
        return Action::None;
    }
    return m_splitter.perSecond(input);
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
