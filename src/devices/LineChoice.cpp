#include "devices/LineChoice.h"

#include <optional>
#include "config/SettingsStore.h"

namespace orvel {

std::string LineChoice::deviceKey(const platform::SoundDevice& device) {
    return device.cardName.empty() ? device.name : device.cardName;
}

std::string LineChoice::lineKey(const platform::SoundLine& line) {
    return line.portName.empty() ? line.sourceName : line.sourceName + "#" + line.portName;
}

LineChoice LineChoice::of(const std::vector<platform::SoundDevice>& devices, int row, int line) {
    LineChoice choice;
    choice.deviceRow = row;
    choice.lineIndex = line;
    if (row >= 0 && row < static_cast<int>(devices.size())) {
        const platform::SoundDevice& device = devices[static_cast<std::size_t>(row)];
        choice.deviceName = deviceKey(device);
        if (line >= 0 && line < static_cast<int>(device.lines.size())) {
            choice.lineName = lineKey(device.lines[static_cast<std::size_t>(line)]);
        }
    }
    return choice;
}

LineChoice LineChoice::resolve(const std::vector<platform::SoundDevice>& devices,
                               bool* moved) const {
    if (moved != nullptr) {
        *moved = false;
    }
    if (lineName.empty()) {
        return *this;
    }
    const LineChoice now = of(devices, deviceRow, lineIndex);
    if (now.lineName == lineName) {
        return now;
    }
    std::optional<LineChoice> found;
    for (std::size_t row = 0; row < devices.size(); ++row) {
        const platform::SoundDevice& device = devices[row];
        for (std::size_t i = 0; i < device.lines.size(); ++i) {
            if (lineKey(device.lines[i]) != lineName) {
                continue;
            }
            const bool storedDevice = deviceKey(device) == deviceName;
            if (!found || storedDevice) {
                found = of(devices, static_cast<int>(row), static_cast<int>(i));
            }
            if (storedDevice) {
                break;
            }
        }
        if (found && found->deviceName == deviceName) {
            break;
        }
    }
    if (!found) {
        return *this;
    }
    if (moved != nullptr) {
        *moved = true;
    }
    return *found;
}

LineChoice LineChoice::read(const SettingsStore& settings) {
    LineChoice choice;
    choice.deviceRow = settings.readDevice();
    choice.lineIndex = settings.readAudioLine();
    choice.deviceName = settings.readText(setting::kDeviceName);
    choice.lineName = settings.readText(setting::kLineName);
    return choice;
}

void LineChoice::write(const SettingsStore& settings) const {
    settings.writeDevice(deviceRow);
    settings.writeAudioLine(lineIndex);
    settings.writeText(setting::kDeviceName, deviceName);
    settings.writeText(setting::kLineName, lineName);
}

}  // namespace orvel
