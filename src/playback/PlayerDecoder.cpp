#include "playback/PlayerDecoder.h"

#include <QLoggingCategory>
#include <QString>
#include <algorithm>
#include <cstring>
#include <mutex>

Q_DECLARE_LOGGING_CATEGORY(lcPlayer)

namespace orvel {

namespace {

using namespace std::chrono_literals;

std::int64_t bytesToUs(std::uint64_t bytes, const AudioFormat& format) {
    const auto frames =
        static_cast<std::int64_t>(bytes / static_cast<std::uint64_t>(format.blockAlign()));
    return frames * 1000000 / format.sampleRate;
}

}  // namespace

PlayerDecoder::PlayerDecoder(PlayerShared& shared, MediaFile& file,
                             platform::PlaybackStream& stream, const AudioFormat& format,
                             std::uint64_t openId, Events events)
    : m_shared(shared),
      m_file(file),
      m_stream(stream),
      m_format(format),
      m_openId(openId),
      m_events(std::move(events)),
      m_speakers(format) {}

void PlayerDecoder::run() {
    std::unique_lock lock(m_shared.mutex);
    for (;;) {
        m_shared.wake.wait(lock, [this] {
            return m_shared.quit || m_shared.seek || m_shared.tapChanged ||
                   (m_shared.running && !m_idle);
        });
        if (m_shared.quit) {
            return;
        }
        if (m_shared.tapChanged) {
            m_shared.tapChanged = false;
            m_tap =
                m_shared.tapFormat ? std::make_unique<PcmConverter>(*m_shared.tapFormat) : nullptr;
            m_tapPcm.clear();
            m_tapAt = 0;
            m_tapFill = 0;
            continue;
        }
        if (m_shared.seek) {
            const std::int64_t target = *m_shared.seek;
            const std::uint64_t generation = m_shared.generation;
            lock.unlock();
            seek(target);
            lock.lock();
            m_generation = m_shared.generation;
            if (generation == m_shared.generation) {
                m_shared.seek.reset();
                m_shared.segments.assign(1, PlayerShared::Segment{0, target * 1000});
            }
            continue;
        }
        m_generation = m_shared.generation;
        lock.unlock();
        work();
        lock.lock();
    }
}

void PlayerDecoder::seek(std::int64_t ms) {
    m_stream.flush();
    m_written = 0;
    m_speakerPcm.clear();
    m_speakerAt = 0;
    m_speakers.reset();
    if (m_tap) {
        m_tap->reset();
    }
    m_tapPcm.clear();
    m_tapAt = 0;
    m_ended = !m_file.seek(ms);
    if (m_ended) {
        qCWarning(lcPlayer) << "cannot seek:" << QString::fromStdString(m_file.errorDetail());
    }
    m_sinceLoop = 0;
    m_endPosted = false;
    m_idle = false;
    m_lastPlayed = -1;
    m_stalledWaits = 0;
}

void PlayerDecoder::work() {
    if (!deliverTap()) {
        return;
    }
    if (m_speakerAt >= m_speakerPcm.size() && !m_ended) {
        m_speakerPcm.clear();
        m_speakerAt = 0;
        produce();
        return;
    }
    if (m_speakerAt < m_speakerPcm.size()) {
        writeSpeakers();
        return;
    }
    if (m_ended && !m_endPosted) {
        finishTap();
        awaitPlayedOut();
    }
}

void PlayerDecoder::produce() {
    DecodedAudio run;
    const MediaFile::Read read = m_file.next(run);
    if (read == MediaFile::Read::Audio) {
        m_speakers.convert(run, m_speakerPcm);
        if (m_tap) {
            m_tap->convert(run, m_tapPcm);
        }
        m_sinceLoop += static_cast<std::uint64_t>(run.samples);
        return;
    }
    if (read == MediaFile::Read::Error) {
        qCWarning(lcPlayer) << "the file is damaged; playing ends here:"
                            << QString::fromStdString(m_file.errorDetail());
    }
    m_speakers.flush(m_speakerPcm);
    if (m_tap) {
        m_tap->flush(m_tapPcm);
    }
    // With repeat the content starts again right where the sound produced so far ends.
    if (m_shared.repeat && read == MediaFile::Read::End && m_sinceLoop > 0 && m_file.seek(0)) {
        const std::int64_t at =
            bytesToUs(m_written + (m_speakerPcm.size() - m_speakerAt), m_format);
        m_speakers.reset();
        if (m_tap) {
            m_tap->reset();
        }
        m_sinceLoop = 0;
        std::lock_guard lock(m_shared.mutex);
        auto& segments = m_shared.segments;
        segments.push_back(PlayerShared::Segment{at, 0});
        // Only the segments that may still be heard are kept.
        const std::int64_t heard = m_lastPlayed;
        while (segments.size() > 2 && segments[1].streamUs <= heard) {
            segments.pop_front();
        }
        return;
    }
    m_ended = true;
}

void PlayerDecoder::writeSpeakers() {
    const std::size_t room = m_stream.waitWritable(50ms);
    if (m_stream.failed()) {
        streamFailed();
        return;
    }
    const std::size_t count = std::min(room, m_speakerPcm.size() - m_speakerAt);
    if (count == 0) {
        return;
    }
    if (!m_stream.write(m_speakerPcm.data() + m_speakerAt, count)) {
        streamFailed();
        return;
    }
    m_speakerAt += count;
    m_written += count;
    if (m_speakerAt == m_speakerPcm.size()) {
        m_speakerPcm.clear();
        m_speakerAt = 0;
    }
    m_lastPlayed = m_stream.playedMicroseconds();
}

void PlayerDecoder::streamFailed() {
    m_idle = true;
    m_events.streamFailed(m_openId);
}

// Moves converted tap PCM into the blocks. False when a block the owner has not handled yet
// is in the way and a command is waiting; the data stays for the next step.
bool PlayerDecoder::deliverTap() {
    while (m_tapAt < m_tapPcm.size()) {
        PlayerShared::TapBlock& block = m_shared.tapBlocks[m_tapCurrent];
        if (block.full.load(std::memory_order_acquire)) {
            std::unique_lock lock(m_shared.mutex);
            const bool freed = m_shared.wake.wait_for(lock, 50ms, [&] {
                return !block.full.load(std::memory_order_acquire) || m_shared.quit ||
                       m_shared.seek || !m_shared.running || m_shared.tapChanged;
            });
            if (!freed || block.full.load(std::memory_order_acquire)) {
                return false;
            }
            continue;
        }
        const std::size_t count =
            std::min(PlayerShared::kTapBlockBytes - m_tapFill, m_tapPcm.size() - m_tapAt);
        std::memcpy(block.data.data() + m_tapFill, m_tapPcm.data() + m_tapAt, count);
        m_tapFill += count;
        m_tapAt += count;
        if (m_tapFill == PlayerShared::kTapBlockBytes) {
            publishTap();
        }
    }
    m_tapPcm.clear();
    m_tapAt = 0;
    return true;
}

void PlayerDecoder::publishTap() {
    PlayerShared::TapBlock& block = m_shared.tapBlocks[m_tapCurrent];
    block.length = m_tapFill;
    block.full.store(true, std::memory_order_release);
    m_tapCurrent = (m_tapCurrent + 1) % m_shared.tapBlocks.size();
    m_tapFill = 0;
    m_events.tapReady(m_openId);
}

// At the end of the file the partly filled block is handed over too.
void PlayerDecoder::finishTap() {
    if (m_tapFill == 0) {
        return;
    }
    PlayerShared::TapBlock& block = m_shared.tapBlocks[m_tapCurrent];
    if (!block.full.load(std::memory_order_acquire)) {
        publishTap();
    }
}

void PlayerDecoder::awaitPlayedOut() {
    const std::int64_t written = bytesToUs(m_written, m_format);
    const std::int64_t played = m_stream.playedMicroseconds();
    // A stream whose position stopped moving short of the end (a stalled sink) would keep
    // the end from ever being reported: about two seconds without progress end it.
    m_stalledWaits = played == m_lastPlayed ? m_stalledWaits + 1 : 0;
    m_lastPlayed = played;
    if (played >= written || m_stream.failed() || m_stalledWaits > 200) {
        m_endPosted = true;
        m_idle = true;
        m_events.endReached(m_generation);
        return;
    }
    std::unique_lock lock(m_shared.mutex);
    m_shared.wake.wait_for(lock, 10ms,
                           [this] { return m_shared.quit || m_shared.seek || !m_shared.running; });
}

}  // namespace orvel
