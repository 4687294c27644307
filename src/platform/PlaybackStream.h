#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace orvel::platform {

// A stream of PCM to the speakers (the default sink), in the format it was opened with.
// Used by the player, by monitoring (hear the recording) and for short sounds.
//
// Thread contract: one producer thread writes; pause/flush/volume/position may be called from
// any thread. No call blocks longer than its stated wait.
class PlaybackStream {
public:
    virtual ~PlaybackStream() = default;

    // Bytes that can be written now without waiting.
    virtual std::size_t writableBytes() = 0;
    // Waits until some bytes are writable, the stream failed, or the timeout passed; returns
    // writableBytes() at that moment.
    virtual std::size_t waitWritable(std::chrono::milliseconds timeout) = 0;
    // Queues the bytes (copied). Writes beyond writableBytes() are accepted and buffered by the
    // server. Returns false when the stream has failed.
    virtual bool write(const std::uint8_t* data, std::size_t bytes) = 0;
    // Waits until everything written has been played (or the timeout passed, or failure).
    virtual bool drain(std::chrono::milliseconds timeout) = 0;
    // Throws away what is queued but not yet played (used when seeking).
    virtual void flush() = 0;
    // Corks (true) or uncorks the stream: pause and resume without losing queued sound.
    virtual void setPaused(bool paused) = 0;
    // Volume in decibels relative to full (0 dB = unchanged; -inf or below -200 mutes).
    virtual void setVolumeDb(double decibels) = 0;
    virtual void setMuted(bool muted) = 0;
    // Microseconds of sound actually played since the stream started or was last flushed,
    // corrected for the server's latency. Never decreases between flushes.
    virtual std::int64_t playedMicroseconds() = 0;
    // True once the stream failed (server gone, sink removed).
    virtual bool failed() const = 0;
};

}  // namespace orvel::platform
