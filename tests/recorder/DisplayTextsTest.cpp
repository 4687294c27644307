#include "recorder/DisplayTexts.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

struct RecordingCase {
    std::uint64_t bytes;
    std::uint32_t seconds;
    const char* text;
};

void PrintTo(const RecordingCase& c, std::ostream* out) {
    *out << c.bytes << "B_" << c.seconds << "s";
}

class RecordingTextTest : public ::testing::TestWithParam<RecordingCase> {};

TEST_P(RecordingTextTest, FormsSizeAndTime) {
    EXPECT_EQ(display::recordingText(GetParam().bytes, GetParam().seconds), GetParam().text);
}

constexpr std::uint32_t kKB = 1024;
constexpr std::uint32_t kMB = 1024 * 1024;

INSTANTIATE_TEST_SUITE_P(
    Thresholds, RecordingTextTest,
    ::testing::Values(RecordingCase{0, 0, "0KB / 00:00"}, RecordingCase{1023, 31, "0KB / 00:31"},
                      RecordingCase{512 * kKB, 31, "512KB / 00:31"},
                      RecordingCase{kMB - 1, 0, "1023KB / 00:00"},
                      RecordingCase{kMB, 0, "1.00MB / 00:00"},
                      RecordingCase{kMB + 512 * kKB, 0, "1.50MB / 00:00"},
                      RecordingCase{kMB + 1023 * kKB, 0, "1.99MB / 00:00"},  // 99.9 rounds down
                      RecordingCase{12 * kMB + 512 * kKB, 3723, "12.50MB / 01:02:03"},
                      RecordingCase{999 * kMB + 1023 * kKB, 0, "999.99MB / 00:00"},
                      RecordingCase{1000 * kMB, 0, "1,000.00MB / 00:00"},
                      RecordingCase{1005 * kMB + 512 * kKB, 0, "1,005.50MB / 00:00"},
                      RecordingCase{0xFFFFFFFFu, 0, "4,095.99MB / 00:00"},
                      // Past 4 GiB the display goes on counting instead of starting again.
                      RecordingCase{0x100000000u, 0, "4,096.00MB / 00:00"},
                      RecordingCase{5120ull * kMB + 256 * kKB, 7200, "5,120.25MB / 02:00:00"}));

INSTANTIATE_TEST_SUITE_P(Durations, RecordingTextTest,
                         ::testing::Values(RecordingCase{0, 59, "0KB / 00:59"},
                                           RecordingCase{0, 59 * 60 + 59, "0KB / 59:59"},
                                           RecordingCase{0, 3600, "0KB / 01:00:00"},
                                           RecordingCase{0, 25 * 3600, "0KB / 25:00:00"},
                                           RecordingCase{0, 0xFFFFFFFFu, "0KB / 1193046:28:15"}));

TEST(PlaybackAndClockText, Formats) {
    EXPECT_EQ(display::playbackText(0, 0), "0:00 / 0:00");
    EXPECT_EQ(display::playbackText(75 * 60000 + 3999, 80 * 60000), "75:03 / 80:00");
    EXPECT_EQ(display::playbackText(59999, 60000), "0:59 / 1:00");
    EXPECT_EQ(display::playbackText(-5, -1), "0:00 / 0:00");
    EXPECT_EQ(display::clockText(9, 5, 3), "09:05:03");
    EXPECT_EQ(display::clockText(23, 59, 59), "23:59:59");
}

}  // namespace
}  // namespace orvel
