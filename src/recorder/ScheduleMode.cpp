#include "recorder/ScheduleMode.h"

#include <QLoggingCategory>

#include "config/SettingsStore.h"
#include "recorder/RestartTimer.h"

Q_LOGGING_CATEGORY(lcSchedule, "orvel.recorder.schedule")

namespace orvel {

namespace {

using Kind = ModeAction::Kind;

}  // namespace

ScheduleMode::ScheduleMode(const SettingsStore& settings, const LanguageTable& language,
                           platform::ViewerLauncher& viewers)
    : m_settings(settings),
      m_language(language),
      m_launches(viewers, StreamingPage(settings.effectiveInstallFolder())) {}

ModeActions ScheduleMode::load(const QDateTime& now, bool paused) {
    const ScheduleList::LoadReport report =
        m_list.load(ScheduleList::pathIn(m_settings.effectiveInstallFolder()));
    if (report.skipped > 0 || report.withoutLaunch > 0 || report.cutShort) {
        qCWarning(lcSchedule) << "schedule file:" << report.skipped << "lines skipped,"
                              << report.withoutLaunch << "items without a viewer launch"
                              << (report.cutShort ? "(the file was cut short)" : "");
    }
    m_relative = m_settings.readScheduleType() == 1;
    m_launches.rebuild(m_list);
    return actionsOf(m_runner.reload(m_list, m_relative, now, paused));
}

void ScheduleMode::write() const {
    m_settings.writeScheduleType(m_relative ? 1 : 0);
}

ModeActions ScheduleMode::arm(bool rearm, const QDateTime& now, const Recorder& recorder) {
    if (m_list.empty()) {
        return {{.kind = Kind::OpenList}};
    }
    if (m_on) {
        ModeActions actions{{.kind = Kind::Stop}};
        if (recorder.signalMode) {
            // Signal recording goes on in a new file of its own.
            actions.push_back({.kind = Kind::NumberedNames});
            actions.push_back({.kind = Kind::RestartLater,
                               .restartKind = RestartTimer::kSignal,
                               .delayMs = RestartTimer::kLeastDelayMs});
        }
        return actions;
    }
    m_on = true;
    const std::optional<ScheduleRunner::InfoLine> next =
        rearm ? m_runner.rearm(now, recorder.multiFile)
              : m_runner.arm(now, m_relative, recorder.multiFile);
    m_startLine = next ? std::optional(next->text(m_language)) : std::nullopt;
    if (!recorder.recording) {
        return {{.kind = Kind::Start, .restart = rearm, .paused = true}};
    }
    ModeActions actions;
    if (std::optional<std::string> line = takeStartLine()) {
        actions.push_back({.kind = Kind::ShowLine2, .text = std::move(*line)});
    }
    if (!recorder.paused) {
        actions.push_back({.kind = Kind::Pause});
    }
    return actions;
}

void ScheduleMode::stopped(bool keepRunner) {
    m_on = false;
    m_startLine.reset();
    if (!keepRunner) {
        m_runner.disarm();
    }
}

ModeActions ScheduleMode::tick(const QDateTime& now, bool paused) {
    m_launches.check(now, m_runner.timeBase());
    return actionsOf(m_runner.tick(now, paused));
}

ModeActions ScheduleMode::actionsOf(const ScheduleRunner::TickResult& result) {
    m_launches.endViewers(result.viewersToClose);
    ModeActions actions;
    if (result.line2) {
        actions.push_back({.kind = Kind::ShowLine2, .text = result.line2->text(m_language)});
    }
    for (const ScheduleRunner::Action action : result.actions) {
        switch (action) {
            case ScheduleRunner::Action::Pause:
                actions.push_back({.kind = Kind::Pause});
                break;
            case ScheduleRunner::Action::Resume:
                actions.push_back({.kind = Kind::Resume});
                break;
            case ScheduleRunner::Action::EndFileAndRearm:
                // The window's file ends; a new one is armed once it is complete.
                actions.push_back({.kind = Kind::EndWindowFile});
                actions.push_back({.kind = Kind::RestartLater,
                                   .restartKind = RestartTimer::kScheduleRearm,
                                   .delayMs = result.rearmDelayMs});
                return actions;
        }
    }
    return actions;
}

}  // namespace orvel
