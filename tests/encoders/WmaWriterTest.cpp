#include "encoders/WmaWriter.h"

#include <gtest/gtest.h>

#include <taglib/asffile.h>

#include <cmath>

#include "Decoded.h"
#include "Recording.h"
#include "config/Product.h"
#include "encoders/WmaProfile.h"
#include "support/Signal.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using test::TempDir;

TagRecord fullRecord() {
    TagRecord record;
    record.artist = "Ada Quartet";
    record.title = "Night Studies";
    record.album = "Recorded Live";
    record.composer = "M. Ravel";
    record.description = "Taken from the balcony";
    record.genre = "Jazz";
    record.copyright = "2024 Ada Quartet";
    return record;
}

// First sample index at which the channel rises above `level` for good.
std::size_t onset(const std::vector<double>& samples, double level) {
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::fabs(samples[i]) > level) {
            return i;
        }
    }
    return samples.size();
}

TEST(WmaProfiles, EveryProfileIsAnAudioProfileTheEncoderTakes) {
    const auto listed = WmaWriter::listProfiles();
    ASSERT_EQ(listed.size(), WmaProfile::all().size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(listed[i].index, static_cast<int>(i));
        EXPECT_NE(listed[i].name.find("Audio"), std::string::npos);
    }
    // Every recording format of the recorder has a profile.
    for (int rate : {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000}) {
        for (int channels : {1, 2}) {
            const int index = WmaProfile::firstFor({channels, rate, 16});
            ASSERT_GE(index, 0) << rate << " " << channels;
            EXPECT_EQ(WmaProfile::firstFor({channels, rate, 8}), index);
        }
    }
    EXPECT_EQ(
        WmaProfile::all()[static_cast<std::size_t>(WmaProfile::firstFor({2, 44100, 16}))].name,
        "CD Quality Audio 44.1 kHz stereo 128 kbit/s");
    EXPECT_EQ(WmaProfile::at(-1), nullptr);
    EXPECT_EQ(WmaProfile::at(static_cast<int>(WmaProfile::all().size())), nullptr);
}

class WmaProfileRecording : public ::testing::TestWithParam<int> {};

