#include "devices/DeviceChooser.h"

#include <algorithm>

#include "devices/MixerControl.h"

namespace orvel {

DeviceChooser::DeviceChooser(platform::SoundServer& server, const DeviceList& current,
                             int currentLine, int rowsShown, int linesShown, bool readOnly)
    : m_currentLine(currentLine),
      m_rowsShown(std::max(1, rowsShown)),
      m_linesShown(std::max(1, linesShown)),
      m_readOnly(readOnly) {
    if (const platform::SoundDevice* device = current.selectedDevice()) {
        m_current = *device;
    }
    // A running capture's device is shown as the recorder holds it; otherwise as the server
    // lists the devices now.
    m_devices = readOnly ? current.devices() : server.devices();
    if (m_current) {
        m_highlighted = DeviceList::rowOf(m_devices, *m_current);
        m_firstRow = clampFirst(m_highlighted - m_rowsShown + 1, rowCount(), m_rowsShown);
    }
}

std::vector<std::string> DeviceChooser::rows() const {
    if (m_devices.empty()) {
        return {DeviceList::kNoEntries};
    }
    std::vector<std::string> names;
    for (const platform::SoundDevice& device : m_devices) {
        names.push_back(device.name);
    }
    return names;
}

int DeviceChooser::clampFirst(int first, int count, int shown) {
    return std::clamp(first, 0, std::max(0, count - shown));
}

bool DeviceChooser::highlight(int row) {
    if (m_readOnly || !isDevice(row)) {
        return false;
    }
    if (row != m_highlighted) {
        m_firstLine = 0;
    }
    m_highlighted = row;
    if (row < m_firstRow) {
        m_firstRow = row;
    } else if (row >= m_firstRow + m_rowsShown) {
        m_firstRow = row - m_rowsShown + 1;
    }
    return true;
}

bool DeviceChooser::moveHighlight(int delta) {
    if (m_devices.empty()) {
        return false;
    }
    const int last = static_cast<int>(m_devices.size()) - 1;
    const int from =
        m_highlighted == DeviceList::kNone ? (delta > 0 ? -1 : last + 1) : m_highlighted;
    return highlight(std::clamp(from + delta, 0, last));
}

std::vector<std::string> DeviceChooser::lineNames() const {
    std::vector<std::string> names;
    if (isDevice(m_highlighted)) {
        for (const platform::SoundLine& line :
             m_devices[static_cast<std::size_t>(m_highlighted)].lines) {
            names.push_back(line.name);
        }
    }
    return names;
}

void DeviceChooser::scrollRows(int delta) {
    m_firstRow = clampFirst(m_firstRow + delta, rowCount(), m_rowsShown);
}

void DeviceChooser::scrollLines(int delta) {
    m_firstLine =
        clampFirst(m_firstLine + delta, static_cast<int>(lineNames().size()), m_linesShown);
}

std::optional<DeviceChooser::Choice> DeviceChooser::apply(DeviceList& devices,
                                                          MixerControl& mixer) const {
    if (m_readOnly || !isDevice(m_highlighted)) {
        return std::nullopt;
    }
    const platform::SoundDevice& wanted = m_devices[static_cast<std::size_t>(m_highlighted)];
    devices.refresh();
    const int row = DeviceList::rowOf(devices.devices(), wanted);
    if (row == DeviceList::kNone || !devices.selectRow(row)) {
        return std::nullopt;
    }
    Choice choice;
    choice.device = row;
    choice.deviceChanged = !m_current || !DeviceList::sameDevice(*m_current, wanted);
    const int lines = mixer.countLines();
    if (!choice.deviceChanged && m_currentLine >= 0 && m_currentLine < lines) {
        choice.line = m_currentLine;
        return choice;
    }
    // The old index counted another device's lines: start again at the first line.
    choice.line = lines > 0 ? 0 : -1;
    if (choice.line >= 0) {
        mixer.selectLine(choice.line);
    }
    return choice;
}

}  // namespace orvel
