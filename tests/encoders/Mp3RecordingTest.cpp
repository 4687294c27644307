#include <gtest/gtest.h>

#include <taglib/id3v1tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tag.h>

#include <array>
#include <cstdio>

#include "Decoded.h"
#include "Recording.h"
#include "encoders/Id3v1Tag.h"
#include "encoders/LameLibrary.h"
#include "encoders/Mp3Encoder.h"
#include "support/Signal.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using test::TempDir;

// What the MPEG audio frame headers of a file say, read frame by frame from its start.
struct FrameHeaders {
    int frames = 0;
    int sampleRate = 0;
    int mode = -1;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    bool allSameMode = true;
    bool protectedByCrc = false;  // every frame
    bool unprotected = false;     // every frame
    bool copyright = false;       // every frame
    bool original = false;        // every frame
    bool privateBit = false;      // every frame
    std::array<std::uint8_t, 2> firstBytes{};
    std::size_t end = 0;  // where the last whole frame ends
};

FrameHeaders readFrameHeaders(const std::vector<std::uint8_t>& bytes) {
    static constexpr int kBitRates[] = {0,   32,  40,  48,  56,  64,  80, 96,
                                        112, 128, 160, 192, 224, 256, 320};
    static constexpr int kRates[] = {44100, 48000, 32000};
    FrameHeaders h;
    h.protectedByCrc = h.unprotected = h.copyright = h.original = h.privateBit = true;
    std::size_t at = 0;
    while (at + 4 <= bytes.size()) {
        const std::uint8_t* p = bytes.data() + at;
        const bool mpeg1Layer3 = p[0] == 0xFF && (p[1] & 0xFE) == 0xFA;
        const int bitRateIndex = p[2] >> 4;
        const int rateIndex = (p[2] >> 2) & 3;
        if (!mpeg1Layer3 || bitRateIndex == 0 || bitRateIndex == 15 || rateIndex == 3) {
            break;
        }
        if (h.frames == 0) {
            h.firstBytes = {p[0], p[1]};
            h.sampleRate = kRates[rateIndex];
            h.mode = p[3] >> 6;
        }
        h.allSameMode = h.allSameMode && (p[3] >> 6) == h.mode;
        const bool crc = (p[1] & 1) == 0;
        h.protectedByCrc = h.protectedByCrc && crc;
        h.unprotected = h.unprotected && !crc;
        h.copyright = h.copyright && (p[3] & 0x08) != 0;
        h.original = h.original && (p[3] & 0x04) != 0;
        h.privateBit = h.privateBit && (p[2] & 0x01) != 0;
        at += static_cast<std::size_t>(144000 * kBitRates[bitRateIndex] / kRates[rateIndex] +
                                       ((p[2] >> 1) & 1));
        ++h.frames;
        h.end = at;
    }
    return h;
}

bool endsWithTag(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= 128 && bytes[bytes.size() - 128] == 'T' &&
           bytes[bytes.size() - 127] == 'A' && bytes[bytes.size() - 126] == 'G';
}

EncoderSettings taggedSettings() {
    EncoderSettings settings;
    settings.mp3.writeId3 = true;
    settings.mp3.setArtist("Ada Quartet");
    settings.mp3.setTitle("Night Studies");
    settings.mp3.setAlbum("Recorded Live");
    settings.mp3.setYear("2024");
    settings.mp3.genre = 8;
    return settings;
}

struct ToneCase {
    int channels;
    int rate;
};

class Mp3ToneRecording : public ::testing::TestWithParam<ToneCase> {};

// The tone recorded through the engine comes back from a decoder with the recorded length to
// the sample, its frequency, and the channel count; the frame headers carry the mode of the
// channel count and no CRC.
TEST_P(Mp3ToneRecording, DecodesToTheRecordedToneAndLength) {
    TempDir dir;
    const ToneCase c = GetParam();
    const AudioFormat format{c.channels, c.rate, 16};
    const double seconds = 2.5;
    const auto pcm = test::sinePcm(440.0, -6.0, seconds, c.rate, c.channels, 16);
    const std::string path = dir.file("tone.mp3");

    const auto run = test::recordThroughEngine(pcm, format, path, OutputFormat::Mp3, {});
    ASSERT_EQ(run.result, StartResult::Ok);
    EXPECT_TRUE(run.finishedOk) << run.error.toStdString();

    const auto decoded = test::decodeFile(path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.channels, c.channels);
    EXPECT_EQ(decoded.sampleRate, c.rate);
    EXPECT_EQ(decoded.frames(), pcm.size() / static_cast<std::size_t>(format.blockAlign()));
    for (const auto& channel : decoded.samples) {
        // The middle of the tone, away from the encoder's start-up.
        const std::vector<double> middle(channel.begin() + c.rate / 2,
                                         channel.begin() + 2 * c.rate);
        EXPECT_NEAR(test::zeroCrossingFrequency(middle, c.rate), 440.0, 2.0);
        EXPECT_NEAR(test::toneAmplitude(middle, c.rate, 440.0), 0.5, 0.05);
    }

    const auto headers = readFrameHeaders(test::readBytes(path));
    EXPECT_GT(headers.frames, 50);
    EXPECT_EQ(headers.sampleRate, c.rate);
    EXPECT_EQ(headers.mode, c.channels == 1 ? Mp3Encoder::Mono : Mp3Encoder::Stereo);
    EXPECT_TRUE(headers.allSameMode);
    EXPECT_TRUE(headers.unprotected);
    EXPECT_EQ(headers.firstBytes[1], 0xFB);
}

