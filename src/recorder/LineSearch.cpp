#include "recorder/LineSearch.h"

#include <QLoggingCategory>
#include <QString>
#include <algorithm>
#include <utility>

#include "devices/DeviceList.h"
#include "devices/MixerControl.h"
#include "recorder/InfoLine.h"

Q_LOGGING_CATEGORY(lcLines, "orvel.recorder.lines")

namespace orvel {

LineSearch::LineSearch(DeviceList& devices, MixerControl& mixer, InfoLine& info)
    : m_devices(devices), m_mixer(mixer), m_info(info) {}

void LineSearch::read(const SettingsStore& settings) {
    m_line = LineChoice::read(settings);
    m_storedLine = m_line;
}

void LineSearch::write(const SettingsStore& settings) const {
    m_line.write(settings);
}

void LineSearch::store(const SettingsStore& settings) {
    if (m_line != m_storedLine && !m_searching && !m_autoConfigPending) {
        m_line.write(settings);
        m_storedLine = m_line;
    }
}

void LineSearch::refresh() {
    m_devices.refresh();
    bool moved = false;
    m_line = m_line.resolve(m_devices.devices(), &moved);
    if (moved) {
        qCInfo(lcLines) << "the stored line" << QString::fromStdString(m_line.lineName)
                        << "is now line" << m_line.lineIndex << "of device" << m_line.deviceRow;
    }
    m_lineCount = 0;
    if (m_line.deviceRow >= 0 && m_devices.selectRow(m_line.deviceRow)) {
        m_lineCount = m_mixer.countLines();
        if (!moved && m_line.lineName.empty()) {
            // A choice from before names were kept learns its names now.
            pick(m_line.lineIndex);
        }
    }
    const std::size_t sockets =
        std::min<std::size_t>(static_cast<std::size_t>(m_lineCount), FaceState::kMaxSockets);
    m_sockets.assign(sockets, SocketState::Normal);
    setSocket(m_line.lineIndex, SocketState::Current);
}

bool LineSearch::firstRun(bool automatic) {
    if (m_line.deviceRow < 0) {
        m_line.deviceRow = 0;
    }
    refresh();
    if (m_lineCount < 1) {
        m_info.message("PlayBackSupport");
        return false;
    }
    if (automatic) {
        m_firstRunSearch = true;
        return true;
    }
    if (m_line.lineIndex < 0) {
        // Without the search the device's first line is the line, not none at all.
        pick(0);
    }
    return false;
}

void LineSearch::choose(int deviceRow, int lineIndex) {
    m_line = LineChoice::of(m_devices.devices(), deviceRow, lineIndex);
    refresh();
}

LineSearch::Step LineSearch::devicesChanged() {
    const bool searching = m_searching;
    refresh();
    if (!searching) {
        return {};
    }
    pick(std::clamp(m_line.lineIndex, 0, std::max(m_lineCount - 1, 0)));
    return end("LineNotFound");
}

void LineSearch::autoConfigure() {
    m_info.message("AutoConfig");
    m_line.lineIndex = -1;
    m_line.lineName.clear();
    m_autoConfigPending = true;
}

std::optional<LineSearch::Step> LineSearch::beginSearch(bool idle) {
    if (m_lineCount < 1 || m_line.lineIndex >= 0 || !idle) {
        return std::nullopt;
    }
    m_autoConfigPending = false;
    m_windowOpen = true;
    pick(0);
    m_searching = true;
    return Step{.nextTest = true};
}

std::optional<LineSearch::Step> LineSearch::autodetect(bool idle) {
    if (!m_windowOpen || m_searching || m_lineCount < 1) {
        return std::nullopt;
    }
    if (!idle) {
        m_info.show(kBusyText, kBusyText2);
        return std::nullopt;
    }
    setSocket(m_line.lineIndex, SocketState::Normal);
    pick(0);
    m_searching = true;
    return Step{.nextTest = true};
}

LineSearch::Step LineSearch::testCurrent(bool idle) {
    if (!m_searching || !idle) {
        return end({});
    }
    const int line = m_line.lineIndex;
    setSocket(line, SocketState::UnderTest);
    const LanguageTable::MessageLines test = m_info.lines("RecordingTest");
    m_info.show(test.line1, test.line2 + " " + std::to_string(line + 1));
    m_mixer.setVolume(line, kTestVolume);
    return Step{.test = line, .automatic = true};
}

LineSearch::Step LineSearch::testDone(int line, int level) {
    pick(line);
    for (SocketState& socket : m_sockets) {
        if (socket == SocketState::Current) {
            socket = SocketState::Normal;
        }
    }
    setSocket(line, SocketState::Current);
    const LanguageTable::MessageLines finish = m_info.lines("TestFinish");
    m_info.show(finish.line1, finish.line2 + " " + std::to_string(line + 1) + "  " + finish.line3);
    if (!m_searching) {
        return {};
    }
    if (level >= MixerControl::kFoundLevel) {
        return end(line < m_lineCount ? "LineFound" : "LineNotFound");
    }
    if (line >= m_lineCount - 1) {
        return end("LineNotFound");
    }
    setSocket(line, SocketState::Normal);
    pick(line + 1);
    return Step{.nextTest = true};
}

LineSearch::Step LineSearch::testRefused(int line, bool automatic, std::string_view messageKey) {
    if (automatic) {
        setSocket(line, SocketState::Normal);
        return end(messageKey);
    }
    setSocket(line, SocketState::Current);
    m_info.message(messageKey);
    return {};
}

void LineSearch::stopped(int testedLine) {
    m_autoConfigPending = false;
    if (testedLine >= 0) {
        setSocket(testedLine,
                  testedLine == m_line.lineIndex ? SocketState::Current : SocketState::Normal);
    }
    m_searching = false;
    m_firstRunSearch = false;
}

std::optional<LineSearch::Step> LineSearch::socketClicked(int line, bool idle) {
    if (!m_windowOpen || line < 0 ||
        line >= std::min<int>(m_lineCount, static_cast<int>(FaceState::kMaxSockets)) ||
        line == m_line.lineIndex) {
        return std::nullopt;
    }
    setSocket(m_line.lineIndex, SocketState::Normal);
    setSocket(line, SocketState::UnderTest);
    pick(line);
    if (idle) {
        const LanguageTable::MessageLines test = m_info.lines("RecordingTest");
        m_info.show(test.line1, test.line2 + " " + std::to_string(line + 1));
    }
    // A running recording keeps its line; the choice applies from the next start.
    m_mixer.selectLine(line);
    if (!idle) {
        setSocket(line, SocketState::Current);
        return Step{};
    }
    return Step{.test = line, .automatic = false};
}

int LineSearch::microphoneLine() const {
    const platform::SoundDevice* device = m_devices.selectedDevice();
    if (device == nullptr) {
        return -1;
    }
    auto namesMicrophone = [](const std::string& text) {
        return QString::fromStdString(text).contains(QLatin1String("mic"), Qt::CaseInsensitive);
    };
    const int count = std::min<int>(static_cast<int>(device->lines.size()), m_lineCount);
    for (int i = 0; i < count; ++i) {
        const platform::SoundLine& line = device->lines[static_cast<std::size_t>(i)];
        if (!line.monitor && (namesMicrophone(line.name) || namesMicrophone(line.portName))) {
            return i;
        }
    }
    return -1;
}

bool LineSearch::selectMicrophone() {
    const int line = microphoneLine();
    if (line < 0) {
        return false;
    }
    if (line != m_line.lineIndex) {
        setSocket(m_line.lineIndex, SocketState::Normal);
        pick(line);
        // A running recording keeps its line; the choice applies from the next start.
        m_mixer.selectLine(line);
    }
    setSocket(line, SocketState::UnderTest);
    return true;
}

bool LineSearch::usable() {
    return m_devices.selectRow(m_line.deviceRow) && m_mixer.line(m_line.lineIndex) != nullptr &&
           m_mixer.selectLine(m_line.lineIndex);
}

const platform::SoundLine* LineSearch::soundLine() const {
    return m_mixer.line(m_line.lineIndex);
}

void LineSearch::show(FaceState& state) const {
    state.lineWindowOpen = m_windowOpen;
    state.lineIndex = m_line.lineIndex;
    const std::vector<std::string> names = m_devices.lineNames();
    for (std::size_t i = 0; i < m_sockets.size() && i < names.size(); ++i) {
        state.lineNames.push_back(names[i]);
        state.sockets.push_back(m_sockets[i]);
    }
}

LineSearch::Step LineSearch::end(std::string_view messageKey) {
    m_searching = false;
    if (!messageKey.empty()) {
        m_info.message(messageKey);
    }
    return Step{.released = std::exchange(m_firstRunSearch, false)};
}

void LineSearch::setSocket(int line, SocketState state) {
    if (line >= 0 && static_cast<std::size_t>(line) < m_sockets.size()) {
        m_sockets[static_cast<std::size_t>(line)] = state;
    }
}

void LineSearch::pick(int lineIndex) {
    m_line = LineChoice::of(m_devices.devices(), m_line.deviceRow, lineIndex);
}

}  // namespace orvel
