#include "platform/PulseConnection.h"

Q_LOGGING_CATEGORY(lcPulse, "orvel.platform.pulse")

namespace orvel::platform {

std::shared_ptr<PulseConnection> PulseConnection::open(const std::string& clientName,
                                                       std::string* error) {
    auto fail = [error](const std::string& reason) {
        if (error != nullptr) {
            *error = reason;
        }
        qCWarning(lcPulse, "sound server: %s", reason.c_str());
        return nullptr;
    };
    std::shared_ptr<PulseConnection> connection(new PulseConnection);
    connection->m_loop = pa_threaded_mainloop_new();
    if (connection->m_loop == nullptr) {
        return fail("the sound server's main loop could not be created");
    }
    pa_threaded_mainloop_set_name(connection->m_loop, "orvel-sound");
    connection->m_context =
        pa_context_new(pa_threaded_mainloop_get_api(connection->m_loop), clientName.c_str());
    if (connection->m_context == nullptr) {
        return fail("the sound server's context could not be created");
    }
    pa_context_set_state_callback(connection->m_context, &PulseConnection::onContextState,
                                  connection.get());
    if (pa_threaded_mainloop_start(connection->m_loop) < 0) {
        return fail("the sound server's thread could not be started");
    }
    Lock lock(*connection);
    // A null server name lets the library follow PULSE_SERVER and the user's configuration.
    if (pa_context_connect(connection->m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        return fail(connection->lastError());
    }
    PulseConnection& c = *connection;
    const bool settled = c.waitFor(
        [&c] {
            const pa_context_state_t state = pa_context_get_state(c.m_context);
            return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
        },
        connectTimeout);
    if (!settled) {
        return fail("the sound server did not answer in time");
    }
    if (pa_context_get_state(c.m_context) != PA_CONTEXT_READY) {
        return fail(c.lastError());
    }
    return connection;
}

PulseConnection::~PulseConnection() {
    if (m_loop == nullptr) {
        return;
    }
    if (m_context != nullptr) {
        {
            Lock lock(*this);
            m_lostHandler = nullptr;
            pa_context_set_state_callback(m_context, nullptr, nullptr);
            pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
            pa_context_disconnect(m_context);
        }
    }
    // Stopping joins the loop's thread; the context is freed only after that.
    pa_threaded_mainloop_stop(m_loop);
    if (m_context != nullptr) {
        pa_context_unref(m_context);
    }
    pa_threaded_mainloop_free(m_loop);
}

PulseConnection::Lock::Lock(const PulseConnection& connection) : m_loop(connection.m_loop) {
    pa_threaded_mainloop_lock(m_loop);
}

PulseConnection::Lock::~Lock() {
    pa_threaded_mainloop_unlock(m_loop);
}

std::string PulseConnection::lastError() const {
    return pa_strerror(pa_context_errno(m_context));
}

bool PulseConnection::await(pa_operation* operation, std::chrono::milliseconds timeout) {
    if (operation == nullptr) {
        return false;
    }
    pa_operation_set_state_callback(
        operation, [](pa_operation*, void* self) { static_cast<PulseConnection*>(self)->signal(); },
        this);
    const bool finished = waitFor(
        [operation] { return pa_operation_get_state(operation) != PA_OPERATION_RUNNING; }, timeout);
    if (!finished) {
        qCWarning(lcPulse, "sound server: no answer within %lld ms",
                  static_cast<long long>(timeout.count()));
        pa_operation_cancel(operation);
    }
    const bool done = pa_operation_get_state(operation) == PA_OPERATION_DONE;
    pa_operation_set_state_callback(operation, nullptr, nullptr);
    pa_operation_unref(operation);
    return done;
}

void PulseConnection::detach(pa_operation* operation) {
    if (operation != nullptr) {
        pa_operation_unref(operation);
    }
}

void PulseConnection::cancel(pa_operation*& operation) {
    if (operation != nullptr) {
        pa_operation_cancel(operation);
        pa_operation_unref(operation);
        operation = nullptr;
    }
}

void PulseConnection::close(pa_stream*& stream) {
    if (stream == nullptr) {
        return;
    }
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_read_callback(stream, nullptr, nullptr);
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        pa_stream_disconnect(stream);
    }
    pa_stream_unref(stream);
    stream = nullptr;
}

void PulseConnection::onContextState(pa_context* context, void* self) {
    auto* connection = static_cast<PulseConnection*>(self);
    const pa_context_state_t state = pa_context_get_state(context);
    connection->m_ready = state == PA_CONTEXT_READY;
    if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) {
        if (!connection->m_lost.exchange(true)) {
            qCWarning(lcPulse, "sound server: connection lost (%s)",
                      pa_strerror(pa_context_errno(context)));
            if (connection->m_lostHandler) {
                connection->m_lostHandler();
            }
        }
    }
    connection->signal();
}