INSTANTIATE_TEST_SUITE_P(MonoAndStereo, Mp3ToneRecording,
                         ::testing::Values(ToneCase{1, 44100}, ToneCase{2, 44100},
                                           ToneCase{1, 32000}, ToneCase{2, 32000}),
                         [](const ::testing::TestParamInfo<ToneCase>& tone) {
                             return std::string(tone.param.channels == 1 ? "Mono" : "Stereo") +
                                    std::to_string(tone.param.rate);
                         });

TEST(Mp3Recording, HeaderFlagsReachEveryFrame) {
    TempDir dir;
    const AudioFormat format{2, 44100, 16};
    const auto pcm = test::sinePcm(1000.0, -10.0, 1.0, 44100, 2, 16);
    EncoderSettings settings;
    settings.mp3.crc = true;
    settings.mp3.copyright = true;
    settings.mp3.original = true;
    settings.mp3.privateBit = true;
    settings.mp3BitrateIndex = 13;  // 192 kbit/s

    const std::string path = dir.file("flags.mp3");
    ASSERT_EQ(test::recordThroughEngine(pcm, format, path, OutputFormat::Mp3, settings).result,
              StartResult::Ok);
    const auto headers = readFrameHeaders(test::readBytes(path));
    ASSERT_GT(headers.frames, 20);
    EXPECT_EQ(headers.firstBytes[0], 0xFF);
    EXPECT_EQ(headers.firstBytes[1], 0xFA);
    EXPECT_TRUE(headers.protectedByCrc);
    EXPECT_TRUE(headers.copyright);
    EXPECT_TRUE(headers.original);
    EXPECT_TRUE(headers.privateBit);
    // 192 kbit/s frames at 44.1 kHz are 626 or 627 bytes.
    EXPECT_NEAR(static_cast<double>(headers.end) / headers.frames, 626.9, 1.0);

    const auto decoded = test::decodeFile(path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.frames(), 44100u);
}

TEST(Mp3Recording, TagIsAppendedOnlyWithAllThreeTextsAndTheSwitch) {
    TempDir dir;
    const AudioFormat format{1, 44100, 16};
    const auto pcm = test::sinePcm(440.0, -6.0, 0.5, 44100, 1, 16);

    const std::string tagged = dir.file("tagged.mp3");
    ASSERT_EQ(
        test::recordThroughEngine(pcm, format, tagged, OutputFormat::Mp3, taggedSettings()).result,
        StartResult::Ok);
    const auto bytes = test::readBytes(tagged);
    ASSERT_TRUE(endsWithTag(bytes));
    EXPECT_EQ(readFrameHeaders(bytes).end, bytes.size() - 128);
    {
        TagLib::MPEG::File file(tagged.c_str());
        ASSERT_TRUE(file.hasID3v1Tag());
        const auto* tag = file.ID3v1Tag();
        EXPECT_EQ(tag->artist().to8Bit(true), "Ada Quartet");
        EXPECT_EQ(tag->title().to8Bit(true), "Night Studies");
        EXPECT_EQ(tag->album().to8Bit(true), "Recorded Live");
        EXPECT_EQ(tag->year(), 2024u);
        EXPECT_EQ(tag->track(), 1u);
        EXPECT_EQ(tag->genre().to8Bit(true), "Jazz");
    }
    // The tag is not audio: the decoded length stays exact.
    EXPECT_EQ(test::decodeFile(tagged).frames(), pcm.size() / 2);

    auto noAlbum = taggedSettings();
    noAlbum.mp3.setAlbum("");
    const std::string untagged = dir.file("untagged.mp3");
    ASSERT_EQ(test::recordThroughEngine(pcm, format, untagged, OutputFormat::Mp3, noAlbum).result,
              StartResult::Ok);
    EXPECT_FALSE(endsWithTag(test::readBytes(untagged)));

    auto switchedOff = taggedSettings();
    switchedOff.mp3.writeId3 = false;
    const std::string off = dir.file("off.mp3");
    ASSERT_EQ(test::recordThroughEngine(pcm, format, off, OutputFormat::Mp3, switchedOff).result,
              StartResult::Ok);
    EXPECT_FALSE(endsWithTag(test::readBytes(off)));
}

