#pragma once

#include <QCoreApplication>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioFormat.h"
#include "config/FormatTables.h"

// Media files for the player's tests, made with the recorder's own writers and encoders, and
// signals whose position can be recognised in what comes back.
namespace orvel::test {

// Writes the PCM as a WAV, MP3 or WMA file (the MP3 at 128 kbit/s with its length tag). False
// when a writer refuses.
bool writeMedia(const std::string& path, OutputFormat format, const AudioFormat& audio,
                const std::vector<std::uint8_t>& pcm);

// Silence, then a tone from `onsetSeconds` on, until `seconds`: the tone's onset marks a known
// position of the content.
std::vector<std::uint8_t> toneFrom(double onsetSeconds, double seconds, double frequency,
                                   double peakDbfs, const AudioFormat& format);

// Handles the owner thread's events until the condition holds or the time is up.
template <class Condition>
bool waitFor(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The first sample of one channel louder than `threshold` (0..1); -1 when none is.
long onsetSample(const std::vector<double>& samples, double threshold);

}  // namespace orvel::test
