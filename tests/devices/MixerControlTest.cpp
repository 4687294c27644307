#include <gtest/gtest.h>

#include <QFile>
#include <cmath>
#include <ostream>
#include <string>

#include "audio/WavReader.h"
#include "devices/DeviceList.h"
#include "devices/FakeSoundServer.h"
#include "devices/LineSounds.h"
#include "devices/MixerControl.h"
#include "support/Signal.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using test::FakeSoundServer;

// A mixer on a device of three lines, the first selected in the device list.
class MixerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_server.deviceList = {FakeSoundServer::device("Card", {"mic", "line-in", "mix"})};
        m_devices.refresh();
        ASSERT_TRUE(m_devices.selectRow(0));
    }

    FakeSoundServer m_server;
    DeviceList m_devices{m_server};
    MixerControl m_mixer{m_server, m_devices};
};

TEST_F(MixerTest, SelectingALineEnablesOnlyThatLine) {
    EXPECT_EQ(m_mixer.countLines(), 3);
    ASSERT_TRUE(m_mixer.selectLine(1));
    EXPECT_TRUE(m_mixer.isLineEnabled(1));
    EXPECT_FALSE(m_mixer.isLineEnabled(0));
    ASSERT_TRUE(m_server.selected);
    EXPECT_EQ(m_server.selected->sourceName, "line-in");
}

TEST_F(MixerTest, SelectingPastTheLastLineFailsWithoutChangingTheEnabledLine) {
    ASSERT_TRUE(m_mixer.selectLine(2));
    EXPECT_FALSE(m_mixer.selectLine(3));
    EXPECT_FALSE(m_mixer.selectLine(-1));
    EXPECT_TRUE(m_mixer.isLineEnabled(2));
    EXPECT_EQ(m_server.selected->sourceName, "mix");
    EXPECT_FALSE(m_mixer.isLineEnabled(3));
}

TEST_F(MixerTest, LinesOutsideTheDeviceChangeNothingAndReadAsZero) {
    EXPECT_FALSE(m_mixer.setVolume(7, 0.5));
    EXPECT_FALSE(m_mixer.setBalance(-2, 0.5));
    EXPECT_TRUE(m_server.volumes.empty());
    EXPECT_TRUE(m_server.balances.empty());
    EXPECT_EQ(m_mixer.volume(7), 0.0);
    EXPECT_EQ(m_mixer.balance(7), 0.0);
}

TEST_F(MixerTest, VolumeAndBalanceReachTheirOwnLineWithinRange) {
    EXPECT_TRUE(m_mixer.setVolume(2, 0.25));
    EXPECT_TRUE(m_mixer.setBalance(2, -0.5));
    EXPECT_DOUBLE_EQ(m_server.volumes["mix"], 0.25);
    EXPECT_DOUBLE_EQ(m_mixer.volume(2), 0.25);
    EXPECT_DOUBLE_EQ(m_mixer.balance(2), -0.5);
    EXPECT_EQ(m_server.volumes.count("mic"), 0u);
    // Levels beyond their range are held at its ends.
    EXPECT_TRUE(m_mixer.setVolume(0, 3.0));
    EXPECT_TRUE(m_mixer.setBalance(0, -7.0));
    EXPECT_DOUBLE_EQ(m_server.volumes["mic"], 1.0);
    EXPECT_DOUBLE_EQ(m_server.balances["mic"], -1.0);
}

TEST(MixerWithoutDevice, CountsNoLineAndSelectsNothing) {
    FakeSoundServer server;
    DeviceList devices(server);
    devices.refresh();
    MixerControl mixer(server, devices);
    EXPECT_EQ(mixer.countLines(), 0);
    EXPECT_FALSE(mixer.selectLine(0));
    EXPECT_FALSE(server.selected);
}

// Slider mappings of the line window.
struct SliderCase {
    int position;
    int range;
    double volume;
    double balance;
};

void PrintTo(const SliderCase& c, std::ostream* out) {
    *out << "position " << c.position << " of " << c.range;
}

