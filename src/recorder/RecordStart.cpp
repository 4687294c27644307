#include "recorder/RecordStart.h"

#include <cctype>

#include "audio/BlockRing.h"
#include "config/FormatTables.h"

namespace orvel {

RecordStart RecordStart::plan(const FaceChoice& choice, const EncoderSettings& encoders,
                              const std::string& path, bool mp3EncoderAvailable) {
    RecordStart start;
    const AudioFormat chosen =
        AudioFormat::fromChoice(choice.rateIndex, choice.stereo, choice.sixteenBits);
    start.options.fileName = path;
    start.options.outputFormat = outputFormatOf(path);
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

OutputFormat RecordStart::outputFormatOf(std::string_view path) {
    if (path.size() < 3) {
        return OutputFormat::Wav;
    }
    std::string last(path.substr(path.size() - 3));
    for (char& c : last) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (last == "mp3") {
        return OutputFormat::Mp3;
    }
    if (last == "wma") {
        return OutputFormat::Wma;
    }
    return OutputFormat::Wav;
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