// Each profile writes a file that decodes at its rate and channel count to the recorded tone,
// from 16-bit and from 8-bit PCM.
TEST_P(WmaProfileRecording, DecodesToTheRecordedTone) {
    TempDir dir;
    const WmaProfile& profile = *WmaProfile::at(GetParam());
    for (int bits : {16, 8}) {
        const AudioFormat format{profile.channels, profile.sampleRate, bits};
        const double frequency = profile.sampleRate >= 16000 ? 1000.0 : 500.0;
        const auto pcm =
            test::sinePcm(frequency, -6.0, 1.0, format.sampleRate, format.channels, bits);
        EncoderSettings settings;
        settings.wmaProfile = GetParam();
        const std::string path = dir.file("profile" + std::to_string(bits) + ".wma");
        const auto run = test::recordThroughEngine(pcm, format, path, OutputFormat::Wma, settings);
        ASSERT_EQ(run.result, StartResult::Ok);
        EXPECT_TRUE(run.finishedOk) << run.error.toStdString();

        const auto decoded = test::decodeFile(path);
        ASSERT_TRUE(decoded.ok);
        EXPECT_EQ(decoded.codec, "wmav2");
        EXPECT_EQ(decoded.sampleRate, profile.sampleRate);
        EXPECT_EQ(decoded.channels, profile.channels);
        // The last frame may be filled up to the encoder's frame size.
        EXPECT_GE(decoded.frames(), static_cast<std::size_t>(format.sampleRate));
        EXPECT_LE(decoded.frames(), static_cast<std::size_t>(format.sampleRate + 2048));
        for (const auto& channel : decoded.samples) {
            const std::vector<double> middle(channel.begin() + format.sampleRate / 4,
                                             channel.begin() + 3 * format.sampleRate / 4);
            EXPECT_NEAR(test::zeroCrossingFrequency(middle, format.sampleRate), frequency,
                        frequency * 0.01)
                << profile.name << " " << bits << " bits";
            EXPECT_NEAR(test::toneAmplitude(middle, format.sampleRate, frequency), 0.5, 0.1)
                << profile.name << " " << bits << " bits";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllProfiles, WmaProfileRecording,
                         ::testing::Range(0, static_cast<int>(WmaProfile::all().size())));

// The first recorded sample is the first decoded one: a tone that starts after 300 ms of
// silence starts 300 ms into the decoded audio.
TEST(WmaWriter, ToneOnsetIsWhereItWasRecorded) {
    TempDir dir;
    const AudioFormat format{2, 44100, 16};
    std::vector<std::uint8_t> pcm(static_cast<std::size_t>(44100 * 0.3) * 4, 0);
    const auto tone = test::sinePcm(1000.0, -6.0, 1.0, 44100, 2, 16);
    pcm.insert(pcm.end(), tone.begin(), tone.end());
    EncoderSettings settings;
    const std::string path = dir.file("onset.wma");
    ASSERT_EQ(test::recordThroughEngine(pcm, format, path, OutputFormat::Wma, settings).result,
              StartResult::Ok);
    const auto decoded = test::decodeFile(path);
    ASSERT_TRUE(decoded.ok);
    const double seconds = static_cast<double>(onset(decoded.samples[0], 0.1)) / 44100.0;
    EXPECT_NEAR(seconds, 0.3, 0.003);
}

TEST(WmaWriter, SampleTimeCountsTheBytesHandedOverIn100NanosecondUnits) {
    TempDir dir;
    WmaWriter writer;
    ASSERT_TRUE(writer.selectProfile(WmaProfile::firstFor({2, 44100, 16})));
    ASSERT_EQ(writer.begin({2, 44100, 16}, dir.file("time.wma")), 0);
    const std::vector<std::uint8_t> chunk(17640, 0);
    std::uint64_t total = 0;
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(writer.write(chunk.data(), chunk.size(), &total), 0);
    }
    EXPECT_EQ(writer.sampleTime(), 10000000u);
    EXPECT_EQ(writer.bytesWritten(), 44100u * 4);
    EXPECT_GT(total, 0u);
    ASSERT_EQ(writer.end(), 0);
    EXPECT_GE(test::readBytes(dir.file("time.wma")).size(), total);
    EXPECT_FALSE(writer.isWriting());
    EXPECT_NE(writer.write(chunk.data(), chunk.size(), &total), 0);
    EXPECT_EQ(writer.sampleTime(), 10000000u);

    // Each write's time is truncated on its own; large counts do not overflow.
    EXPECT_EQ(WmaWriter::advance(0, 1, 44100), 226u);
    EXPECT_EQ(
        WmaWriter::advance(WmaWriter::advance(WmaWriter::advance(0, 1, 44100), 1, 44100), 1, 44100),
        678u);
    EXPECT_EQ(WmaWriter::advance(0, 4000000000u, 8000), 5000000000000u);
}

TEST(WmaWriter, AttributesReachTheFileForBothKindsOfReader) {
    TempDir dir;
    const AudioFormat format{1, 22050, 16};
    const auto pcm = test::sinePcm(440.0, -6.0, 0.5, 22050, 1, 16);
    EncoderSettings settings;
    settings.wmaAttributes = fullRecord();
    const std::string path = dir.file("tagged.wma");
    ASSERT_EQ(test::recordThroughEngine(pcm, format, path, OutputFormat::Wma, settings).result,
              StartResult::Ok);

    TagLib::ASF::File file(path.c_str());
    ASSERT_TRUE(file.isValid());
    auto* tag = file.tag();
    EXPECT_EQ(tag->artist().to8Bit(true), "Ada Quartet");
    EXPECT_EQ(tag->title().to8Bit(true), "Night Studies");
    EXPECT_EQ(tag->copyright().to8Bit(true), "2024 Ada Quartet");
    EXPECT_EQ(tag->album().to8Bit(true), "Recorded Live");
    EXPECT_EQ(tag->genre().to8Bit(true), "Jazz");
    ASSERT_TRUE(tag->contains("WM/Composer"));
    EXPECT_EQ(tag->attribute("WM/Composer").front().toString().to8Bit(true), "M. Ravel");

    const auto decoded = test::decodeFile(path);
    EXPECT_EQ(decoded.metadata.at("artist"), "Ada Quartet");
    EXPECT_EQ(decoded.metadata.at("title"), "Night Studies");
    EXPECT_EQ(decoded.metadata.at("album"), "Recorded Live");
    EXPECT_EQ(decoded.metadata.at("composer"), "M. Ravel");
    EXPECT_EQ(decoded.metadata.at("genre"), "Jazz");
    EXPECT_EQ(decoded.metadata.at("copyright"), "2024 Ada Quartet");
    EXPECT_EQ(decoded.metadata.at("comment"), "Taken from the balcony");
}

TEST(WmaWriter, ABlankDescriptionBecomesTheHomePage) {
    WmaWriter writer;
    EXPECT_EQ(writer.attribute(wma::kDescription), product::kHomePage);
    TagRecord record = fullRecord();
    writer.setAttributes(record);
    EXPECT_EQ(writer.attribute(wma::kDescription), "Taken from the balcony");
    EXPECT_EQ(writer.attribute(wma::kGenre), "Jazz");
    record.description = "   ";
    writer.setAttributes(record);
    EXPECT_EQ(writer.attribute(wma::kDescription), product::kHomePage);
    EXPECT_EQ(writer.attribute("WM/Unknown"), "");

    TempDir dir;
    const std::string path = dir.file("home.wma");
    EncoderSettings settings;
    settings.wmaAttributes = record;
    const auto pcm = test::sinePcm(440.0, -6.0, 0.2, 8000, 1, 8);
    ASSERT_EQ(
        test::recordThroughEngine(pcm, {1, 8000, 8}, path, OutputFormat::Wma, settings).result,
        StartResult::Ok);
    EXPECT_EQ(test::decodeFile(path).metadata.at("comment"), product::kHomePage);
}

// A recording in another rate or channel count than the profile's is converted to the
// profile's: it decodes in the profile's format, to the recorded length, with the tone at its
// level and its onset where it was recorded.
struct Conversion {
    AudioFormat recorded;
    int profile;
};

class WmaConversion : public ::testing::TestWithParam<Conversion> {};

TEST_P(WmaConversion, DecodesInTheProfilesFormatToTheRecordedLength) {
    const AudioFormat format = GetParam().recorded;
    const WmaProfile& profile = *WmaProfile::at(GetParam().profile);
    const double frequency = profile.sampleRate >= 16000 ? 1000.0 : 500.0;
    std::vector<std::uint8_t> pcm(
        static_cast<std::size_t>(0.3 * format.sampleRate) * format.blockAlign(),
        format.silenceByte());
    const auto tone = test::sinePcm(frequency, -6.0, 1.7, format.sampleRate, format.channels,
                                    format.bitsPerSample);
    pcm.insert(pcm.end(), tone.begin(), tone.end());
    TempDir dir;
    EncoderSettings settings;
    settings.wmaProfile = GetParam().profile;
    const std::string path = dir.file("converted.wma");
    const auto run = test::recordThroughEngine(pcm, format, path, OutputFormat::Wma, settings);
    ASSERT_EQ(run.result, StartResult::Ok);
    EXPECT_TRUE(run.finishedOk) << run.error.toStdString();

    const auto decoded = test::decodeFile(path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.sampleRate, profile.sampleRate);
    EXPECT_EQ(decoded.channels, profile.channels);
    // Two seconds at the profile's rate, the last frame filled up to the codec's frame size.
    const auto recorded = static_cast<std::size_t>(2 * profile.sampleRate);
    const std::size_t frameSize = profile.sampleRate <= 16000 ? 512 : 2048;
    EXPECT_GE(decoded.frames(), recorded);
    EXPECT_LE(decoded.frames(), recorded + frameSize);
    for (const auto& channel : decoded.samples) {
        const double start = static_cast<double>(onset(channel, 0.1)) / profile.sampleRate;
        EXPECT_NEAR(start, 0.3, 0.003);
        const std::vector<double> middle(channel.begin() + profile.sampleRate / 2,
                                         channel.begin() + 3 * profile.sampleRate / 2);
        EXPECT_NEAR(test::zeroCrossingFrequency(middle, profile.sampleRate), frequency,
                    frequency * 0.01);
        EXPECT_NEAR(test::toneAmplitude(middle, profile.sampleRate, frequency), 0.5, 0.05);
    }
}

INSTANTIATE_TEST_SUITE_P(
    RatesAndChannels, WmaConversion,
    ::testing::Values(Conversion{{2, 44100, 16}, 6},   // to AM Radio 16 kHz mono
                      Conversion{{1, 22050, 8}, 15},   // to CD Quality 44.1 kHz stereo
                      Conversion{{2, 48000, 16}, 0}),  // to Voice 8 kHz mono
    [](const auto& info) { return "Profile" + std::to_string(info.param.profile); });

TEST(WmaWriter, WhatCannotBeWrittenIsRefusedWithItsReasonAndNoFile) {
    TempDir dir;
    const std::string path = dir.file("refused.wma");
    WmaWriter writer;
    EXPECT_NE(writer.begin({2, 44100, 16}, path), 0);  // no profile chosen
    EXPECT_EQ(writer.errorText(), "no WMA profile is chosen");
    EXPECT_FALSE(writer.selectProfile(999));
    EXPECT_EQ(writer.selectedProfile(), -1);

    ASSERT_TRUE(writer.selectProfile(6));
    EXPECT_NE(writer.begin({3, 44100, 24}, path), 0);
    EXPECT_EQ(writer.errorText(),
              "the WMA profile \"AM Radio Audio 16 kHz mono 32 kbit/s\" (16000 Hz, 1 channel) "
              "cannot be made from 3 channels of 24-bit sound at 44100 Hz: it takes 1 or 2 "
              "channels of 8- or 16-bit sound at 4000 to 192000 Hz");
    EXPECT_EQ(writer.errorText().find("support"), std::string::npos);
    EXPECT_NE(writer.begin({2, 44100, 16}, dir.file("no/such/folder.wma")), 0);
    EXPECT_FALSE(writer.isWriting());
    EXPECT_FALSE(test::fileExists(path));
}

TEST(WmaWriter, AFileLeftUnendedIsCompletedWhenTheWriterGoes) {
    TempDir dir;
    const std::string path = dir.file("unended.wma");
    {
        WmaWriter writer;
        ASSERT_TRUE(writer.selectProfile(WmaProfile::firstFor({1, 16000, 16})));
        ASSERT_EQ(writer.begin({1, 16000, 16}, path), 0);
        const auto pcm = test::sinePcm(440.0, -6.0, 0.5, 16000, 1, 16);
        ASSERT_EQ(writer.write(pcm.data(), pcm.size(), nullptr), 0);
    }
    const auto decoded = test::decodeFile(path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_GE(decoded.frames(), 8000u);
}

}  // namespace
}  // namespace orvel
