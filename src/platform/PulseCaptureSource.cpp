#include "platform/PulseCaptureSource.h"

#include <algorithm>
#include <cstring>

namespace orvel::platform {

PulseCaptureSource::PulseCaptureSource(std::shared_ptr<PulseConnection> connection,
                                       std::string sourceName)
    : m_connection(std::move(connection)), m_sourceName(std::move(sourceName)) {}

PulseCaptureSource::~PulseCaptureSource() {
    PulseConnection::Lock lock(*m_connection);
    m_consumer = nullptr;
    closeStream();
}

bool PulseCaptureSource::start(const AudioFormat& format, CaptureConsumer* consumer,
                               std::string* error) {
    auto fail = [error](const std::string& reason) {
        if (error != nullptr) {
            *error = reason;
        }
        return false;
    };
    if (consumer == nullptr) {
        return fail("no receiver for the captured sound");
    }
    pa_sample_spec spec;
    pa_channel_map map;
    if (!PulseConnection::describe(format, &spec, &map)) {
        return fail("the recording format is not supported");
    }
    PulseConnection::Lock lock(*m_connection);
    if (m_stream != nullptr) {
        return fail("the capture is already running");
    }
    if (!m_connection->isReady()) {
        return fail("the sound server is not connected");
    }
    m_spec = spec;
    m_map = map;
    m_stream = pa_stream_new(m_connection->context(), "Orvel recording", &m_spec, &m_map);
    if (m_stream == nullptr) {
        return fail(m_connection->lastError());
    }
    m_endDetail.reserve(256);
    m_delivered = 0;
    m_stopping = false;
    // The consumer is attached once the stream runs: a refused start is no end of a capture.
    m_consumer = nullptr;
    pa_stream_set_state_callback(m_stream, &PulseCaptureSource::onRecordState, this);
    pa_stream_set_read_callback(m_stream, &PulseCaptureSource::onReadable, this);

    // Without latency adjustment the server delivers in bursts of seconds; a 100 ms fragment
    // gives steady pieces. A recording stays on its line: when the source goes away the stream
    // ends instead of moving to another source.
    pa_buffer_attr attr;
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(-1);
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(-1);
    attr.fragsize = PulseConnection::bytesFor(deliveryPeriod, m_spec);
    const auto flags =
        static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
    if (pa_stream_connect_record(m_stream, m_sourceName.c_str(), &attr, flags) < 0) {
        const std::string reason = m_connection->lastError();
        closeStream();
        return fail(reason);
    }
    pa_stream* s = m_stream;
    m_connection->waitFor([s] { return pa_stream_get_state(s) != PA_STREAM_CREATING; },
                          PulseConnection::answerTimeout);
    const pa_stream_state_t state = pa_stream_get_state(s);
    if (state != PA_STREAM_READY) {
        const std::string reason =
            state == PA_STREAM_CREATING
                ? std::string("the sound server did not answer in time")
                : "cannot record from \"" + m_sourceName + "\": " + m_connection->lastError();
        closeStream();
        return fail(reason);
    }
    m_consumer = consumer;
    if (m_monitorWanted) {
        openMonitor();
    }
    return true;
}

void PulseCaptureSource::stop() {
    PulseConnection::Lock lock(*m_connection);
    if (m_stream == nullptr) {
        return;
    }
    if (m_consumer != nullptr && pa_stream_get_state(m_stream) == PA_STREAM_READY) {
        // The sound captured up to now is still in the source's buffer and on its way: keep
        // receiving until the stream has delivered up to this moment. A recorder that just
        // disconnects loses the last fragment.
        const auto started = std::chrono::steady_clock::now();
        m_stopping = true;
        const std::uint64_t target = stopTarget();
        const auto left = stopWait - std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - started);
        const bool reached = m_connection->waitFor(
            [this, target] { return m_consumer == nullptr || m_delivered >= target; },
            std::max(left, std::chrono::milliseconds(0)));
        if (!reached) {
            qCWarning(lcPulse, "capture from %s stopped %llu bytes short of the stop moment",
                      m_sourceName.c_str(),
                      static_cast<unsigned long long>(target - std::min(target, m_delivered)));
        }
        if (m_consumer != nullptr) {
            deliverReadable();
        }
    }
    m_consumer = nullptr;
    closeStream();
}

std::uint64_t PulseCaptureSource::stopTarget() {
    // The stream's time is the capture time of the newest sample, the sound still in the
    // source's buffer included: that many bytes are due.
    const pa_usec_t waitStart = pa_rtclock_now();
    const bool fresh =
        m_connection->await(pa_stream_update_timing_info(m_stream, nullptr, nullptr), stopWait / 2);
    pa_usec_t now = 0;
    if (fresh && pa_stream_get_time(m_stream, &now) == 0) {
        // That time is the moment the answer arrived; what was captured since the question
        // is not owed.
        const pa_usec_t asked = pa_rtclock_now() - waitStart;
        now -= std::min(now, asked);
        const std::uint64_t frame = pa_frame_size(&m_spec);
        return pa_usec_to_bytes(now, &m_spec) / frame * frame;
    }
    // Without timing: what one more delivery brings.
    return m_delivered + PulseConnection::bytesFor(deliveryPeriod, m_spec);
}

