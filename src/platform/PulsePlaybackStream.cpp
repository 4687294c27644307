#include "platform/PulsePlaybackStream.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace orvel::platform {

std::unique_ptr<PulsePlaybackStream> PulsePlaybackStream::open(
    std::shared_ptr<PulseConnection> connection, const AudioFormat& format, std::string* error) {
    auto fail = [error](const std::string& reason) {
        if (error != nullptr) {
            *error = reason;
        }
        return nullptr;
    };
    pa_sample_spec spec;
    pa_channel_map map;
    if (!PulseConnection::describe(format, &spec, &map)) {
        return fail("the sound format is not supported");
    }
    if (connection == nullptr || !connection->isReady()) {
        return fail("the sound server is not connected");
    }
    std::unique_ptr<PulsePlaybackStream> stream(new PulsePlaybackStream(connection, spec));
    PulseConnection::Lock lock(*connection);
    stream->m_stream = connection->connectPlayback("Orvel playback", spec, map, queuedSound);
    if (stream->m_stream == nullptr) {
        return fail(connection->lastError());
    }
    pa_stream_set_state_callback(stream->m_stream, &PulsePlaybackStream::onState, stream.get());
    pa_stream_set_write_callback(stream->m_stream, &PulsePlaybackStream::onWritable, stream.get());
    pa_stream* s = stream->m_stream;
    connection->waitFor([s] { return pa_stream_get_state(s) != PA_STREAM_CREATING; },
                        PulseConnection::answerTimeout);
    if (pa_stream_get_state(s) != PA_STREAM_READY) {
        const bool late = pa_stream_get_state(s) == PA_STREAM_CREATING;
        return fail(late ? "the sound server did not answer in time" : connection->lastError());
    }
    return stream;
}

PulsePlaybackStream::PulsePlaybackStream(std::shared_ptr<PulseConnection> connection,
                                         const pa_sample_spec& spec)
    : m_connection(std::move(connection)), m_spec(spec) {}

PulsePlaybackStream::~PulsePlaybackStream() {
    if (m_stream == nullptr) {
        return;
    }
    PulseConnection::Lock lock(*m_connection);
    PulseConnection::cancel(m_baseQuery);
    PulseConnection::close(m_stream);
}

void PulsePlaybackStream::onState(pa_stream* stream, void* self) {
    auto* playback = static_cast<PulsePlaybackStream*>(self);
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        playback->m_failed = true;
    }
    playback->m_connection->signal();
}

void PulsePlaybackStream::onWritable(pa_stream*, std::size_t, void* self) {
    static_cast<PulsePlaybackStream*>(self)->m_connection->signal();
}

bool PulsePlaybackStream::usable() const {
    return !m_failed && pa_stream_get_state(m_stream) == PA_STREAM_READY;
}

std::size_t PulsePlaybackStream::writableLocked() const {
    if (!usable()) {
        return 0;
    }
    const std::size_t bytes = pa_stream_writable_size(m_stream);
    return bytes == static_cast<std::size_t>(-1) ? 0 : bytes;
}

std::size_t PulsePlaybackStream::writableBytes() {
    PulseConnection::Lock lock(*m_connection);
    return writableLocked();
}

std::size_t PulsePlaybackStream::waitWritable(std::chrono::milliseconds timeout) {
    PulseConnection::Lock lock(*m_connection);
    m_connection->waitFor([this] { return m_failed || writableLocked() > 0; }, timeout);
    return writableLocked();
}

