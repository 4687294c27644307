#include "schedule/ScheduleRunner.h"

#include "config/LanguageTable.h"

namespace orvel {

std::string ScheduleRunner::InfoLine::text(const LanguageTable& language) const {
    return language.Message(key).line2 + " " + time;
}

ScheduleRunner::TickResult ScheduleRunner::reload(const ScheduleList& list, bool relative,
                                                  const QDateTime& now, bool paused) {
    const std::string activeText =
        m_windowActive ? m_items.at(std::size_t(m_activeIndex)).text() : std::string();
    m_items = list.items();
    m_timeBase = TimeBase(relative, m_timeBase.base());
    TickResult result;
    if (!m_windowActive) {
        return result;
    }
    m_activeIndex = list.indexOf(activeText);
    if (m_activeIndex >= 0) {
        return result;
    }
    m_windowActive = false;
    m_activeIndex = -1;
    m_insideWindow = false;
    if (!paused) {
        result.actions.push_back(Action::Pause);
    }
    if (now.isValid()) {
        result.line2 = nextStart(m_timeBase.position(now));
    }
    return result;
}

std::optional<ScheduleRunner::InfoLine> ScheduleRunner::arm(const QDateTime& now, bool relative,
                                                            bool multiFile) {
    m_timeBase = TimeBase(relative, now.time());
    return rearm(now, multiFile);
}

std::optional<ScheduleRunner::InfoLine> ScheduleRunner::rearm(const QDateTime& now,
                                                              bool multiFile) {
    m_armed = true;
    m_multiFile = multiFile;
    m_activeIndex = -1;
    m_windowActive = false;
    m_insideWindow = false;
    m_waitingForRearm = false;
    return now.isValid() ? nextStart(m_timeBase.position(now)) : std::nullopt;
}

void ScheduleRunner::disarm() {
    m_armed = false;
    m_activeIndex = -1;
    m_windowActive = false;
    m_insideWindow = false;
    m_waitingForRearm = false;
}

ScheduleRunner::TickResult ScheduleRunner::tick(const QDateTime& now, bool paused) {
    TickResult result;
    if (!m_armed || m_waitingForRearm || !now.isValid()) {
        return result;
    }
    const int second = m_timeBase.position(now);
    const QDate today = now.date();

    // Viewers are ended by their item's times alone: a viewer opened for an item of another
    // day would otherwise run until that day comes.
    for (std::size_t p = 0; p < m_items.size(); ++p) {
        if (m_items[p].hasLaunch() && !m_items[p].viewerHolds(second)) {
            result.viewersToClose.push_back(int(p));
        }
    }

    // The active window first: only its own times decide when it is over, whatever other
    // windows hold and however far the clock has moved since the last tick.
    if (m_windowActive) {
        if (activeHolds(second, today)) {
            m_insideWindow = true;
            return result;
        }
        const bool last = m_activeIndex == int(m_items.size()) - 1;
        m_windowActive = false;
        m_activeIndex = -1;
        m_insideWindow = false;
        result.line2 = nextStart(second);
        if (m_multiFile) {
            result.actions.push_back(Action::EndFileAndRearm);
            result.rearmDelayMs = last ? kLastRearmDelayMs : kRearmDelayMs;
            m_waitingForRearm = true;
            return result;
        }
        if (!paused) {
            result.actions.push_back(Action::Pause);
            paused = true;
        }
    }

    // Then the first window that holds the clock today, if any (back to back with the one just
    // left, or the one a jump of the clock landed in).
    for (std::size_t p = 0; p < m_items.size(); ++p) {
        const ScheduleItem& item = m_items[p];
        if (!item.appliesOn(today) || !item.holds(second)) {
            continue;
        }
        m_activeIndex = int(p);
        m_windowActive = true;
        m_insideWindow = true;
        result.line2 = lineAt(kStopKey, item.end());
        if (paused) {
            result.actions.push_back(Action::Resume);
        }
        return result;
    }
    m_insideWindow = false;
    return result;
}

std::optional<ScheduleRunner::InfoLine> ScheduleRunner::nextStart(int second) const {
    // Day fields are not looked at: the line names the next start of the list.
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const int start = m_items[i].start();
        if (i == 0 ? second < start : m_items[i - 1].end() <= second && second <= start) {
            return lineAt(kStartKey, start);
        }
    }
    return std::nullopt;
}

ScheduleRunner::InfoLine ScheduleRunner::lineAt(std::string_view key, int frameSeconds) const {
    return {key, ScheduleItem::formatClock(m_timeBase.toClock(frameSeconds))};
}

bool ScheduleRunner::activeHolds(int second, QDate today) const {
    if (m_activeIndex < 0 || m_activeIndex >= int(m_items.size())) {
        return false;
    }
    const ScheduleItem& item = m_items[std::size_t(m_activeIndex)];
    return item.holds(second) && item.appliesOn(today);
}

}  // namespace orvel
