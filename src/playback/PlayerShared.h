#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "audio/AudioFormat.h"

namespace orvel {

// Everything the media player (owner thread) and its decode thread share: the commands the
// player gives, the map from stream time to content position, and the tap's blocks. Nothing
// else of either side is touched by the other.
//
// Thread contract: the fields under "under `mutex`" only with `mutex` held; `wake` is notified
// after any of them changes and whenever a tap block is released. `repeat` and each tap block's
// `full` flag may be read and written without the lock, as said with them.
struct PlayerShared {
    static constexpr std::size_t kTapBlockBytes = 40000;

    // One block of tapped PCM. `full` hands it over: the decode thread fills a block that is not
    // full and then sets the flag (release); the owner reads a full block, then clears the flag
    // (release) under `mutex`, so that a reopened file never gets a block of the one before.
    struct TapBlock {
        std::vector<std::uint8_t> data;  // kTapBlockBytes, allocated once
        std::size_t length = 0;          // written before `full` is set
        std::atomic<bool> full{false};
    };
    // Where the content restarts in the stream (a seek, a repeat).
    struct Segment {
        std::int64_t streamUs;   // stream time (since the last flush) where the segment starts
        std::int64_t contentUs;  // content position there
    };

    PlayerShared() {
        for (auto& block : tapBlocks) {
            block.data.resize(kTapBlockBytes);
        }
    }

    mutable std::mutex mutex;
    std::condition_variable wake;

    // Under `mutex`:
    bool quit = false;                 // the decode thread ends
    bool running = false;              // the decode thread may decode and play
    std::optional<std::int64_t> seek;  // a position (ms) to decode from, until it is done
    std::uint64_t generation = 0;      // changes with every seek, stop and open
    std::uint64_t openId = 0;          // changes with every open and close
    std::deque<Segment> segments;      // the segments that may still be heard, oldest first
    bool tapChanged = false;           // tapFormat changed: the decode thread takes it up
    std::optional<AudioFormat> tapFormat;

    // Without the lock: set by the owner, read by the decode thread at the end of the file.
    std::atomic<bool> repeat{false};
    // The tap's blocks, taken in turn by both sides.
    std::array<TapBlock, 3> tapBlocks;
};

}  // namespace orvel