TEST(Mp3Recording, RewritingTheTagKeepsTheLengthAndAddingOneAppends) {
    TempDir dir;
    const AudioFormat format{2, 48000, 16};
    const auto pcm = test::sinePcm(440.0, -6.0, 0.5, 48000, 2, 16);
    const std::string tagged = dir.file("tagged.mp3");
    const std::string plain = dir.file("plain.mp3");
    ASSERT_EQ(
        test::recordThroughEngine(pcm, format, tagged, OutputFormat::Mp3, taggedSettings()).result,
        StartResult::Ok);
    ASSERT_EQ(test::recordThroughEngine(pcm, format, plain, OutputFormat::Mp3, {}).result,
              StartResult::Ok);
    const auto taggedLength = test::readBytes(tagged).size();
    const auto plainLength = test::readBytes(plain).size();

    Mp3Options changed;
    changed.setArtist("Other Artist");
    changed.setTitle("Other Title");
    changed.setAlbum("Other Album");
    changed.setYear("1999");
    changed.genre = 17;
    ASSERT_TRUE(Mp3Encoder::writeTag(tagged, changed));
    ASSERT_TRUE(Mp3Encoder::writeTag(plain, changed));
    EXPECT_EQ(test::readBytes(tagged).size(), taggedLength);
    EXPECT_EQ(test::readBytes(plain).size(), plainLength + 128);

    for (const auto& path : {tagged, plain}) {
        Mp3Options read;
        ASSERT_TRUE(Mp3Encoder::readTag(path, read));
        EXPECT_EQ(read.artist(), "Other Artist");
        EXPECT_EQ(read.title(), "Other Title");
        EXPECT_EQ(read.album(), "Other Album");
        EXPECT_EQ(read.year(), "1999");
        EXPECT_EQ(read.genre, 17);
        // Still the whole recording.
        EXPECT_EQ(test::decodeFile(path).frames(), pcm.size() / 4);
    }
}

TEST(Mp3Recording, WithoutTheLibraryNothingStartsAndNoFileIsCreated) {
    TempDir dir;
    TempDir empty;
    const auto none = LameLibrary::load({empty.file("libmp3lame.so.0")});
    ASSERT_FALSE(none->available());
    EXPECT_TRUE(none->version().empty());

    const AudioFormat format{2, 44100, 16};
    const auto pcm = test::sinePcm(440.0, -6.0, 0.3, 44100, 2, 16);
    const std::string path = dir.file("refused.mp3");
    const auto run = test::recordThroughEngine(pcm, format, path, OutputFormat::Mp3,
                                               taggedSettings(), none.get());
    EXPECT_EQ(run.result, StartResult::Mp3Support);
    EXPECT_FALSE(test::fileExists(path));
}

TEST(Mp3Recording, RefusesFormatsTheEncoderIsNotGivenAndUncreatableFiles) {
    TempDir dir;
    EncoderSettings settings;
    struct Case {
        AudioFormat format;
        StartResult expected;
    };
    for (const Case& c : {Case{{2, 44100, 8}, StartResult::FormatError},
                          Case{{1, 22050, 16}, StartResult::FormatError}}) {
        const std::string path = dir.file("refused.mp3");
        const auto pcm = test::sinePcm(440.0, -6.0, 0.2, c.format.sampleRate, c.format.channels,
                                       c.format.bitsPerSample);
        EXPECT_EQ(
            test::recordThroughEngine(pcm, c.format, path, OutputFormat::Mp3, settings).result,
            c.expected);
        EXPECT_FALSE(test::fileExists(path));
    }
    const auto pcm = test::sinePcm(440.0, -6.0, 0.2, 44100, 2, 16);
    EXPECT_EQ(test::recordThroughEngine(pcm, {2, 44100, 16}, dir.file("missing/folder/x.mp3"),
                                        OutputFormat::Mp3, settings)
                  .result,
              StartResult::FileError);

    // The capture format an MP3 recording is started with is always one the output takes.
    settings.mp3Mode = 1;
    EXPECT_EQ(settings.mp3RecordingFormat({2, 22050, 8}), (AudioFormat{1, 44100, 16}));
    settings.mp3Mode = 2;
    EXPECT_EQ(settings.mp3RecordingFormat({1, 32000, 16}), (AudioFormat{2, 32000, 16}));
    settings.mp3Mode = 0;
    EXPECT_EQ(settings.mp3RecordingFormat({1, 48000, 8}), (AudioFormat{1, 48000, 16}));
}

}  // namespace
}  // namespace orvel
