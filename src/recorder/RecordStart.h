#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/CaptureEngine.h"
#include "encoders/EncoderSettings.h"

namespace orvel {

// The format the front face has chosen for the next recording.
struct FaceChoice {
    int rateIndex = 7;
    bool stereo = true;
    bool sixteenBits = true;
};

// What a record start hands to the capture engine, decided from the face's choice, the
// encoders' settings and the output path, before anything starts. Pure: the controller acts on
// the result.
struct RecordStart {
    // Ring budgets: the base, and the base with background music.
    static constexpr std::size_t kBaseBudget = 80000;
    static constexpr std::size_t kBackgroundBudget = 160000;

    // Mp3Support when MP3 is asked for and no MP3 encoder is there: nothing is adjusted then.
    StartResult refusal = StartResult::Ok;
    CaptureOptions options;  // format, file name and output format; the ring is set apart
    int mp3KbitPerSecond = 0;
    bool rateRaised = false;        // MP3 below 32000 Hz records at 44100 Hz this time
    bool switchedTo16Bits = false;  // MP3 at 8 bits: the face goes to 16 bits and stays there

    bool ok() const { return refusal == StartResult::Ok; }

    // The output format is the one the front face shows for the path (recordedFormatOf).
    static RecordStart plan(const FaceChoice& choice, const EncoderSettings& encoders,
                            const std::string& path, bool mp3EncoderAvailable);

    // The ring for a recording: the base (80000 bytes, 160000 with background music), or half
    // the available memory when that is more, at most 64 MiB; half the base when less than the
    // base but more than half of it is available; 0 (refused) below that. Memory that cannot be
    // read (0) counts as enough for the base: a machine must not refuse to record because it
    // does not tell.
    static std::size_t memoryBudget(bool background, std::uint64_t availableMemory);

    // "%dKB/S": bytes per second of the choice / 1024.
    static std::string dataRateText(const FaceChoice& choice);
};

}  // namespace orvel
