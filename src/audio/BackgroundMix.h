#pragma once

#include <cstddef>
#include <cstdint>

namespace orvel {

// Background music mixed into a recording by the writer thread, chunk by chunk: each chunk of
// the recording with as many bytes of background (silence where the background has nothing).
//
// Thread contract: mix is called on the writer thread only, while a run uses the object; it
// must not change during the run.
class BackgroundMix {
public:
    virtual ~BackgroundMix() = default;
    // Mixes `samples` 16-bit samples (interleaved frames of `channels` channels) of the
    // recording and of the background into `out`.
    virtual void mix(const std::int16_t* recording, const std::int16_t* background,
                     std::int16_t* out, std::size_t samples, int channels) const = 0;
};

}  // namespace orvel