class SliderMapping : public ::testing::TestWithParam<SliderCase> {};

TEST_P(SliderMapping, MapsPositionsToLevelsAndBack) {
    const SliderCase c = GetParam();
    EXPECT_DOUBLE_EQ(MixerControl::volumeFromSlider(c.position, c.range), c.volume);
    EXPECT_DOUBLE_EQ(MixerControl::balanceFromSlider(c.position, c.range), c.balance);
}

INSTANTIATE_TEST_SUITE_P(Cases, SliderMapping,
                         ::testing::Values(SliderCase{100, 100, 1.0, 1.0},  // maximum: full, right
                                           SliderCase{0, 100, 0.0, -1.0},
                                           SliderCase{50, 100, 0.5, 0.0},  // centred balance
                                           SliderCase{25, 100, 0.25, -0.5},
                                           SliderCase{150, 100, 1.0, 1.0},  // held at the end
                                           SliderCase{5, 0, 0.0, 0.0}));    // no range

TEST(SliderMapping, LevelsBackToPositionsTruncateAndHalveTheRangeAsAnInteger) {
    EXPECT_EQ(MixerControl::sliderFromVolume(1.0, 100), 100);
    EXPECT_EQ(MixerControl::sliderFromVolume(0.999, 100), 99);  // truncated, not rounded
    EXPECT_EQ(MixerControl::sliderFromVolume(0.0, 100), 0);
    EXPECT_EQ(MixerControl::sliderFromBalance(0.0, 100), 50);
    EXPECT_EQ(MixerControl::sliderFromBalance(-1.0, 100), 0);
    EXPECT_EQ(MixerControl::sliderFromBalance(1.0, 100), 100);
    // An odd range is halved to 50 first: the right end is 100, not 101.
    EXPECT_EQ(MixerControl::sliderFromBalance(1.0, 101), 100);
    EXPECT_EQ(MixerControl::sliderFromBalance(0.0, 101), 50);
    EXPECT_EQ(MixerControl::sliderFromBalance(-0.5, 100), 25);
    EXPECT_EQ(MixerControl::sliderFromVolume(2.0, 100), 100);
    EXPECT_EQ(MixerControl::sliderFromBalance(std::nan(""), 100), 50);
}

// The measure of the recording-line test.
class MeasureTest : public ::testing::Test {
protected:
    std::string fileOf(const std::string& bytes) {
        m_dir.write("test.wav", bytes);
        return m_dir.file("test.wav");
    }
    test::TempDir m_dir;
};

TEST_F(MeasureTest, AveragesTheDistanceFromSilenceOfThousandBytesAfter4096) {
    // The first 4096 bytes (the header and the start) are never looked at.
    std::string bytes(4096, '\xff');
    bytes += std::string(500, '\x90');  // 16 from silence
    bytes += std::string(500, '\x60');  // 32 from silence
    bytes += std::string(3000, '\xff');
    EXPECT_EQ(MixerControl::measureTestFile(fileOf(bytes)), (500 * 16 + 500 * 32) / 1000);
}

TEST_F(MeasureTest, SilenceMeasuresZeroAndTheMeanIsTruncated) {
    EXPECT_EQ(MixerControl::measureTestFile(fileOf(std::string(6000, '\x80'))), 0);
    std::string bytes(4096, '\x80');
    bytes += std::string(999, '\x80') + '\x85';  // 5 / 1000 rounds down to 0
    EXPECT_EQ(MixerControl::measureTestFile(fileOf(bytes)), 0);
}

// A test recording that delivered no sound must not pass for a loud line: what the file lacks
// counts as silence.
TEST_F(MeasureTest, BytesPastTheEndCountAsSilence) {
    EXPECT_LT(MixerControl::measureTestFile(fileOf(std::string(4096, '\x80'))),
              MixerControl::kFoundLevel);
    EXPECT_EQ(MixerControl::measureTestFile(fileOf("")), 0);
    // 500 loud bytes and 500 missing ones.
    EXPECT_EQ(
        MixerControl::measureTestFile(fileOf(std::string(4096, '\x80') + std::string(500, '\xa0'))),
        16);
}

