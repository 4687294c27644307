#pragma once

#include <string>
#include <vector>

#include "platform/SoundServer.h"

namespace orvel {

class SettingsStore;

// The recording line the user chose, kept both as indexes (`Device`, a row of the device list,
// and `AudoLine`, an index among its lines) and as the server's stable names of the device and
// the line (`DeviceName`, `LineName`). Indexes move when devices come and go (a USB microphone
// in another port, a card added, a source loaded before the others); names do not. At start-up
// and whenever the devices change, the indexes are checked against the names and, when they no
// longer name the same line, the line is found again by its name.
//
// Thread contract: a plain value, any thread; read and write as SettingsStore.
struct LineChoice {
    int deviceRow = -1;
    int lineIndex = -1;
    std::string deviceName;  // stable name of the device; empty when none is known
    std::string lineName;    // stable name of the line; empty when none is known

    // The stable names the server gives: a card's name ("Sound server" for the sources of no
    // card), and a line's source name with "#" and the port when the line is a port.
    static std::string deviceKey(const platform::SoundDevice& device);
    static std::string lineKey(const platform::SoundLine& line);

    // The choice of a device row and line index of the list, with their names (empty names
    // when they name nothing).
    static LineChoice of(const std::vector<platform::SoundDevice>& devices, int row, int line);

    // Where the stored choice is now. The indexes stay when they still name the stored line, or
    // when no line name is stored (a choice from before names were kept), or when the named
    // line is nowhere to be found (it may come back); otherwise they move to the line of that
    // name, preferring the stored device when two devices offer it. `moved` tells which.
    LineChoice resolve(const std::vector<platform::SoundDevice>& devices,
                       bool* moved = nullptr) const;

    static LineChoice read(const SettingsStore& settings);
    void write(const SettingsStore& settings) const;

    bool operator==(const LineChoice&) const = default;
};

}  // namespace orvel
