#include "devices/MixerControl.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLoggingCategory>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "devices/DeviceList.h"
#include "devices/LineSounds.h"

Q_LOGGING_CATEGORY(lcMixer, "orvel.devices.mixer")

namespace orvel {

namespace {

double clampUnit(double value, double low) {
    if (std::isnan(value)) {
        return low < 0 ? 0.0 : low;
    }
    return std::clamp(value, low, 1.0);
}

}  // namespace

MixerControl::MixerControl(platform::SoundServer& server, const DeviceList& devices)
    : m_server(server), m_devices(devices) {}

int MixerControl::countLines() const {
    const platform::SoundDevice* device = m_devices.selectedDevice();
    return device == nullptr ? 0 : static_cast<int>(device->lines.size());
}

const platform::SoundLine* MixerControl::line(int index) const {
    const platform::SoundDevice* device = m_devices.selectedDevice();
    if (device == nullptr || index < 0 || index >= static_cast<int>(device->lines.size())) {
        return nullptr;
    }
    return &device->lines[static_cast<std::size_t>(index)];
}

bool MixerControl::selectLine(int index) {
    const platform::SoundLine* wanted = line(index);
    return wanted != nullptr && m_server.selectLine(*wanted);
}

bool MixerControl::isLineEnabled(int index) const {
    const platform::SoundLine* wanted = line(index);
    return wanted != nullptr && m_server.isLineSelected(*wanted);
}

bool MixerControl::setVolume(int index, double level) {
    const platform::SoundLine* wanted = line(index);
    return wanted != nullptr && m_server.setLineVolume(*wanted, clampUnit(level, 0.0));
}

double MixerControl::volume(int index) const {
    const platform::SoundLine* wanted = line(index);
    return wanted == nullptr ? 0.0 : m_server.lineVolume(*wanted).value_or(0.0);
}

bool MixerControl::setBalance(int index, double pan) {
    const platform::SoundLine* wanted = line(index);
    return wanted != nullptr && m_server.setLineBalance(*wanted, clampUnit(pan, -1.0));
}

double MixerControl::balance(int index) const {
    const platform::SoundLine* wanted = line(index);
    return wanted == nullptr ? 0.0 : m_server.lineBalance(*wanted).value_or(0.0);
}

bool MixerControl::announceLine(int index) const {
    const std::string name = LineSounds::resourceName(index);
    if (name.empty()) {
        return false;
    }
    std::optional<SoundClip> clip = LineSounds::load(name);
    if (!clip) {
        qCWarning(lcMixer) << "announcement" << name.c_str() << "is missing from the resources";
        return false;
    }
    return m_server.playSound(clip->format, std::move(clip->pcm));
}

int MixerControl::measureTestFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return kUnreadable;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return kUnreadable;
    }
    // Bytes the file does not have count as silence: a test recording that delivered no sound
    // must not pass for a loud line.
    std::array<unsigned char, kMeasureBytes> bytes;
    bytes.fill(kSilentByte);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got,
                                  static_cast<off_t>(kMeasureOffset) + static_cast<off_t>(got));
        if (n > 0) {
            got += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    ::close(fd);
    long sum = 0;
    for (const unsigned char byte : bytes) {
        sum += std::abs(static_cast<int>(byte) - 128);
    }
    return static_cast<int>(sum / kMeasureBytes);
}

int MixerControl::testLine(int index, const std::string& path, bool measure) {
    selectLine(index);
    announceLine(index);
    if (!measure) {
        return 0;
    }
    const int level = measureTestFile(path);
    std::remove(path.c_str());
    return level;
}

double MixerControl::volumeFromSlider(int position, int range) {
    if (range <= 0) {
        return 0.0;
    }
    return std::clamp(static_cast<double>(position) / range, 0.0, 1.0);
}

int MixerControl::sliderFromVolume(double level, int range) {
    if (range <= 0) {
        return 0;
    }
    return static_cast<int>(clampUnit(level, 0.0) * range);
}

double MixerControl::balanceFromSlider(int position, int range) {
    if (range <= 0) {
        return 0.0;
    }
    return std::clamp(static_cast<double>(position) * 2 / range - 1, -1.0, 1.0);
}

int MixerControl::sliderFromBalance(double pan, int range) {
    if (range <= 0) {
        return 0;
    }
    return static_cast<int>((clampUnit(pan, -1.0) + 1) * (range / 2));
}

}  // namespace orvel
