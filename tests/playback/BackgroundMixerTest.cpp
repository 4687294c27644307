#include "playback/BackgroundMixer.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "config/SettingsStore.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

struct Pair {
    std::int16_t left;
    std::int16_t right;
    bool operator==(const Pair&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Pair& p) {
    return out << "(" << p.left << ", " << p.right << ")";
}

Pair mixed(const BackgroundSettings& settings, int rL, int rR, int bL, int bR) {
    Pair out{};
    BackgroundMixer(settings).mixPair(rL, rR, bL, bR, out.left, out.right);
    return out;
}

BackgroundSettings scaled(int scale) {
    BackgroundSettings s;
    s.scale = scale;
    return s;
}

TEST(BackgroundMixerGains, HalfAndHalfAddsBothAndClamps) {
    const auto s = scaled(50);
    EXPECT_EQ(mixed(s, 1000, -2000, -300, 500), (Pair{700, -1500}));
    EXPECT_EQ(mixed(s, 20000, -20000, 20000, -20000), (Pair{32767, -32768}));
    EXPECT_EQ(mixed(s, 32767, -32768, 1, -1), (Pair{32767, -32768}));
}

TEST(BackgroundMixerGains, TheEndsOfTheScaleDoubleOneSide) {
    EXPECT_EQ(mixed(scaled(0), 1000, -2000, 12345, -12345), (Pair{2000, -4000}));
    EXPECT_EQ(mixed(scaled(0), 20000, -16385, 0, 0), (Pair{32767, -32768}));
    EXPECT_EQ(mixed(scaled(100), 12345, -12345, 1000, -2000), (Pair{2000, -4000}));
    EXPECT_EQ(mixed(scaled(100), 0, 0, -20000, 16384), (Pair{-32768, 32767}));
}

TEST(BackgroundMixerGains, ProductsTruncateTowardZeroExactly) {
    // 30: recording gain 1.4, background gain 0.6. 1.4 x 101 = 141.4 and 0.6 x 333 = 199.8.
    EXPECT_EQ(mixed(scaled(30), 101, -101, 333, -333), (Pair{141 + 199, -141 - 199}));
    // 70: recording 0.6, background 1.4. 0.6 x 5 = 3 exactly, which a rounded factor
    // (0.59999...) would truncate to 2.
    EXPECT_EQ(mixed(scaled(70), 5, -5, 0, 0), (Pair{3, -3}));
    // Out-of-range ratios are clamped.
    EXPECT_EQ(mixed(scaled(150), 100, 100, 100, 100), (Pair{200, 200}));
    EXPECT_EQ(mixed(scaled(-5), 100, 100, 100, 100), (Pair{200, 200}));
}

TEST(BackgroundMixerVoice, ACentredVoiceCancels) {
    BackgroundSettings s = scaled(50);
    s.removeVoice = true;
    s.vocalChannel = BackgroundSettings::Difference;
    // A voice of 9000 in both channels, an instrument of 1200 on the left only.
    EXPECT_EQ(mixed(s, 0, 0, 9000, 9000), (Pair{0, 0}));
    EXPECT_EQ(mixed(s, 0, 0, 9000 + 1200, 9000), (Pair{1200, 1200}));
    // The difference of opposite channels is clamped after mixing, not before.
    EXPECT_EQ(mixed(s, 100, -100, 30000, -30000), (Pair{32767, 32767}));
    s.vocalChannel = BackgroundSettings::RightChannel;
    EXPECT_EQ(mixed(s, 0, 0, 700, -300), (Pair{-300, -300}));
    s.vocalChannel = BackgroundSettings::LeftChannel;
    EXPECT_EQ(mixed(s, 0, 0, 700, -300), (Pair{700, 700}));
    // Without removal the vocal choice does nothing.
    s.removeVoice = false;
    EXPECT_EQ(mixed(s, 0, 0, 700, -300), (Pair{700, -300}));
}

struct RouteCase {
    int background;
    int recording;
    Pair expected;  // recording (1000, 2000), background (30, 40), scale 50
};

class BackgroundMixerRoutes : public ::testing::TestWithParam<RouteCase> {};

TEST_P(BackgroundMixerRoutes, EachSideGoesWhereItsRouteSays) {
    BackgroundSettings s = scaled(50);
    s.backgroundChannel = GetParam().background;
    s.recordingChannel = GetParam().recording;
    EXPECT_EQ(mixed(s, 1000, 2000, 30, 40), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(AllNine, BackgroundMixerRoutes,
                         ::testing::Values(RouteCase{0, 0, {1030, 2040}},
                                           RouteCase{1, 0, {1030, 2000}},
                                           RouteCase{2, 0, {1000, 2040}},
                                           RouteCase{0, 1, {1030, 40}}, RouteCase{1, 1, {1030, 0}},
                                           RouteCase{2, 1, {1000, 40}}, RouteCase{0, 2, {30, 2040}},
                                           RouteCase{1, 2, {30, 2000}}, RouteCase{2, 2, {0, 2040}},
                                           // Unknown routes count as both channels.
                                           RouteCase{7, -1, {1030, 2040}}));

TEST(BackgroundMixerBuffers, StereoBuffersMixPairByPairAndMonoSampleBySample) {
    BackgroundSettings s = scaled(40);
    s.backgroundChannel = BackgroundSettings::LeftOnly;
    s.removeVoice = true;
    const BackgroundMixer mixer(s);
    const std::vector<std::int16_t> recording{100, -200, 32000, 32000, -7, 9};
    const std::vector<std::int16_t> background{5000, 4000, -32768, 32767, 11, 13};
    std::vector<std::int16_t> out(6);
    mixer.mix(recording.data(), background.data(), out.data(), out.size(), 2);
    for (std::size_t i = 0; i < out.size(); i += 2) {
        Pair p{};
        mixer.mixPair(recording[i], recording[i + 1], background[i], background[i + 1], p.left,
                      p.right);
        EXPECT_EQ((Pair{out[i], out[i + 1]}), p) << "pair " << i / 2;
    }
    // Mono: 1.2 x r + 0.8 x b, routes and voice removal left out.
    mixer.mix(recording.data(), background.data(), out.data(), out.size(), 1);
    EXPECT_EQ(out, (std::vector<std::int16_t>{120 + 4000, -240 + 3200, 38400 - 26214, 32767, -8 + 8,
                                              10 + 10}));
}

TEST(BackgroundSettingsStore, ReadsTheStoredChoicesAndMendsBadOnes) {
    test::TempDir dir(test::TempDir::Xdg::Redirect);
    const SettingsStore store;
    BackgroundSettings defaults = BackgroundSettings::fromStore(store);
    EXPECT_EQ(defaults.file, "");
    EXPECT_EQ(defaults.scale, 50);
    EXPECT_EQ(defaults.backgroundChannel, 0);
    EXPECT_EQ(defaults.recordingChannel, 0);
    EXPECT_EQ(defaults.vocalChannel, 0);
    EXPECT_FALSE(defaults.removeVoice);
    EXPECT_TRUE(defaults.preview);
    EXPECT_EQ(defaults.action, 0);

    store.writeText(setting::kBackgroundFile, "/music/Ünder.mp3");
    store.writeNumber(setting::kBackgroundScale, 30);
    store.writeNumber(setting::kBackgroundChannel, 2);
    store.writeNumber(setting::kRecordingChannel, 1);
    store.writeNumber(setting::kVocalChannel, 2);
    store.writeNumber(setting::kRemoveVoice, 1);
    store.writeNumber(setting::kBackgroundEnablePreview, 0);
    store.writeNumber(setting::kBackgroundAction, 2);
    const BackgroundSettings stored = BackgroundSettings::fromStore(store);
    EXPECT_EQ(stored.file, "/music/Ünder.mp3");
    EXPECT_EQ(stored.scale, 30);
    EXPECT_EQ(stored.backgroundChannel, 2);
    EXPECT_EQ(stored.recordingChannel, 1);
    EXPECT_EQ(stored.vocalChannel, 2);
    EXPECT_TRUE(stored.removeVoice);
    EXPECT_FALSE(stored.preview);
    EXPECT_EQ(stored.action, 2);

    store.writeNumber(setting::kBackgroundScale, 250);
    store.writeNumber(setting::kBackgroundChannel, 3);
    store.writeNumber(setting::kBackgroundAction, -1);
    const BackgroundSettings mended = BackgroundSettings::fromStore(store);
    EXPECT_EQ(mended.scale, 100);
    EXPECT_EQ(mended.backgroundChannel, 0);
    EXPECT_EQ(mended.action, 0);
}

}  // namespace
}  // namespace orvel
