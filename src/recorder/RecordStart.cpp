#include "recorder/RecordStart.h"

#include "audio/BlockRing.h"
#include "config/FormatTables.h"

namespace orvel {

RecordStart RecordStart::plan(const FaceChoice& choice, const EncoderSettings& encoders,
                              const std::string& path, bool mp3EncoderAvailable) {
    RecordStart start;
    const AudioFormat chosen =
        AudioFormat::fromChoice(choice.rateIndex, choice.stereo, choice.sixteenBits);
    start.options.fileName = path;
    start.options.outputFormat = recordedFormatOf(path);
    start.options.format = chosen;
    if (start.options.outputFormat != OutputFormat::Mp3) {
        return start;
    }
    if (!mp3EncoderAvailable) {
        start.refusal = StartResult::Mp3Support;
        return start;
    }
    const AudioFormat recorded = encoders.mp3RecordingFormat(chosen);
    start.options.format = recorded;
    start.mp3KbitPerSecond = encoders.mp3BitRateKbps();
    start.rateRaised = recorded.sampleRate != chosen.sampleRate;
    start.switchedTo16Bits = recorded.bitsPerSample != chosen.bitsPerSample;
    return start;
}

std::size_t RecordStart::memoryBudget(bool background, std::uint64_t availableMemory) {
    const std::size_t base = background ? kBackgroundBudget : kBaseBudget;
    if (availableMemory == 0) {
        return base;
    }
    return ringCapacity(base, availableMemory);
}

std::string RecordStart::dataRateText(const FaceChoice& choice) {
    const AudioFormat format =
        AudioFormat::fromChoice(choice.rateIndex, choice.stereo, choice.sixteenBits);
    return std::to_string(format.bytesPerSecond() / 1024) + "KB/S";
}

}  // namespace orvel
