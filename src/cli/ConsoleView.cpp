#include "cli/ConsoleView.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <cstdio>
#include <ostream>

#include "cli/CommandText.h"
#include "config/Text.h"
#include "recorder/RecorderController.h"
#include "recorder/StartupChoice.h"

namespace orvel {

namespace {

constexpr char kPrefix[] = "orvel-rec: ";

std::string minutesAndSeconds(std::int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(ms / 60000),
                  static_cast<long long>((ms / 1000) % 60));
    return text;
}

}  // namespace

ConsoleView::ConsoleView(std::ostream& out, std::ostream& err, std::function<void()> closed)
    : m_out(out), m_err(err), m_closed(std::move(closed)) {}

void ConsoleView::later(std::function<void()> call) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call), Qt::QueuedConnection);
}

void ConsoleView::showInfo(const std::string& line1, const std::string& line2) {
    const std::string text =
        std::string(text::trimBlanks(line1)) + " | " + std::string(text::trimBlanks(line2));
    if (text == m_lastInfo) {
        return;
    }
    m_lastInfo = text;
    m_out << "info: " << text << std::endl;
}

void ConsoleView::askOverwrite(const std::string& path, std::function<void(bool)> answer) {
    if (m_overwrite) {
        m_err << kPrefix << "\"" << path << "\" exists: replacing it (--overwrite)" << std::endl;
        later([answer = std::move(answer)] { answer(true); });
        return;
    }
    m_refusedOverwrite = true;
    m_err << kPrefix << "\"" << path
          << "\" exists: not overwritten; give --overwrite to replace it, or another -filename"
          << std::endl;
    later([this, answer = std::move(answer)] {
        answer(false);
        if (m_controller != nullptr) {
            m_controller->close();
        }
    });
}

void ConsoleView::tellNoMemory(std::function<void()> done) {
    m_err << kPrefix << "not enough memory for recording" << std::endl;
    later(std::move(done));
}

void ConsoleView::openStartupWindow(const std::string& versionText) {
    m_err << kPrefix << "first run (" << versionText
          << "): no recording line is stored, the first line of the first device is used"
          << std::endl;
    later([this] {
        if (m_controller != nullptr) {
            m_controller->startupClosed(StartupChoice::ContinueManual);
        }
    });
}

void ConsoleView::openScheduleWindow() {
    m_err << kPrefix << "the schedule list is empty: write its windows into \"" << m_scheduleFile
          << "\", one \"HH:MM:SS - HH:MM:SS\" a line" << std::endl;
    later([this] {
        if (m_controller != nullptr) {
            m_controller->scheduleWindowClosed();
        }
    });
}

void ConsoleView::openOutputSettings() {
    later([this] {
        if (m_controller != nullptr) {
            m_controller->outputSettingsClosed();
        }
    });
}

void ConsoleView::openWmaSettings() {
    m_err << kPrefix << "no WMA profile is chosen yet" << std::endl;
    later([this] {
        if (m_controller != nullptr) {
            m_controller->wmaSettingsClosed();
        }
    });
}

void ConsoleView::openDocument(const std::string& path) {
    m_err << kPrefix << "see \"" << path << "\"" << std::endl;
}

void ConsoleView::closeProgram() {
    if (m_closed) {
        m_closed();
    }
}

void ConsoleView::fileFinished(const FinishedFile& file) {
    if (!file.ok) {
        m_out << "failed: " << file.path << std::endl;
        return;
    }
    m_out << "finished: " << file.path << " ("
          << (file.durationMs >= 0 ? minutesAndSeconds(file.durationMs) : std::string("?")) << ", "
          << file.bytes << " bytes" << (file.logged ? ", logged" : "") << ")" << std::endl;
}

void ConsoleView::soundLost(std::uint64_t milliseconds) {
    m_err << kPrefix << command::lostSoundText(milliseconds) << std::endl;
}

}  // namespace orvel
