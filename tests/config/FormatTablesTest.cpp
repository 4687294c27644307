#include "config/FormatTables.h"

#include <gtest/gtest.h>

namespace orvel::format {
namespace {

TEST(FormatTables, CommandLineKiloHertzNameTheSampleRates) {
    ASSERT_EQ(kCommandLineKiloHertz.size(), kSampleRates.size());
    for (std::size_t i = 0; i < kSampleRates.size(); ++i) {
        EXPECT_EQ(kCommandLineKiloHertz[i], kSampleRates[i] / 1000) << "rate index " << i;
    }
}

TEST(FormatTables, FormatCodesCoverEveryChoiceOnce) {
    std::vector<bool> seen(kFormatCodeCount, false);
    for (int rate = 0; rate < kRateCount; ++rate) {
        for (bool stereo : {false, true}) {
            for (bool sixteen : {false, true}) {
                const int code = formatCode(rate, stereo, sixteen);
                ASSERT_GE(code, 0);
                ASSERT_LT(code, kFormatCodeCount);
                EXPECT_FALSE(seen[code]) << code;
                seen[code] = true;
                const FormatChoice back = formatOfCode(code);
                EXPECT_EQ(back.rateIndex, rate);
                EXPECT_EQ(back.stereo, stereo);
                EXPECT_EQ(back.sixteenBits, sixteen);
            }
        }
    }
    // 44100 Hz stereo 16 bits, the default choice.
    EXPECT_EQ(formatCode(7, true, true), 31);
}

}  // namespace
}  // namespace orvel::format

namespace orvel {
namespace {

TEST(FormatOfFileName, TakesTheThreeWrittenExtensionsInAnyLetterCaseAndNothingElse) {
    EXPECT_EQ(formatOfFileName("a.WaV"), OutputFormat::Wav);
    EXPECT_EQ(formatOfFileName("/x/my-take.Mp3"), OutputFormat::Mp3);
    EXPECT_EQ(formatOfFileName(".wma"), OutputFormat::Wma);
    for (const char* name : {"", "wav", "a.wav ", "a.flac", "a.wav.ogg", "a_wav", "amp3"}) {
        EXPECT_FALSE(formatOfFileName(name).has_value()) << '"' << name << '"';
    }
}

}  // namespace
}  // namespace orvel
