#pragma once

#include <string>

#include "platform/SoundServer.h"

namespace orvel {

class DeviceList;

// Line control on the chosen capture device: which recording line is enabled (the one the
// recorder captures from), each line's recording volume (0..1) and balance (-1..1), the line
// announcements and the level measure of the recording-line test.
//
// Lines are addressed by their index among the lines of the device selected in the device
// list. An index that names no line changes nothing: setters and selection fail, getters give
// 0 (the centre, for the balance).
//
// Thread contract: called on the GUI thread (it waits for the sound server's answers); the
// static functions on any thread.
class MixerControl {
public:
    // Measure of a test file that cannot be opened.
    static constexpr int kUnreadable = -1;
    // Where the measured bytes begin and how many are read.
    static constexpr long kMeasureOffset = 4096;
    static constexpr int kMeasureBytes = 1000;
    // The 8-bit sample value of silence.
    static constexpr unsigned char kSilentByte = 128;
    // The level from which a tested line counts as carrying sound.
    static constexpr int kFoundLevel = 6;

    MixerControl(platform::SoundServer& server, const DeviceList& devices);

    // The number of recording lines of the selected device (0 without one).
    int countLines() const;
    // The line of an index; nullptr when the device has no such line.
    const platform::SoundLine* line(int index) const;

    // Makes the line the one recorded from. False, with the enabled line unchanged, for an
    // index past the last line or when the server refuses.
    bool selectLine(int index);
    bool isLineEnabled(int index) const;

    bool setVolume(int index, double level);
    double volume(int index) const;
    bool setBalance(int index, double pan);
    double balance(int index) const;

    // Plays the announcement of the line ("Line one"... for index mod 10 + 1) without waiting
    // for it. False when the index is negative or the sound could not be played.
    bool announceLine(int index) const;

    // The test recording's level: from byte 4096 on, 1000 bytes (a byte past the end of the
    // file counts as silence, 128), the integer mean of |byte - 128|; so a file of at most 4096
    // bytes measures 0, as a line that delivered nothing. kUnreadable when the file cannot be
    // opened.
    static int measureTestFile(const std::string& path);

    // Selects and announces the line; with `measure` set, measures the test file and deletes
    // it, else returns 0.
    int testLine(int index, const std::string& path, bool measure);

    // Slider mappings of the line window. Volume: position p of range R is p / R, a level v is
    // at v x R (truncated). Balance: p x 2 / R - 1, a pan b at (b + 1) x (R / 2) with R halved
    // as an integer. Positions and levels outside their ranges are held at the nearest end.
    static double volumeFromSlider(int position, int range);
    static int sliderFromVolume(double level, int range);
    static double balanceFromSlider(int position, int range);
    static int sliderFromBalance(double pan, int range);

private:
    platform::SoundServer& m_server;
    const DeviceList& m_devices;
};

}  // namespace orvel