TEST_F(MeasureTest, AFileThatCannotBeOpenedMeasuresMinusOne) {
    EXPECT_EQ(MixerControl::measureTestFile(m_dir.file("missing.wav")), -1);
    EXPECT_EQ(MixerControl::measureTestFile(m_dir.path()), -1);  // a folder
}

TEST_F(MixerTest, TestingALineSelectsAnnouncesMeasuresAndDeletes) {
    test::TempDir dir;
    dir.write("take.wav", std::string(6000, '\xa0'));
    const std::string path = dir.file("take.wav");
    EXPECT_EQ(m_mixer.testLine(1, path, false), 0);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path)));
    EXPECT_TRUE(m_mixer.isLineEnabled(1));
    EXPECT_EQ(m_server.played.size(), 1u);

    EXPECT_EQ(m_mixer.testLine(2, path, true), 32);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
    EXPECT_TRUE(m_mixer.isLineEnabled(2));
    EXPECT_EQ(m_server.played.size(), 2u);
}

// Line announcements.
TEST(LineSounds, TheClipNumberIsTheIndexModuloTenPlusOne) {
    EXPECT_EQ(LineSounds::resourceName(0), "IDSOUND_LINE1");
    EXPECT_EQ(LineSounds::resourceName(9), "IDSOUND_LINE10");
    EXPECT_EQ(LineSounds::resourceName(10), "IDSOUND_LINE1");
    EXPECT_EQ(LineSounds::resourceName(12), "IDSOUND_LINE3");
    EXPECT_EQ(LineSounds::resourceName(-1), "");
}

TEST(LineSounds, EveryClipIsAShortSpokenWav) {
    for (int n = 1; n <= LineSounds::kCount; ++n) {
        const std::string name = "IDSOUND_LINE" + std::to_string(n);
        SCOPED_TRACE(name);
        const std::optional<SoundClip> clip = LineSounds::load(name);
        ASSERT_TRUE(clip);
        EXPECT_EQ(clip->format, (AudioFormat{1, 16000, 16}));
        const double seconds =
            static_cast<double>(clip->pcm.size()) / clip->format.bytesPerSecond();
        EXPECT_GT(seconds, 0.2);
        EXPECT_LT(seconds, 1.2);
        const std::vector<double> samples = test::channelSamples(clip->pcm, 1, 16, 0);
        EXPECT_NEAR(test::peakDbfs(samples), -3.0, 0.5);
        // Speech, not a tone or noise: a good part of it is well below the peak.
        EXPECT_LT(test::rmsDbfs(samples), -12.0);
    }
    EXPECT_FALSE(LineSounds::load("IDSOUND_LINE11"));
    EXPECT_FALSE(LineSounds::load(""));
}

TEST(LineSounds, TheClipsDiffer) {
    for (int a = 1; a <= LineSounds::kCount; ++a) {
        for (int b = a + 1; b <= LineSounds::kCount; ++b) {
            EXPECT_NE(LineSounds::load("IDSOUND_LINE" + std::to_string(a))->pcm,
                      LineSounds::load("IDSOUND_LINE" + std::to_string(b))->pcm)
                << a << " and " << b;
        }
    }
}

TEST_F(MixerTest, AnnouncingLineTwelvePlaysTheThirdClip) {
    ASSERT_TRUE(m_mixer.announceLine(12));
    ASSERT_EQ(m_server.played.size(), 1u);
    const std::optional<SoundClip> third = LineSounds::load("IDSOUND_LINE3");
    ASSERT_TRUE(third);
    EXPECT_EQ(m_server.played[0].format, third->format);
    EXPECT_EQ(m_server.played[0].pcm, third->pcm);
    EXPECT_FALSE(m_mixer.announceLine(-1));
    EXPECT_EQ(m_server.played.size(), 1u);
}

}  // namespace
}  // namespace orvel
