#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "playback/MediaPlayer.h"

// A stand-in for the speakers' stream: keeps what is written, and plays it either at once
// (a test runs as fast as the player decodes) or at the sound's real pace with a queue of a
// few hundred milliseconds, as the sound server does.
namespace orvel::test {

struct FakeSpeakers {
    enum class Pace { Instant, RealTime };

    std::mutex mutex;
    Pace pace = Pace::Instant;
    bool refuse = false;  // the factory fails (no sound server)
    bool fail = false;    // the stream fails while playing
    // Everything the test may want to look at, under the mutex.
    AudioFormat format;
    int streams = 0;
    std::vector<std::uint8_t> written;      // since the last flush
    std::vector<std::uint8_t> beforeFlush;  // what was written before the last flush
    std::uint64_t writtenTotal = 0;
    int flushes = 0;
    bool paused = false;
    bool muted = false;
    std::vector<double> volumes;  // every setVolumeDb

    std::vector<std::uint8_t> pcm() {
        std::lock_guard lock(mutex);
        return written;
    }
    // What was written since the last flush, or before it when nothing was written since.
    std::vector<std::uint8_t> lastSound() {
        std::lock_guard lock(mutex);
        return written.empty() ? beforeFlush : written;
    }
    double lastVolume() {
        std::lock_guard lock(mutex);
        return volumes.empty() ? 0.0 : volumes.back();
    }
    bool isMuted() {
        std::lock_guard lock(mutex);
        return muted;
    }
};

// Streams that play into `speakers`.
MediaPlayer::StreamFactory fakeStreams(std::shared_ptr<FakeSpeakers> speakers);

}  // namespace orvel::test
