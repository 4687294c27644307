#include "recorder/LineSetup.h"

#include <QLoggingCategory>

#include "recorder/RecorderView.h"
#include "recorder/StartupChoice.h"
#include "recorder/TickSource.h"

Q_LOGGING_CATEGORY(lcSetup, "orvel.recorder.lines")

namespace orvel {

LineSetup::LineSetup(LineSearch& search, CaptureEngine& engine, MixerControl& mixer,
                     platform::SoundServer& server, CaptureSourceFactory sources, TickSource& ticks,
                     RecorderView& view, Hooks hooks, QObject* parent)
    : QObject(parent),
      m_search(search),
      m_test(engine, mixer, server, std::move(sources)),
      m_server(server),
      m_ticks(ticks),
      m_view(view),
      m_hooks(std::move(hooks)) {
    connect(&m_test, &LineTest::done, this, &LineSetup::testDone);
}

void LineSetup::openStartup() {
    m_startupOpen = true;
    QMetaObject::invokeMethod(
        this, [this] { m_view.openStartupWindow(StartupChoice::versionText()); },
        Qt::QueuedConnection);
}

bool LineSetup::startupClosed(int result) {
    m_startupOpen = false;
    if (result != StartupChoice::ContinueAutomatic && result != StartupChoice::ContinueManual) {
        return false;
    }
    if (m_search.firstRun(result == StartupChoice::ContinueAutomatic)) {
        autoConfigure();
    }
    return true;
}

void LineSetup::autoConfigure() {
    if (!m_hooks.idle()) {
        return;
    }
    m_search.autoConfigure();
    m_ticks.start(TickSource::Tick::Timer1, kAutoConfigDelayMs);
    m_hooks.shown();
}

bool LineSetup::configureTick() {
    if (!m_search.autoConfigPending()) {
        return false;
    }
    if (const std::optional<LineSearch::Step> step = m_search.beginSearch(m_hooks.idle())) {
        m_ticks.stop(TickSource::Tick::Timer1);
        carryOut(*step);
    }
    return true;
}

void LineSetup::autodetect() {
    if (const std::optional<LineSearch::Step> step = m_search.autodetect(m_hooks.idle())) {
        carryOut(*step);
    }
}

void LineSetup::socketClicked(int line) {
    if (m_test.running()) {
        return;
    }
    if (const std::optional<LineSearch::Step> step = m_search.socketClicked(line, m_hooks.idle())) {
        carryOut(*step);
    }
}

void LineSetup::devicesChanged() {
    if (m_test.running() && m_test.automatic()) {
        m_test.cancel();
    }
    carryOut(m_search.devicesChanged());
}

void LineSetup::stopped() {
    int tested = -1;
    if (m_test.running()) {
        tested = m_test.line();
        m_test.cancel();
    }
    m_search.stopped(tested);
}

void LineSetup::testDone(int line, int level) {
    qCDebug(lcSetup) << "line" << line << "measured" << level;
    carryOut(m_search.testDone(line, level));
}

void LineSetup::carryOut(const LineSearch::Step& step) {
    if (step.test) {
        const StartResult result = startTest(*step.test, step.automatic);
        if (result != StartResult::Ok) {
            carryOut(m_search.testRefused(*step.test, step.automatic, messageKey(result)));
            return;
        }
    }
    m_hooks.shown();
    if (step.nextTest) {
        QMetaObject::invokeMethod(
            this, [this] { carryOut(m_search.testCurrent(m_hooks.idle())); }, Qt::QueuedConnection);
    }
    if (step.released) {
        QMetaObject::invokeMethod(
            this, [this] { m_hooks.released(); }, Qt::QueuedConnection);
    }
}

StartResult LineSetup::startTest(int line, bool automatic) {
    if (automatic) {
        return m_test.start(line, true);
    }
    const std::optional<int> speakers = m_server.defaultSinkVolume();
    if (speakers) {
        m_server.setDefaultSinkVolume(0);
    }
    const StartResult result = m_test.start(line, false);
    if (speakers) {
        m_server.setDefaultSinkVolume(*speakers);
    }
    return result;
}

}  // namespace orvel
