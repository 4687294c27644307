#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <string>

#include "platform/PlaybackStream.h"
#include "platform/PulseConnection.h"

namespace orvel::platform {

// A playback stream to the default sink of the sound server.
//
// Thread contract: as PlaybackStream; every method takes the connection's lock for its own
// duration (released while waiting), so none may be called on the server's thread.
class PulsePlaybackStream : public PlaybackStream {
public:
    // The sound the server keeps queued: enough to ride over a busy producer, short enough
    // that pause and volume act promptly.
    static constexpr std::chrono::milliseconds queuedSound{300};

    // Opens the stream and waits (bounded) until the server accepts it; nullptr with a reason
    // otherwise.
    static std::unique_ptr<PulsePlaybackStream> open(std::shared_ptr<PulseConnection> connection,
                                                     const AudioFormat& format, std::string* error);
    ~PulsePlaybackStream() override;

    std::size_t writableBytes() override;
    std::size_t waitWritable(std::chrono::milliseconds timeout) override;
    bool write(const std::uint8_t* data, std::size_t bytes) override;
    bool drain(std::chrono::milliseconds timeout) override;
    void flush() override;
    void setPaused(bool paused) override;
    void setVolumeDb(double decibels) override;
    void setMuted(bool muted) override;
    std::int64_t playedMicroseconds() override;
    bool failed() const override;

private:
    PulsePlaybackStream(std::shared_ptr<PulseConnection> connection, const pa_sample_spec& spec);
    static void onState(pa_stream* stream, void* self);
    static void onWritable(pa_stream* stream, std::size_t bytes, void* self);
    static void onFlushTiming(pa_stream* stream, int success, void* self);
    std::size_t writableLocked() const;
    bool usable() const;
    bool hasPlayedOut() const;

    std::shared_ptr<PulseConnection> m_connection;
    pa_sample_spec m_spec;
    pa_stream* m_stream = nullptr;
    std::atomic<bool> m_failed{false};
    // Under the lock: what was written since the start or the last flush, the bytes of an
    // incomplete frame kept for the next write, and the last position reported.
    std::uint64_t m_written = 0;
    // The stream time at which the sound written after the last flush begins (0 before any
    // flush), unknown until the server has answered the question asked with the flush.
    std::int64_t m_baseUsec = 0;
    bool m_baseKnown = true;
    pa_operation* m_baseQuery = nullptr;
    std::array<std::uint8_t, 8> m_partial{};
    std::size_t m_partialBytes = 0;
    std::int64_t m_reported = 0;
    std::chrono::steady_clock::time_point m_timingAsked;
};

}  // namespace orvel::platform
