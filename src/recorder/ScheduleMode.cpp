#include "recorder/ScheduleMode.h"

#include <QLoggingCategory>

#include "config/SettingsStore.h"

Q_LOGGING_CATEGORY(lcSchedule, "orvel.recorder.schedule")

namespace orvel {

ScheduleMode::ScheduleMode(const SettingsStore& settings, const LanguageTable& language,
                           platform::ViewerLauncher& viewers)
    : m_settings(settings),
      m_language(language),
      m_launches(viewers, StreamingPage(settings.effectiveInstallFolder())) {}

ScheduleRunner::TickResult ScheduleMode::load(const QDateTime& now, bool paused) {
    const ScheduleList::LoadReport report =
        m_list.load(ScheduleList::pathIn(m_settings.effectiveInstallFolder()));
    if (report.skipped > 0 || report.withoutLaunch > 0 || report.cutShort) {
        qCWarning(lcSchedule) << "schedule file:" << report.skipped << "lines skipped,"
                              << report.withoutLaunch << "items without a viewer launch"
                              << (report.cutShort ? "(the file was cut short)" : "");
    }
    m_relative = m_settings.readScheduleType() == 1;
    m_launches.rebuild(m_list);
    ScheduleRunner::TickResult result = m_runner.reload(m_list, m_relative, now, paused);
    m_launches.endViewers(result.viewersToClose);
    return result;
}

void ScheduleMode::write() const {
    m_settings.writeScheduleType(m_relative ? 1 : 0);
}

ScheduleMode::Arm ScheduleMode::arm(bool rearm, const QDateTime& now, bool multiFile) {
    if (m_list.empty()) {
        return Arm::OpenList;
    }
    if (m_on) {
        return Arm::SwitchOff;
    }
    m_on = true;
    const std::optional<ScheduleRunner::InfoLine> next =
        rearm ? m_runner.rearm(now, multiFile) : m_runner.arm(now, m_relative, multiFile);
    m_startLine = next ? std::optional(text(*next)) : std::nullopt;
    return Arm::Armed;
}

void ScheduleMode::off(bool keepRunner) {
    m_on = false;
    m_startLine.reset();
    if (!keepRunner) {
        m_runner.disarm();
    }
}

ScheduleRunner::TickResult ScheduleMode::tick(const QDateTime& now, bool paused) {
    m_launches.check(now, m_runner.timeBase());
    ScheduleRunner::TickResult result = m_runner.tick(now, paused);
    m_launches.endViewers(result.viewersToClose);
    return result;
}

std::string ScheduleMode::text(const ScheduleRunner::InfoLine& line) const {
    return line.text(m_language);
}

}  // namespace orvel
