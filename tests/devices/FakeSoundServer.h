#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/SoundServer.h"

namespace orvel::test {

// A sound server held in memory: the devices a test sets, line selection, volumes and
// balances per source, and the short sounds played. Capture sources come from a factory the
// test sets (none by default). It never emits a signal.
class FakeSoundServer : public platform::SoundServer {
public:
    struct PlayedSound {
        AudioFormat format;
        std::vector<std::uint8_t> pcm;
    };

    std::vector<platform::SoundDevice> deviceList;
    std::optional<platform::SoundLine> selected;
    std::map<std::string, double> volumes;   // by source name
    std::map<std::string, double> balances;  // by source name
    std::vector<PlayedSound> played;
    bool refuseSelection = false;
    int deviceQueries = 0;
    std::function<std::unique_ptr<CaptureSource>(const platform::SoundLine&)> captureFactory;

    bool isConnected() const override { return true; }

    std::vector<platform::SoundDevice> devices() override {
        ++deviceQueries;
        return deviceList;
    }

    bool selectLine(const platform::SoundLine& line) override {
        if (refuseSelection || !exists(line)) {
            return false;
        }
        selected = line;
        return true;
    }
    bool isLineSelected(const platform::SoundLine& line) override {
        return selected && *selected == line;
    }

    std::optional<double> lineVolume(const platform::SoundLine& line) override {
        return valueOf(volumes, line, 1.0);
    }
    bool setLineVolume(const platform::SoundLine& line, double volume) override {
        return store(volumes, line, volume);
    }
    std::optional<double> lineBalance(const platform::SoundLine& line) override {
        return valueOf(balances, line, 0.0);
    }
    bool setLineBalance(const platform::SoundLine& line, double balance) override {
        return store(balances, line, balance);
    }

    std::optional<int> defaultSinkVolume() override { return 65535; }
    bool setDefaultSinkVolume(int) override { return true; }

    std::unique_ptr<CaptureSource> createCaptureSource(const platform::SoundLine& line) override {
        return captureFactory ? captureFactory(line) : nullptr;
    }
    std::unique_ptr<platform::PlaybackStream> createPlayback(const AudioFormat&,
                                                             std::string* error) override {
        if (error != nullptr) {
            *error = "no playback in the fake server";
        }
        return nullptr;
    }
    bool playSound(const AudioFormat& format, std::vector<std::uint8_t> pcm) override {
        played.push_back({format, std::move(pcm)});
        return true;
    }

    // A device of plain source lines named after their sources.
    static platform::SoundDevice device(const std::string& name,
                                        const std::vector<std::string>& sources) {
        platform::SoundDevice d{name, name == "Sound server" ? "" : "card." + name, {}};
        for (const std::string& source : sources) {
            d.lines.push_back({source, source, "", false});
        }
        return d;
    }

private:
    bool exists(const platform::SoundLine& line) const {
        for (const platform::SoundDevice& d : deviceList) {
            for (const platform::SoundLine& l : d.lines) {
                if (l == line) {
                    return true;
                }
            }
        }
        return false;
    }
    std::optional<double> valueOf(const std::map<std::string, double>& values,
                                  const platform::SoundLine& line, double fallback) const {
        if (!exists(line)) {
            return std::nullopt;
        }
        const auto it = values.find(line.sourceName);
        return it == values.end() ? fallback : it->second;
    }
    bool store(std::map<std::string, double>& values, const platform::SoundLine& line,
               double value) {
        if (!exists(line)) {
            return false;
        }
        values[line.sourceName] = value;
        return true;
    }
};

}  // namespace orvel::test
