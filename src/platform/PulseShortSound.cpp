#include "platform/PulseShortSound.h"

#include <algorithm>

namespace orvel::platform {

bool PulseShortSound::play(PulseConnection& connection, Slot* slot, const AudioFormat& format,
                           std::vector<std::uint8_t> pcm) {
    pa_sample_spec spec;
    pa_channel_map map;
    if (!PulseConnection::describe(format, &spec, &map) || !connection.isReady()) {
        return false;
    }
    pcm.resize(pcm.size() - pcm.size() % pa_frame_size(&spec));
    if (pcm.empty()) {
        slot->reset();
        return true;
    }
    std::unique_ptr<PulseShortSound> sound(new PulseShortSound(slot, std::move(pcm)));
    sound->m_stream =
        connection.connectPlayback("Orvel sound", spec, map, std::chrono::milliseconds(0));
    if (sound->m_stream == nullptr) {
        return false;
    }
    // No callback runs before the lock is released.
    pa_stream_set_state_callback(sound->m_stream, &PulseShortSound::onState, sound.get());
    pa_stream_set_write_callback(sound->m_stream, &PulseShortSound::onWritable, sound.get());
    // Like the system's own sound call, a new sound ends the one still playing.
    *slot = std::move(sound);
    return true;
}

PulseShortSound::PulseShortSound(Slot* slot, std::vector<std::uint8_t> pcm)
    : m_slot(slot), m_pcm(std::move(pcm)) {}

PulseShortSound::~PulseShortSound() {
    PulseConnection::cancel(m_drainOperation);
    PulseConnection::close(m_stream);
}

void PulseShortSound::onState(pa_stream* stream, void* self) {
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        static_cast<PulseShortSound*>(self)->finish();
    }
}

void PulseShortSound::onWritable(pa_stream*, std::size_t bytes, void* self) {
    static_cast<PulseShortSound*>(self)->feed(bytes);
}

void PulseShortSound::feed(std::size_t bytes) {
    const std::size_t count = std::min(bytes, m_pcm.size() - m_written);
    if (count > 0) {
        if (pa_stream_write(m_stream, m_pcm.data() + m_written, count, nullptr, 0,
                            PA_SEEK_RELATIVE) < 0) {
            finish();
            return;
        }
        m_written += count;
    }
    if (m_written == m_pcm.size() && m_drainOperation == nullptr) {
        // Draining also starts a sound shorter than the server's prebuffer.
        m_drainOperation = pa_stream_drain(m_stream, &PulseShortSound::onDrained, this);
        if (m_drainOperation == nullptr) {
            finish();
        }
    }
}

void PulseShortSound::onDrained(pa_stream*, int, void* self) {
    auto* sound = static_cast<PulseShortSound*>(self);
    pa_operation_unref(sound->m_drainOperation);
    sound->m_drainOperation = nullptr;
    sound->finish();
}

void PulseShortSound::finish() {
    // Emptying the slot destroys this object: nothing may follow.
    if (m_slot->get() == this) {
        m_slot->reset();
    }
}

}  // namespace orvel::platform
