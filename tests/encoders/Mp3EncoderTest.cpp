#include "encoders/Mp3Encoder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>

#include "Decoded.h"
#include "audio/CaptureEngine.h"
#include "encoders/Mp3Output.h"
#include "support/Signal.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using test::TempDir;

TEST(LameLibrary, SearchesTheSystemThenTheInstallationFolderThenTheDevelopmentName) {
    EXPECT_EQ(LameLibrary::defaultSearchList("/opt/orvel/"),
              (std::vector<std::string>{"libmp3lame.so.0", "/opt/orvel/libmp3lame.so.0",
                                        "libmp3lame.so"}));
    EXPECT_EQ(LameLibrary::defaultSearchList(""),
              (std::vector<std::string>{"libmp3lame.so.0", "libmp3lame.so"}));
}

TEST(LameLibrary, BindsTheFirstCandidateThatLoadsWithEveryEntryPoint) {
    TempDir empty;
    // A library that loads but is not the encoder is passed over like a missing one.
    const auto lame =
        LameLibrary::load({empty.file("libmp3lame.so.0"), "libm.so.6", "libmp3lame.so.0"});
    ASSERT_TRUE(lame->available());
    EXPECT_EQ(lame->path(), "libmp3lame.so.0");
    EXPECT_FALSE(lame->version().empty());

    EXPECT_FALSE(LameLibrary::load({"libm.so.6"})->available());
    EXPECT_FALSE(LameLibrary::load({})->available());
    EXPECT_TRUE(LameLibrary::shared().available());
}

TEST(Mp3Encoder, ReportsOneFramePerChunkAndAWorstCaseBuffer) {
    const auto lame = LameLibrary::load({"libmp3lame.so.0"});
    for (int channels : {1, 2}) {
        Mp3Encoder encoder(*lame);
        const auto setup =
            encoder.configure(Mp3Encoder::Config::forRecording(channels, 44100, 128, {}));
        ASSERT_TRUE(setup);
        EXPECT_EQ(setup->samplesPerChunk, 1152u * static_cast<unsigned>(channels));
        EXPECT_GE(setup->bufferBytes, 1152u * 5 / 4 + 7200);
    }
    const auto none = LameLibrary::load({});
    Mp3Encoder unbound(*none);
    EXPECT_FALSE(unbound.configure({}));
    // A value the encoder does not take is refused, not encoded.
    Mp3Encoder refused(*lame);
    EXPECT_FALSE(refused.configure(Mp3Encoder::Config::forRecording(2, -44100, 128, {})));
    EXPECT_FALSE(refused.isOpen());
}

// A chunk the encoder refuses (here: its output does not fit the buffer given) leaves the file
// as it was and is not counted; the stream then goes on and closes into a decodable file.
TEST(Mp3Encoder, ARefusedChunkLeavesTheFileUnchanged) {
    TempDir dir;
    const auto lame = LameLibrary::load({"libmp3lame.so.0"});
    Mp3Encoder encoder(*lame);
    const auto setup = encoder.configure(Mp3Encoder::Config::forRecording(2, 44100, 128, {}));
    ASSERT_TRUE(setup);
    std::vector<std::uint8_t> buffer(setup->bufferBytes);
    const auto pcm = test::sinePcm(440.0, -6.0, 2.0, 44100, 2, 16);
    const auto* samples = reinterpret_cast<const std::int16_t*>(pcm.data());
    const std::size_t chunk = setup->samplesPerChunk;

    const std::string path = dir.file("refused.mp3");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::size_t at = 0;
    std::size_t written = 0;
    for (int i = 0; i < 10; ++i, at += chunk) {
        const auto result = encoder.encode(file, samples + at, chunk, buffer);
        ASSERT_TRUE(result.ok());
        written += result.bytes;
    }
    ASSERT_GT(written, 0u);
    std::fflush(file);
    const auto before = test::readBytes(path);
    const auto counted = encoder.samplesEncoded();

    std::array<std::uint8_t, 1> tooSmall{};
    const auto refused = encoder.encode(file, samples + at, chunk, tooSmall);
    EXPECT_EQ(refused.status, Mp3Encoder::EncodeResult::Status::EncodeFailed);
    EXPECT_EQ(refused.bytes, 0u);
    std::fflush(file);
    EXPECT_EQ(test::readBytes(path), before);
    EXPECT_EQ(encoder.samplesEncoded(), counted);

    // Not whole frames of the stream's channels: refused the same way.
    EXPECT_EQ(encoder.encode(file, samples, 3, buffer).status,
              Mp3Encoder::EncodeResult::Status::EncodeFailed);

    at += chunk;
    EXPECT_TRUE(encoder.encode(file, samples + at, chunk, buffer).ok());
    EXPECT_TRUE(encoder.close(file, buffer, {}));
    const auto decoded = test::decodeFile(path);
    EXPECT_TRUE(decoded.ok);
    EXPECT_GT(decoded.frames(), 10u * 1152u);
}

// Whatever amount the output is handed, it encodes all of it: more than one chunk at a time
// would not fit the encoder's output buffer in one call.
TEST(Mp3Output, TakesMoreThanAChunkAtOnce) {
    test::TempDir dir;
    const auto lame = LameLibrary::load({"libmp3lame.so.0"});
    const std::string path = dir.file("large.mp3");
    StartResult result = StartResult::Ok;
    const OutputRequest request{path, OutputFormat::Mp3, {2, 44100, 16}, 17640};
    auto output = Mp3Output::open(*lame, request, 320, {}, result);
    ASSERT_TRUE(output);
    EXPECT_EQ(result, StartResult::Ok);
    EXPECT_EQ(output->chunkBytes(), 1152u * 2 * 2);
    const auto pcm = test::sinePcm(440.0, -1.0, 1.0, 44100, 2, 16);
    // Starting one byte into a buffer: the samples are not aligned as 16-bit values there.
    std::vector<std::uint8_t> shifted(pcm.size() + 1);
    std::copy(pcm.begin(), pcm.end(), shifted.begin() + 1);
    ASSERT_TRUE(output->write(shifted.data() + 1, pcm.size()));
    EXPECT_GT(output->bytesWritten(), 30000u);
    ASSERT_TRUE(output->finish());
    EXPECT_TRUE(output->lastError().empty());
    EXPECT_EQ(test::decodeFile(path).frames(), 44100u);
}

}  // namespace
}  // namespace orvel
