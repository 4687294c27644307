#pragma once

#include <array>
#include <optional>
#include <string_view>

// The recording formats the recorder offers, by the indexes under which settings, the command
// line and the capability probe store them.
//
// Thread contract: constants and pure functions, any thread.
namespace orvel::format {

// Sample rates in Hz by rate index 0..8 (the stored `Freq` and the frequency slider).
inline constexpr std::array<int, 9> kSampleRates = {8000,  11025, 12000, 16000, 22050,
                                                    24000, 32000, 44100, 48000};
inline constexpr int kRateCount = static_cast<int>(kSampleRates.size());

// The same rates as the command line names them, in kHz, by rate index.
inline constexpr std::array<int, 9> kCommandLineKiloHertz = {8, 11, 12, 16, 22, 24, 32, 44, 48};

// MP3 bit rates in kbit/s by index 0..15 (the stored `MP3Bitrate`); entry 0 is the default and
// repeats 128.
inline constexpr std::array<int, 16> kMp3Bitrates = {128, 8,  16,  24,  32,  40,  48,  64,
                                                     80,  96, 112, 128, 160, 192, 256, 320};
inline constexpr int kMp3BitrateCount = static_cast<int>(kMp3Bitrates.size());

constexpr bool isRateIndex(int index) {
    return index >= 0 && index < kRateCount;
}
constexpr bool isMp3BitrateIndex(int index) {
    return index >= 0 && index < kMp3BitrateCount;
}

// Format code of a choice: rate index * 4 + 2 for stereo + 1 for 16 bits, 0..35.
inline constexpr int kFormatCodeCount = kRateCount * 4;

constexpr int formatCode(int rateIndex, bool stereo, bool sixteenBits) {
    return rateIndex * 4 + (stereo ? 2 : 0) + (sixteenBits ? 1 : 0);
}

struct FormatChoice {
    int rateIndex = 0;
    bool stereo = false;
    bool sixteenBits = false;
};

// The choice a format code 0..kFormatCodeCount - 1 stands for.
constexpr FormatChoice formatOfCode(int code) {
    return FormatChoice{code / 4, (code / 2) % 2 == 1, code % 2 == 1};
}

}  // namespace orvel::format

namespace orvel {

// The format of a recording's output file.
enum class OutputFormat { Wav = 0, Mp3 = 1, Wma = 2 };

// What a refused file name is told: the extensions the recorder writes.
inline constexpr char kWrittenExtensionsText[] =
    "only .wav, .mp3 and .wma files are written (any letter case)";

// The format a recording's file name selects: ".wav", ".mp3" or ".wma" at its very end, in any
// letter case. None for any other name: the recorder writes no other format, and writing one
// format's data under another's extension would leave a file no player reads right.
constexpr std::optional<OutputFormat> formatOfFileName(std::string_view name) {
    if (name.size() < 4) {
        return std::nullopt;
    }
    char ending[4] = {};
    for (std::size_t i = 0; i < 4; ++i) {
        const char c = name[name.size() - 4 + i];
        ending[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    const std::string_view lowered(ending, 4);
    if (lowered == ".wav") {
        return OutputFormat::Wav;
    }
    if (lowered == ".mp3") {
        return OutputFormat::Mp3;
    }
    if (lowered == ".wma") {
        return OutputFormat::Wma;
    }
    return std::nullopt;
}

// The format a recording into a file of this name writes, which is also the format the front
// face shows for it: the one its extension selects, WAV for any other name (the face's field
// may hold one from a stored name; the command lines refuse them).
constexpr OutputFormat recordedFormatOf(std::string_view name) {
    return formatOfFileName(name).value_or(OutputFormat::Wav);
}

// The extension the format buttons write, without its dot: "WAV", "MP3" or "WMA".
constexpr std::string_view extensionOf(OutputFormat format) {
    switch (format) {
        case OutputFormat::Mp3:
            return "MP3";
        case OutputFormat::Wma:
            return "WMA";
        case OutputFormat::Wav:
            break;
    }
    return "WAV";
}

}  // namespace orvel
