#include "recorder/RecordStart.h"

#include <gtest/gtest.h>

#include <string>

#include "recorder/CapabilityReport.h"

namespace orvel {
namespace {

struct PlanCase {
    const char* name;
    FaceChoice choice;
    int mp3Mode;
    int bitrateIndex;
    std::string path;
    AudioFormat recorded;
    OutputFormat output;
    int kbps;
    bool to16Bits;
};

class RecordStartPlan : public ::testing::TestWithParam<PlanCase> {};

// What a record start hands to the engine, from the face's choice and the output path.
TEST_P(RecordStartPlan, AdjustsOnlyWhatTheOutputNeeds) {
    const PlanCase& c = GetParam();
    EncoderSettings encoders;
    encoders.mp3Mode = c.mp3Mode;
    encoders.mp3BitrateIndex = c.bitrateIndex;
    const RecordStart start = RecordStart::plan(c.choice, encoders, c.path, true);
    ASSERT_TRUE(start.ok());
    EXPECT_EQ(start.options.format, c.recorded);
    EXPECT_EQ(start.options.outputFormat, c.output);
    EXPECT_EQ(start.options.fileName, c.path);
    EXPECT_EQ(start.switchedTo16Bits, c.to16Bits);
    if (c.output == OutputFormat::Mp3) {
        EXPECT_EQ(start.mp3KbitPerSecond, c.kbps);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordStartPlan,
    ::testing::Values(
        // MP3 below 32000 Hz records at 44100 Hz, 8 bits at 16.
        PlanCase{"Mp3Raised",
                 {4, true, false},
                 0,
                 0,
                 "a.mp3",
                 {2, 44100, 16},
                 OutputFormat::Mp3,
                 128,
                 true},
        PlanCase{"Mp3At32000Stays",
                 {6, true, true},
                 0,
                 15,
                 "a.MP3",
                 {2, 32000, 16},
                 OutputFormat::Mp3,
                 320,
                 false},
        // A non-zero MP3 mode replaces the channel count.
        PlanCase{"Mp3ModeMono",
                 {7, true, true},
                 1,
                 11,
                 "a.mp3",
                 {1, 44100, 16},
                 OutputFormat::Mp3,
                 128,
                 false},
        // WAV and WMA keep the choice.
        PlanCase{
            "Wav8000", {0, false, false}, 1, 0, "a.wav", {1, 8000, 8}, OutputFormat::Wav, 0, false},
        PlanCase{
            "Wma", {4, true, false}, 1, 0, "a.Wma", {2, 22050, 8}, OutputFormat::Wma, 0, false},
        // A name without a recording extension records WAV, as the front face shows it.
        PlanCase{"NoDotMp3",
                 {4, true, false},
                 0,
                 0,
                 "takemp3",
                 {2, 22050, 8},
                 OutputFormat::Wav,
                 0,
                 false},
        PlanCase{"OtherExtension",
                 {4, true, false},
                 0,
                 0,
                 "take.txt",
                 {2, 22050, 8},
                 OutputFormat::Wav,
                 0,
                 false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordStart, Mp3WithoutAnEncoderIsRefusedUnchanged) {
    const RecordStart start =
        RecordStart::plan({4, true, false}, EncoderSettings{}, "a.mp3", false);
    EXPECT_EQ(start.refusal, StartResult::Mp3Support);
    EXPECT_FALSE(start.switchedTo16Bits);
    EXPECT_EQ(start.options.format, (AudioFormat{2, 22050, 8}));
}

TEST(RecordStart, MemoryBudget) {
    constexpr std::uint64_t kGiB = std::uint64_t(1) << 30;
    EXPECT_EQ(RecordStart::memoryBudget(false, 40000), 0u);
    EXPECT_EQ(RecordStart::memoryBudget(false, 60000), 40000u);
    EXPECT_EQ(RecordStart::memoryBudget(false, 100000), 80000u);
    EXPECT_EQ(RecordStart::memoryBudget(false, 1000000), 500000u);
    EXPECT_EQ(RecordStart::memoryBudget(false, 24 * kGiB), std::size_t(64) << 20);
    EXPECT_EQ(RecordStart::memoryBudget(true, 200000), 160000u);
    EXPECT_EQ(RecordStart::memoryBudget(true, 100000), 80000u);
    // Memory that cannot be read is no reason to refuse.
    EXPECT_EQ(RecordStart::memoryBudget(false, 0), 80000u);
    EXPECT_EQ(RecordStart::memoryBudget(true, 0), 160000u);
}

TEST(RecordStart, DataRateOfTheChoice) {
    EXPECT_EQ(RecordStart::dataRateText({7, true, true}), "172KB/S");
    EXPECT_EQ(RecordStart::dataRateText({7, false, false}), "43KB/S");
    EXPECT_EQ(RecordStart::dataRateText({8, true, true}), "187KB/S");
    EXPECT_EQ(RecordStart::dataRateText({0, false, false}), "7KB/S");
}

TEST(CapabilityReport, ListsTheAcceptedFormatsOrSaysThereAreNone) {
    const std::string some =
        CapabilityReport::text([](int code) { return code == 31 || code == 2; });
    EXPECT_NE(some.find("you can only use one of the following formats to record:\n\n"
                        " 8 KHZ  Stereo     8 bit \n44 KHZ  Stereo    16 bit \n"),
              std::string::npos)
        << some;
    EXPECT_EQ(some.find("no available resources"), std::string::npos);
    const std::string none = CapabilityReport::text([](int) { return false; });
    EXPECT_NE(none.find("There are no available resources for recording\n\n"), std::string::npos);
}

}  // namespace
}  // namespace orvel
