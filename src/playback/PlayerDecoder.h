#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "audio/AudioFormat.h"
#include "platform/PlaybackStream.h"
#include "playback/MediaFile.h"
#include "playback/PcmConverter.h"
#include "playback/PlayerShared.h"

namespace orvel {

// The media player's decode thread: decodes the file, converts it for the speakers and the tap,
// writes to the stream at its pace, fills the tap blocks, and reports the end of the stream once
// it has been heard. It takes its commands from the shared state (PlayerShared) and tells the
// player through Events. Every step waits at most about 50 ms, so that commands (seek, pause,
// stop, quit) take effect promptly.
//
// Thread contract: made and run on the decode thread; the events are called there. The file and
// the stream are the decode thread's until run() returns.
class PlayerDecoder {
public:
    struct Events {
        // A tap block is full (of the file opened as `openId`).
        std::function<void(std::uint64_t openId)> tapReady;
        // The end of the file was heard (decoded as of `generation`).
        std::function<void(std::uint64_t generation)> endReached;
        // The speakers' stream failed.
        std::function<void(std::uint64_t openId)> streamFailed;
    };

    PlayerDecoder(PlayerShared& shared, MediaFile& file, platform::PlaybackStream& stream,
                  const AudioFormat& format, std::uint64_t openId, Events events);

    // Runs until the shared state says quit.
    void run();

private:
    void seek(std::int64_t ms);
    void work();
    void produce();
    void writeSpeakers();
    void streamFailed();
    bool deliverTap();
    void publishTap();
    void finishTap();
    void awaitPlayedOut();

    PlayerShared& m_shared;
    MediaFile& m_file;
    platform::PlaybackStream& m_stream;
    const AudioFormat m_format;
    const std::uint64_t m_openId;
    const Events m_events;
    std::uint64_t m_generation = 0;

    PcmConverter m_speakers;
    std::vector<std::uint8_t> m_speakerPcm;
    std::size_t m_speakerAt = 0;
    std::uint64_t m_written = 0;  // bytes written to the stream since the last flush
    std::unique_ptr<PcmConverter> m_tap;
    std::vector<std::uint8_t> m_tapPcm;
    std::size_t m_tapAt = 0;
    std::size_t m_tapCurrent = 0;
    std::size_t m_tapFill = 0;

    std::uint64_t m_sinceLoop = 0;  // samples decoded since the file (re)started
    bool m_ended = false;           // everything was decoded
    bool m_endPosted = false;
    bool m_idle = false;  // nothing to do until a seek
    std::int64_t m_lastPlayed = -1;
    int m_stalledWaits = 0;
};

}  // namespace orvel