bool PulsePlaybackStream::write(const std::uint8_t* data, std::size_t bytes) {
    PulseConnection::Lock lock(*m_connection);
    if (!usable()) {
        return false;
    }
    if (bytes == 0) {
        return true;
    }
    // The server takes whole frames only; the bytes of a split frame wait for the next write.
    const std::size_t frame = pa_frame_size(&m_spec);
    if (m_partialBytes > 0) {
        const std::size_t take = std::min(frame - m_partialBytes, bytes);
        std::memcpy(m_partial.data() + m_partialBytes, data, take);
        m_partialBytes += take;
        data += take;
        bytes -= take;
        if (m_partialBytes < frame) {
            return true;
        }
        if (pa_stream_write(m_stream, m_partial.data(), frame, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            return false;
        }
        m_written += frame;
        m_partialBytes = 0;
    }
    const std::size_t whole = bytes - bytes % frame;
    if (whole > 0) {
        if (pa_stream_write(m_stream, data, whole, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            return false;
        }
        m_written += whole;
    }
    m_partialBytes = bytes - whole;
    std::memcpy(m_partial.data(), data + whole, m_partialBytes);
    return true;
}

bool PulsePlaybackStream::drain(std::chrono::milliseconds timeout) {
    PulseConnection::Lock lock(*m_connection);
    if (!usable()) {
        return false;
    }
    return m_connection->await(pa_stream_drain(m_stream, nullptr, nullptr), timeout) && !m_failed;
}

void PulsePlaybackStream::flush() {
    PulseConnection::Lock lock(*m_connection);
    m_written = 0;
    m_partialBytes = 0;
    m_reported = 0;
    if (!usable()) {
        return;
    }
    // After a flush the server appends new sound at the point it had read up to, while what
    // the sink already holds still plays: the position restarts where that point is heard.
    // The timing question goes out right behind the flush, so its answer names that point.
    PulseConnection::detach(pa_stream_flush(m_stream, nullptr, nullptr));
    PulseConnection::cancel(m_baseQuery);
    m_baseKnown = false;
    m_baseQuery = pa_stream_update_timing_info(m_stream, &PulsePlaybackStream::onFlushTiming, this);
    if (m_baseQuery == nullptr) {
        m_baseKnown = true;
        m_baseUsec = 0;
    }
}

void PulsePlaybackStream::onFlushTiming(pa_stream* stream, int success, void* self) {
    auto* playback = static_cast<PulsePlaybackStream*>(self);
    pa_operation_unref(playback->m_baseQuery);
    playback->m_baseQuery = nullptr;
    const pa_timing_info* timing = pa_stream_get_timing_info(stream);
    std::int64_t base = 0;
    if (success != 0 && timing != nullptr && timing->write_index_corrupt == 0) {
        // The answer counts what was written since the question was asked.
        base = std::max<std::int64_t>(
            0, timing->write_index - static_cast<std::int64_t>(playback->m_written));
    } else {
        pa_usec_t now = 0;
        base = pa_stream_get_time(stream, &now) == 0
                   ? static_cast<std::int64_t>(pa_usec_to_bytes(now, &playback->m_spec))
                   : 0;
    }
    playback->m_baseUsec = static_cast<std::int64_t>(
        pa_bytes_to_usec(static_cast<std::uint64_t>(base), &playback->m_spec));
    playback->m_baseKnown = true;
}

void PulsePlaybackStream::setPaused(bool paused) {
    PulseConnection::Lock lock(*m_connection);
    if (usable()) {
        PulseConnection::detach(pa_stream_cork(m_stream, paused ? 1 : 0, nullptr, nullptr));
    }
}

void PulsePlaybackStream::setVolumeDb(double decibels) {
    pa_volume_t level = PA_VOLUME_MUTED;
    if (!std::isnan(decibels) && decibels > -200.0) {
        level = pa_sw_volume_from_dB(std::min(decibels, 0.0));
    }
    PulseConnection::Lock lock(*m_connection);
    if (usable()) {
        pa_cvolume volume;
        pa_cvolume_set(&volume, m_spec.channels, level);
        PulseConnection::detach(pa_context_set_sink_input_volume(
            m_connection->context(), pa_stream_get_index(m_stream), &volume, nullptr, nullptr));
    }
}

void PulsePlaybackStream::setMuted(bool muted) {
    PulseConnection::Lock lock(*m_connection);
    if (usable()) {
        PulseConnection::detach(pa_context_set_sink_input_mute(m_connection->context(),
                                                               pa_stream_get_index(m_stream),
                                                               muted ? 1 : 0, nullptr, nullptr));
    }
}

std::int64_t PulsePlaybackStream::playedMicroseconds() {
    PulseConnection::Lock lock(*m_connection);
    const auto written = static_cast<std::int64_t>(pa_bytes_to_usec(m_written, &m_spec));
    std::int64_t played = m_reported;
    pa_usec_t now = 0;
    // The stream time is the position being heard (the sink's delay taken off). Until the
    // server has fresh timing (right after the start or a flush) the last position stands.
    if (usable() && m_baseKnown && pa_stream_get_time(m_stream, &now) == 0) {
        played = static_cast<std::int64_t>(now) - m_baseUsec;
        if (hasPlayedOut()) {
            played = written;
        }
    }
    m_reported = std::clamp(played, m_reported, std::max(m_reported, written));
    // The server's own timing updates grow rare; a position asked for often stays fresh.
    const auto clock = std::chrono::steady_clock::now();
    if (usable() && clock - m_timingAsked > std::chrono::milliseconds(200)) {
        m_timingAsked = clock;
        PulseConnection::detach(pa_stream_update_timing_info(m_stream, nullptr, nullptr));
    }
    return m_reported;
}

bool PulsePlaybackStream::hasPlayedOut() const {
    // Ran dry (everything written was taken) and the sink has since played silence for longer
    // than its delay: the last sound was heard. The stream time alone would stay short of
    // the end by the sink's delay.
    const pa_timing_info* timing = pa_stream_get_timing_info(m_stream);
    return timing != nullptr && timing->playing == 0 && timing->read_index_corrupt == 0 &&
           timing->write_index_corrupt == 0 && timing->write_index > 0 &&
           timing->read_index >= timing->write_index &&
           timing->since_underrun >=
               static_cast<std::int64_t>(pa_usec_to_bytes(timing->sink_usec, &m_spec));
}

bool PulsePlaybackStream::failed() const {
    return m_failed;
}

}  // namespace orvel::platform
