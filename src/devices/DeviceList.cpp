#include "devices/DeviceList.h"

#include <algorithm>

namespace orvel {

bool DeviceList::sameDevice(const platform::SoundDevice& a, const platform::SoundDevice& b) {
    if (!a.cardName.empty() || !b.cardName.empty()) {
        return a.cardName == b.cardName;
    }
    return a.name == b.name;
}

int DeviceList::rowOf(const std::vector<platform::SoundDevice>& devices,
                      const platform::SoundDevice& wanted) {
    const auto it =
        std::find_if(devices.begin(), devices.end(),
                     [&](const platform::SoundDevice& d) { return sameDevice(d, wanted); });
    return it == devices.end() ? kNone : static_cast<int>(it - devices.begin());
}

DeviceList::DeviceList(platform::SoundServer& server) : m_server(server) {}

void DeviceList::refresh() {
    std::vector<platform::SoundDevice> fresh = m_server.devices();
    int selected = kNone;
    if (const platform::SoundDevice* previous = selectedDevice()) {
        selected = rowOf(fresh, *previous);
    }
    m_devices = std::move(fresh);
    m_selected = selected;
}

std::vector<std::string> DeviceList::rows() const {
    if (m_devices.empty()) {
        return {kNoEntries};
    }
    std::vector<std::string> names;
    names.reserve(m_devices.size());
    for (const platform::SoundDevice& device : m_devices) {
        names.push_back(device.name);
    }
    return names;
}

bool DeviceList::selectRow(int row) {
    if (row < 0 || row >= count()) {
        return false;
    }
    platform::SoundDevice& device = m_devices[static_cast<std::size_t>(row)];
    const std::vector<platform::SoundDevice> fresh = m_server.devices();
    const int now = rowOf(fresh, device);
    if (now == kNone) {
        device.lines.clear();
        m_selected = kNone;
        return false;
    }
    device.lines = fresh[static_cast<std::size_t>(now)].lines;
    m_selected = row;
    return true;
}

const platform::SoundDevice* DeviceList::selectedDevice() const {
    if (m_selected < 0 || m_selected >= count()) {
        return nullptr;
    }
    return &m_devices[static_cast<std::size_t>(m_selected)];
}

std::vector<std::string> DeviceList::lineNames() const {
    std::vector<std::string> names;
    if (const platform::SoundDevice* device = selectedDevice()) {
        for (const platform::SoundLine& line : device->lines) {
            names.push_back(line.name);
        }
    }
    return names;
}

}  // namespace orvel
