#include "playback/MediaFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>

#include "TestMedia.h"
#include "audio/WavWriter.h"
#include "playback/PcmConverter.h"
#include "support/Signal.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using test::TempDir;

const AudioFormat kCd{2, 44100, 16};

std::vector<std::uint8_t> decodeAll(MediaFile& file, const AudioFormat& format) {
    PcmConverter converter(format);
    std::vector<std::uint8_t> out;
    DecodedAudio run;
    while (file.next(run) == MediaFile::Read::Audio) {
        EXPECT_TRUE(converter.convert(run, out));
    }
    converter.flush(out);
    return out;
}

TEST(MediaFileNames, WindowsMediaNamesInAnyCase) {
    EXPECT_TRUE(MediaFile::isWindowsMediaName("/music/Song.WMA"));
    EXPECT_TRUE(MediaFile::isWindowsMediaName("clip.Wmv"));
    EXPECT_TRUE(MediaFile::isWindowsMediaName("/a.asf.d/take"));
    EXPECT_FALSE(MediaFile::isWindowsMediaName("/music/wma/take.mp3"));
    EXPECT_FALSE(MediaFile::isWindowsMediaName("take.wav"));
}

// A file in each of the recorder's formats, with a tone that starts at 1.000 s.
struct FormatCase {
    const char* name;
    OutputFormat format;
    AudioFormat audio;
};

class MediaFileFormats : public ::testing::TestWithParam<FormatCase> {
protected:
    void SetUp() override {
        m_path = m_dir.file(GetParam().name);
        const AudioFormat& audio = GetParam().audio;
        ASSERT_TRUE(test::writeMedia(m_path, GetParam().format, audio,
                                     test::toneFrom(1.0, 4.0, 1000, -6, audio)));
        ASSERT_EQ(m_file.open(m_path), MediaError::None) << m_file.errorDetail();
    }
    // The tone's onset in what the file decodes to from the current position, in ms.
    double onsetMs() {
        const AudioFormat& audio = GetParam().audio;
        const auto pcm = decodeAll(m_file, audio);
        const long onset =
            test::onsetSample(test::channelSamples(pcm, audio.channels, 16, 0), 0.05);
        return onset < 0 ? -1.0 : onset * 1000.0 / audio.sampleRate;
    }

    TempDir m_dir;
    std::string m_path;
    MediaFile m_file;
};

TEST_P(MediaFileFormats, DecodesTheWholeContentFromItsFirstSample) {
    const AudioFormat& audio = GetParam().audio;
    EXPECT_EQ(m_file.sampleRate(), audio.sampleRate);
    EXPECT_EQ(m_file.channels(), audio.channels);
    // WMA counts its last codec frames and the ASF preroll.
    EXPECT_NEAR(m_file.durationMs(), 4000, 100);
    const auto pcm = decodeAll(m_file, audio);
    const double seconds = double(pcm.size()) / audio.bytesPerSecond();
    // WMA ends on whole codec frames.
    EXPECT_NEAR(seconds, 4.0, 0.05);
    // The onset sits 1.000 s in (the first sample above the threshold is a sample or two on).
    const long onset = test::onsetSample(test::channelSamples(pcm, audio.channels, 16, 0), 0.05);
    EXPECT_NEAR(onset * 1000.0 / audio.sampleRate, 1000.0, 0.2);
}

TEST_P(MediaFileFormats, SeeksLandOnTheSample) {
    for (const int target : {900, 500, 0, 990, 950, 120}) {
        ASSERT_TRUE(m_file.seek(target));
        EXPECT_EQ(m_file.nextSample(), std::llround(target * GetParam().audio.sampleRate / 1000.0))
            << target;
        EXPECT_NEAR(onsetMs(), 1000.0 - target, 0.2) << "seek to " << target;
    }
}

TEST_P(MediaFileFormats, SeekingPastTheEndEndsTheStream) {
    ASSERT_TRUE(m_file.seek(60000));
    DecodedAudio run;
    EXPECT_EQ(m_file.next(run), MediaFile::Read::End);
    // And the file can be read again from the start after that.
    ASSERT_TRUE(m_file.seek(0));
    EXPECT_NEAR(onsetMs(), 1000.0, 0.2);
}

INSTANTIATE_TEST_SUITE_P(
    Recorder, MediaFileFormats,
    ::testing::Values(FormatCase{"cd.wav", OutputFormat::Wav, {2, 44100, 16}},
                      FormatCase{"mono.wav", OutputFormat::Wav, {1, 11025, 16}},
                      FormatCase{"cd.mp3", OutputFormat::Mp3, {2, 44100, 16}},
                      FormatCase{"mono48.mp3", OutputFormat::Mp3, {1, 48000, 16}},
                      FormatCase{"cd.wma", OutputFormat::Wma, {2, 44100, 16}},
                      FormatCase{"mono22.wma", OutputFormat::Wma, {1, 22050, 16}}),
    [](const auto& testInfo) {
        std::string name = testInfo.param.name;
        std::replace(name.begin(), name.end(), '.', '_');
        return name;
    });