void PulseCaptureSource::setMonitor(bool on) {
    PulseConnection::Lock lock(*m_connection);
    m_monitorWanted = on;
    if (on && m_stream != nullptr && m_monitor == nullptr) {
        openMonitor();
    } else if (!on) {
        closeMonitor();
    }
}

void PulseCaptureSource::onRecordState(pa_stream* stream, void* self) {
    auto* source = static_cast<PulseCaptureSource*>(self);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    // start() waits for the stream to leave its creating state, stop() for its end.
    source->m_connection->signal();
    if (PA_STREAM_IS_GOOD(state)) {
        return;
    }
    if (source->m_consumer != nullptr) {
        CaptureConsumer* consumer = source->m_consumer;
        source->m_consumer = nullptr;
        pa_context* context = pa_stream_get_context(stream);
        const int error = pa_context_errno(context);
        CaptureEnd reason = CaptureEnd::Failed;
        if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) {
            reason = CaptureEnd::ServerLost;
        } else if (error == PA_ERR_KILLED || error == PA_ERR_NOENTITY ||
                   state == PA_STREAM_TERMINATED) {
            reason = CaptureEnd::SourceLost;
        }
        // Assigning within the reserved capacity does not allocate.
        const char* text = pa_strerror(error);
        source->m_endDetail.assign(text,
                                   std::min(std::strlen(text), source->m_endDetail.capacity()));
        consumer->onCaptureEnded(reason, source->m_endDetail);
    }
}

void PulseCaptureSource::onReadable(pa_stream*, std::size_t, void* self) {
    auto* source = static_cast<PulseCaptureSource*>(self);
    source->deliverReadable();
    if (source->m_stopping) {
        source->m_connection->signal();
    }
}

void PulseCaptureSource::deliverReadable() {
    // Runs on the server's thread: no waiting, no allocation, nothing the owner thread locks.
    const bool monitored = monitorHasRoom();
    while (m_consumer != nullptr) {
        const std::size_t readable = pa_stream_readable_size(m_stream);
        if (readable == 0 || readable == static_cast<std::size_t>(-1)) {
            return;
        }
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (pa_stream_peek(m_stream, &data, &bytes) < 0 || bytes == 0) {
            return;
        }
        const auto* pcm = static_cast<const std::uint8_t*>(data);
        m_consumer->onCapturedData(pcm, bytes);
        m_delivered += bytes;
        if (monitored && pcm != nullptr) {
            feedMonitor(pcm, bytes);
        }
        pa_stream_drop(m_stream);
    }
}

bool PulseCaptureSource::monitorHasRoom() const {
    // Hearing the recording is best effort and never holds the recording up. A delivery goes
    // to the speakers whole, and is skipped whole only when the sound queued for them has grown
    // well beyond its intended delay (the line's clock running ahead of the speakers'). The
    // server's requests for more come in bursts and say little about the queue; its latency
    // (interpolated, without asking the server) does.
    if (m_monitor == nullptr || pa_stream_get_state(m_monitor) != PA_STREAM_READY) {
        return false;
    }
    pa_usec_t queued = 0;
    int negative = 0;
    if (pa_stream_get_latency(m_monitor, &queued, &negative) < 0 || negative != 0) {
        return true;
    }
    const auto limit = std::chrono::microseconds(monitorLatency + 2 * deliveryPeriod);
    return queued < static_cast<pa_usec_t>(limit.count());
}

void PulseCaptureSource::feedMonitor(const std::uint8_t* data, std::size_t bytes) {
    const std::size_t frame = pa_frame_size(&m_spec);
    std::size_t left = bytes / frame * frame;
    while (left > 0) {
        // Writing into the server's own buffer spares an allocation per piece.
        void* buffer = nullptr;
        std::size_t size = left;
        if (pa_stream_begin_write(m_monitor, &buffer, &size) < 0 || buffer == nullptr) {
            return;
        }
        size = std::min(size, left) / frame * frame;
        if (size == 0) {
            pa_stream_cancel_write(m_monitor);
            return;
        }
        std::memcpy(buffer, data, size);
        if (pa_stream_write(m_monitor, buffer, size, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            return;
        }
        data += size;
        left -= size;
    }
}

void PulseCaptureSource::onMonitorState(pa_stream* stream, void* self) {
    auto* source = static_cast<PulseCaptureSource*>(self);
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        // The speakers went away; the recording goes on unheard.
        qCWarning(lcPulse, "monitoring of %s ended", source->m_sourceName.c_str());
    }
}

void PulseCaptureSource::openMonitor() {
    m_monitor = m_connection->connectPlayback("Orvel monitor", m_spec, m_map, monitorLatency,
                                              monitorLatency / 2);
    if (m_monitor == nullptr) {
        qCWarning(lcPulse, "monitoring of %s refused: %s", m_sourceName.c_str(),
                  m_connection->lastError().c_str());
        return;
    }
    pa_stream_set_state_callback(m_monitor, &PulseCaptureSource::onMonitorState, this);
}

void PulseCaptureSource::closeMonitor() {
    PulseConnection::close(m_monitor);
}

void PulseCaptureSource::closeStream() {
    closeMonitor();
    m_stopping = false;
    PulseConnection::close(m_stream);
}

}  // namespace orvel::platform
