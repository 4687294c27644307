#pragma once

#include <string>
#include <vector>

#include "platform/SoundServer.h"

namespace orvel {

// The capture devices as the device window offers them: one row per device, by its name, and
// the recording lines of the selected device. The settings keep the chosen device as its row
// (`Device`) and the chosen line as its index among that device's lines (`AudoLine`).
//
// A system without capture devices shows the single row "<< No entries >>", which selects
// nothing usable.
//
// Thread contract: called on the GUI thread (it waits for the sound server's answers).
class DeviceList {
public:
    static constexpr char kNoEntries[] = "<< No entries >>";
    static constexpr int kNone = -1;

    explicit DeviceList(platform::SoundServer& server);

    // Reads the devices again. The selected device stays selected (at its new row) when it is
    // still there; otherwise nothing is selected.
    void refresh();

    // The rows to show: the device names, or kNoEntries alone when there is no device.
    std::vector<std::string> rows() const;
    int count() const { return static_cast<int>(m_devices.size()); }
    const std::vector<platform::SoundDevice>& devices() const { return m_devices; }

    // Selects the device of a row and reads its lines again from the server (selecting the
    // selected row again refreshes them). False, with nothing changed, for a row that is not a
    // device (the "<< No entries >>" row, a row past the end); false with nothing selected when
    // the device has gone away meanwhile.
    bool selectRow(int row);
    int selectedRow() const { return m_selected; }
    // The selected device with its lines; nullptr when none is selected.
    const platform::SoundDevice* selectedDevice() const;
    // The names of the selected device's lines, in line-index order; empty without a device.
    std::vector<std::string> lineNames() const;

    // Whether two readings of the server name the same device (a card by its stable name,
    // "Sound server" by its name), and where a device is in a reading (kNone when it is not).
    static bool sameDevice(const platform::SoundDevice& a, const platform::SoundDevice& b);
    static int rowOf(const std::vector<platform::SoundDevice>& devices,
                     const platform::SoundDevice& wanted);

private:
    platform::SoundServer& m_server;
    std::vector<platform::SoundDevice> m_devices;
    int m_selected = kNone;
};

}  // namespace orvel