TEST(MediaFileConversion, TapFormatsKeepTimingAndTone) {
    TempDir dir;
    const std::string path = dir.file("tone.wav");
    ASSERT_TRUE(
        test::writeMedia(path, OutputFormat::Wav, kCd, test::toneFrom(0.5, 2.0, 440, -6, kCd)));
    for (const AudioFormat target : {AudioFormat{1, 22050, 16}, AudioFormat{2, 8000, 8},
                                     AudioFormat{2, 48000, 16}, AudioFormat{1, 11025, 8}}) {
        MediaFile file;
        ASSERT_EQ(file.open(path), MediaError::None);
        const auto pcm = decodeAll(file, target);
        EXPECT_NEAR(double(pcm.size()) / target.bytesPerSecond(), 2.0, 0.001);
        const auto left = test::channelSamples(pcm, target.channels, target.bitsPerSample, 0);
        EXPECT_NEAR(test::onsetSample(left, 0.05) * 1000.0 / target.sampleRate, 500.0, 1.0);
        const auto tone = test::loudPart(left, 0.1, 200);
        EXPECT_NEAR(test::zeroCrossingFrequency(tone, target.sampleRate), 440.0, 2.0);
        EXPECT_NEAR(test::peakDbfs(tone), -6.0, 0.6);
    }
}

TEST(MediaFileErrors, MissingAndDamagedFilesFailWithAReason) {
    TempDir dir;
    MediaFile file;
    EXPECT_EQ(file.open(dir.file("absent.mp3")), MediaError::NotFound);
    EXPECT_FALSE(file.isOpen());
    EXPECT_FALSE(file.errorDetail().empty());

    dir.write("noise.wav", std::string(3000, '\x5a'));
    EXPECT_EQ(file.open(dir.file("noise.wav")), MediaError::NotMedia);
    dir.write("empty.mp3", "");
    EXPECT_EQ(file.open(dir.file("empty.mp3")), MediaError::NotMedia);
    dir.write("garbage.WMA", std::string(5000, '\x01'));
    EXPECT_EQ(file.open(dir.file("garbage.WMA")), MediaError::NotMedia);
    EXPECT_EQ(file.open(dir.path()), MediaError::NotAFile);  // a folder
    // A FIFO is refused before it is opened: opening it would wait for a writer for ever.
    ASSERT_EQ(::mkfifo(dir.file("fifo.wav").c_str(), 0600), 0);
    EXPECT_EQ(file.open(dir.file("fifo.wav")), MediaError::NotAFile);
    // A header that promises a second of sound the file does not hold.
    const auto header = WavWriter::header(kCd, kCd.bytesPerSecond());
    dir.write("hollow.wav", std::string(header.begin(), header.end()));
    EXPECT_EQ(file.open(dir.file("hollow.wav")), MediaError::NoAudio);
    EXPECT_FALSE(file.isOpen());
    DecodedAudio run;
    EXPECT_EQ(file.next(run), MediaFile::Read::Error);
    EXPECT_FALSE(file.seek(0));
}

TEST(MediaFileErrors, ATruncatedFileGivesWhatItHolds) {
    TempDir dir;
    const std::string path = dir.file("cut.mp3");
    ASSERT_TRUE(
        test::writeMedia(path, OutputFormat::Mp3, kCd, test::sinePcm(1000, -6, 3.0, 44100, 2, 16)));
    std::string bytes = dir.read("cut.mp3");
    dir.write("cut.mp3", bytes.substr(0, bytes.size() / 2));
    MediaFile file;
    ASSERT_EQ(file.open(path), MediaError::None);
    const auto pcm = decodeAll(file, kCd);
    EXPECT_NEAR(double(pcm.size()) / kCd.bytesPerSecond(), 1.5, 0.1);
}

TEST(MediaFileErrors, AWindowsMediaNameOnAnotherFormatIsProbed) {
    TempDir dir;
    const std::string path = dir.file("really-a-wave.wma");
    ASSERT_TRUE(
        test::writeMedia(path, OutputFormat::Wav, kCd, test::sinePcm(1000, -6, 0.5, 44100, 2, 16)));
    MediaFile file;
    ASSERT_EQ(file.open(path), MediaError::None);
    EXPECT_EQ(file.containerName(), "wav");
    EXPECT_FALSE(file.readAsWindowsMedia());

    const std::string wma = dir.file("take.WMA");
    ASSERT_TRUE(
        test::writeMedia(wma, OutputFormat::Wma, kCd, test::sinePcm(1000, -6, 0.5, 44100, 2, 16)));
    ASSERT_EQ(file.open(wma), MediaError::None);
    EXPECT_TRUE(file.readAsWindowsMedia());
    EXPECT_EQ(file.codecName(), "wmav2");
}

}  // namespace
}  // namespace orvel
