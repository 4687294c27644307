#include "FakeStream.h"

#include <algorithm>
#include <thread>

namespace orvel::test {

namespace {

using Clock = std::chrono::steady_clock;

class FakeStream : public platform::PlaybackStream {
public:
    explicit FakeStream(std::shared_ptr<FakeSpeakers> speakers) : m_speakers(std::move(speakers)) {}

    std::size_t writableBytes() override {
        std::lock_guard lock(m_speakers->mutex);
        return writableLocked();
    }
    std::size_t waitWritable(std::chrono::milliseconds timeout) override {
        const auto deadline = Clock::now() + timeout;
        for (;;) {
            const std::size_t room = writableBytes();
            if (room > 0 || failed() || Clock::now() >= deadline) {
                return room;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    bool write(const std::uint8_t* data, std::size_t bytes) override {
        std::lock_guard lock(m_speakers->mutex);
        if (m_speakers->fail) {
            return false;
        }
        m_speakers->written.insert(m_speakers->written.end(), data, data + bytes);
        m_speakers->writtenTotal += bytes;
        return true;
    }
    bool drain(std::chrono::milliseconds) override { return !failed(); }
    void flush() override {
        std::lock_guard lock(m_speakers->mutex);
        if (!m_speakers->written.empty()) {
            m_speakers->beforeFlush.swap(m_speakers->written);
        }
        m_speakers->written.clear();
        ++m_speakers->flushes;
        m_playedBefore = 0;
        m_since = Clock::now();
    }
    void setPaused(bool paused) override {
        std::lock_guard lock(m_speakers->mutex);
        if (paused && !m_speakers->paused) {
            m_playedBefore = playedLocked();
        }
        if (!paused && m_speakers->paused) {
            m_since = Clock::now();
        }
        m_speakers->paused = paused;
    }
    void setVolumeDb(double decibels) override {
        std::lock_guard lock(m_speakers->mutex);
        m_speakers->volumes.push_back(decibels);
    }
    void setMuted(bool muted) override {
        std::lock_guard lock(m_speakers->mutex);
        m_speakers->muted = muted;
    }
    std::int64_t playedMicroseconds() override {
        std::lock_guard lock(m_speakers->mutex);
        return bytesToUs(playedLocked());
    }
    bool failed() const override {
        std::lock_guard lock(m_speakers->mutex);
        return m_speakers->fail;
    }

private:
    static constexpr std::size_t kQueueMs = 300;

    std::int64_t bytesToUs(std::uint64_t bytes) const {
        const AudioFormat& f = m_speakers->format;
        return static_cast<std::int64_t>(bytes / static_cast<std::uint64_t>(f.blockAlign())) *
               1000000 / f.sampleRate;
    }
    std::uint64_t playedLocked() const {
        const std::uint64_t written = m_speakers->written.size();
        if (m_speakers->pace == FakeSpeakers::Pace::Instant) {
            return written;
        }
        std::uint64_t played = m_playedBefore;
        if (!m_speakers->paused) {
            const auto us =
                std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - m_since)
                    .count();
            const AudioFormat& f = m_speakers->format;
            played += static_cast<std::uint64_t>(us) * static_cast<std::uint64_t>(f.sampleRate) /
                      1000000 * static_cast<std::uint64_t>(f.blockAlign());
        }
        return std::min(played, written);
    }
    std::size_t writableLocked() const {
        if (m_speakers->fail) {
            return 0;
        }
        if (m_speakers->pace == FakeSpeakers::Pace::Instant) {
            return 1 << 20;
        }
        const std::size_t queue = m_speakers->format.bytesPerSecond() * kQueueMs / 1000;
        const std::uint64_t queued = m_speakers->written.size() - playedLocked();
        return queued >= queue ? 0 : queue - static_cast<std::size_t>(queued);
    }

    std::shared_ptr<FakeSpeakers> m_speakers;
    // Real-time pace: bytes played before the last resume, and when it resumed. A stream that
    // never played keeps its clock stopped until it is resumed.
    std::uint64_t m_playedBefore = 0;
    Clock::time_point m_since = Clock::now();
};

}  // namespace

MediaPlayer::StreamFactory fakeStreams(std::shared_ptr<FakeSpeakers> speakers) {
    return [speakers](const AudioFormat& format,
                      std::string* error) -> std::unique_ptr<platform::PlaybackStream> {
        std::lock_guard lock(speakers->mutex);
        if (speakers->refuse) {
            if (error != nullptr) {
                *error = "no sound server";
            }
            return nullptr;
        }
        speakers->format = format;
        ++speakers->streams;
        speakers->written.clear();
        speakers->paused = false;
        return std::make_unique<FakeStream>(speakers);
    };
}

}  // namespace orvel::test