bool PulseConnection::describe(const AudioFormat& format, pa_sample_spec* spec,
                               pa_channel_map* map) {
    if ((format.channels != 1 && format.channels != 2) ||
        (format.bitsPerSample != 8 && format.bitsPerSample != 16) || format.sampleRate <= 0 ||
        static_cast<std::uint32_t>(format.sampleRate) > PA_RATE_MAX) {
        return false;
    }
    spec->format = format.bitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
    spec->channels = static_cast<std::uint8_t>(format.channels);
    spec->rate = static_cast<std::uint32_t>(format.sampleRate);
    return pa_sample_spec_valid(spec) != 0 &&
           pa_channel_map_init_auto(map, spec->channels, PA_CHANNEL_MAP_DEFAULT) != nullptr;
}

pa_stream* PulseConnection::connectPlayback(const char* name, const pa_sample_spec& spec,
                                            const pa_channel_map& map,
                                            std::chrono::milliseconds latency,
                                            std::chrono::milliseconds startAfter) {
    pa_stream* stream = pa_stream_new(m_context, name, &spec, &map);
    if (stream == nullptr) {
        return nullptr;
    }
    pa_buffer_attr attr;
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = latency.count() > 0 ? bytesFor(latency, spec) : static_cast<std::uint32_t>(-1);
    attr.prebuf =
        startAfter.count() > 0 ? bytesFor(startAfter, spec) : static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(-1);
    const auto flags = static_cast<pa_stream_flags_t>(
        PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
        (latency.count() > 0 ? PA_STREAM_ADJUST_LATENCY : PA_STREAM_NOFLAGS));
    if (pa_stream_connect_playback(stream, nullptr, &attr, flags, nullptr, nullptr) < 0) {
        pa_stream_unref(stream);
        return nullptr;
    }
    return stream;
}

std::uint32_t PulseConnection::bytesFor(std::chrono::microseconds duration,
                                        const pa_sample_spec& spec) {
    return static_cast<std::uint32_t>(
        pa_usec_to_bytes(static_cast<pa_usec_t>(duration.count()), &spec));
}

PulseConnection::WakeTimer::WakeTimer(const PulseConnection& connection,
                                      std::chrono::milliseconds timeout)
    : m_connection(connection), m_deadline(std::chrono::steady_clock::now() + timeout) {
    const auto usec = std::chrono::duration_cast<std::chrono::microseconds>(timeout).count();
    m_event =
        pa_context_rttime_new(connection.m_context, pa_rtclock_now() + static_cast<pa_usec_t>(usec),
                              &WakeTimer::onTime, this);
}

PulseConnection::WakeTimer::~WakeTimer() {
    if (m_event != nullptr) {
        pa_threaded_mainloop_get_api(m_connection.m_loop)->time_free(m_event);
    }
}

bool PulseConnection::WakeTimer::expired() const {
    return m_fired || std::chrono::steady_clock::now() >= m_deadline;
}

void PulseConnection::WakeTimer::onTime(pa_mainloop_api*, pa_time_event*, const struct timeval*,
                                        void* self) {
    auto* timer = static_cast<WakeTimer*>(self);
    timer->m_fired = true;
    timer->m_connection.signal();
}

}  // namespace orvel::platform
