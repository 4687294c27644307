#include "recorder/SignalSplitter.h"

namespace orvel {

void SignalSplitter::restart() {
    m_heard = false;
    m_firstSignal = QDateTime();
}

bool SignalSplitter::secondPassed() {
    m_divider = (m_divider + 1) % kTicksPerSecond;
    return m_divider == 0;
}

SignalSplitter::Action SignalSplitter::perTick(const Input& in, const QDateTime& now) {
    if (!in.signalMode) {
        return Action::None;
    }
    if (in.strongBlock) {
        if (!m_heard) {
            m_firstSignal = now;
            m_heard = true;
        }
        if (in.paused && (!in.scheduleMode || in.windowActive)) {
            return Action::Resume;
        }
    }
    if (in.recording && in.paused && in.scheduleMode && !in.signalFlag && secondPassed() &&
        m_type == NewFileOnSilence && m_heard && in.insideWindow) {
        return Action::NewFile;
    }
    return Action::None;
}

SignalSplitter::Action SignalSplitter::perSecond(const Input& in) {
    if (!in.signalMode || in.signalFlag) {
        return Action::None;
    }
    if (in.scheduleMode) {
        if (m_type == NewFileOnSilence && m_heard) {
            return Action::NewFile;
        }
        return in.windowActive && !in.paused ? Action::Pause : Action::None;
    }
    switch (m_type) {
        case StopOnSilence:
            return m_heard ? Action::StopSignal : Action::None;
        case NewFileOnSilence:
            return m_heard ? Action::NewFile : Action::None;
        default:
            return in.paused ? Action::None : Action::Pause;
    }
}

}  // namespace orvel
