#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/PulseConnection.h"

namespace orvel::platform {

// A short sound played once on its own stream to the speakers, without anybody waiting for
// it. It lives in a slot of its owner and empties that slot itself when it has been played or
// has failed; replacing the slot's content stops it at once.
//
// Thread contract: created and destroyed with the connection's lock held; its callbacks run on
// the loop thread.
class PulseShortSound {
public:
    using Slot = std::unique_ptr<PulseShortSound>;

    // Starts playing into the slot (replacing what it held). False when the format is not one
    // the recorder uses or the server refuses the stream.
    static bool play(PulseConnection& connection, Slot* slot, const AudioFormat& format,
                     std::vector<std::uint8_t> pcm);
    ~PulseShortSound();
    PulseShortSound(const PulseShortSound&) = delete;
    PulseShortSound& operator=(const PulseShortSound&) = delete;

private:
    PulseShortSound(Slot* slot, std::vector<std::uint8_t> pcm);
    static void onState(pa_stream* stream, void* self);
    static void onWritable(pa_stream* stream, std::size_t bytes, void* self);
    static void onDrained(pa_stream* stream, int success, void* self);
    void feed(std::size_t bytes);
    void finish();

    Slot* m_slot;
    std::vector<std::uint8_t> m_pcm;
    std::size_t m_written = 0;
    pa_stream* m_stream = nullptr;
    pa_operation* m_drainOperation = nullptr;
};

}  // namespace orvel::platform
