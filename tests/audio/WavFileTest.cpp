#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/WavReader.h"
#include "audio/WavWriter.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using Result = WavWriter::Result;
using Status = WavInfo::Status;

const AudioFormat kStereo16{2, 44100, 16};

std::uint32_t le32(const std::string& bytes, std::size_t at) {
    auto b = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + i]));
    };
    return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

std::string le(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    return out;
}

std::string chunk(const std::string& id, const std::string& body) {
    return id + le(static_cast<std::uint32_t>(body.size()), 4) + body +
           (body.size() % 2 != 0 ? std::string(1, '\0') : std::string());
}

std::string fmtChunk(int channels, std::uint32_t rate, int bits) {
    const int align = channels * bits / 8;
    return chunk("fmt ", le(1, 2) + le(static_cast<std::uint32_t>(channels), 2) + le(rate, 4) +
                             le(rate * static_cast<std::uint32_t>(align), 4) +
                             le(static_cast<std::uint32_t>(align), 2) +
                             le(static_cast<std::uint32_t>(bits), 2));
}

std::string riff(const std::string& chunks) {
    return "RIFF" + le(static_cast<std::uint32_t>(chunks.size() + 4), 4) + "WAVE" + chunks;
}

WavInfo readString(const std::string& bytes) {
    return WavReader::readBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::vector<std::uint8_t> pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    return bytes;
}

TEST(WavWriter, EmptyRecordingIsACanonicalHeaderAlone) {
    test::TempDir dir;
    WavWriter writer;
    ASSERT_EQ(writer.open(dir.file("a.wav"), AudioFormat{1, 11025, 8}), Result::Ok);
    EXPECT_EQ(writer.append(nullptr, 0), Result::Empty);
    ASSERT_EQ(writer.close(), Result::Ok);
    EXPECT_EQ(writer.close(), Result::NotOpen);
    const std::string expected = riff(fmtChunk(1, 11025, 8) + "data" + le(0, 4));
    ASSERT_EQ(expected.size(), 44u);
    EXPECT_EQ(dir.read("a.wav"), expected);  // block align 1, 11025 bytes per second
    EXPECT_EQ(le32(expected, 4), 36u);
}

TEST(WavWriter, RecordingReadsBackWithItsFormatAndSamples) {
    test::TempDir dir;
    const std::string path = dir.file("b.wav");
    const auto samples = pattern(17640 * 3);
    {
        WavWriter writer;
        ASSERT_EQ(writer.open(path, kStereo16), Result::Ok);
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(writer.append(samples.data() + 17640 * i, 17640), Result::Ok);
        }
        EXPECT_EQ(writer.dataBytes(), samples.size());
        EXPECT_FALSE(writer.failed());
    }  // closed by the destructor
    const WavInfo info = WavReader::readFile(path);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.audioFormat(), kStereo16);
    EXPECT_EQ(info.bytesPerSecond, 176400u);
    EXPECT_EQ(info.blockAlign, 4);
    EXPECT_EQ(info.dataOffset, 44u);
    EXPECT_EQ(info.dataSize, samples.size());
    EXPECT_FALSE(info.sizeRecovered);
    const std::string file = dir.read("b.wav");
    EXPECT_EQ(file.substr(44), std::string(samples.begin(), samples.end()));
    EXPECT_EQ(le32(file, 4), samples.size() + 36);
}

TEST(WavWriter, HeaderFollowsEveryAppend) {
    test::TempDir dir;
    const std::string path = dir.file("c.wav");
    const AudioFormat format{1, 8000, 16};
    const auto block = pattern(1600);  // 100 ms
    WavWriter writer;
    ASSERT_EQ(writer.open(path, format), Result::Ok);
    auto headerSize = [&] { return le32(dir.read("c.wav"), 40); };
    for (std::uint32_t i = 1; i <= 5; ++i) {
        ASSERT_EQ(writer.append(block.data(), block.size()), Result::Ok);
        ASSERT_EQ(headerSize(), i * 1600) << "after block " << i;
    }
    // What a recorder killed now leaves behind is readable as it is.
    const WavInfo info = WavReader::readFile(path);
    ASSERT_TRUE(info.ok());
    EXPECT_FALSE(info.sizeRecovered);
    EXPECT_EQ(le32(dir.read("c.wav"), 4), 8036u);
    ASSERT_EQ(writer.close(), Result::Ok);
    EXPECT_EQ(headerSize(), 8000u);
}

TEST(WavWriter, CutOffRecordingIsReadFromTheFileLength) {
    test::TempDir dir;
    const std::string path = dir.file("d.wav");
    WavWriter writer;
    ASSERT_EQ(writer.open(path, kStereo16), Result::Ok);
    const auto block = pattern(17640);
    ASSERT_EQ(writer.append(block.data(), block.size()), Result::Ok);
    // A header that says 0 (as one written by a recorder that only sized it at the end):
    // the samples in the file count.
    std::string bytes = dir.read("d.wav");
    WavInfo info = readString(bytes.substr(0, 4) + le(36, 4) + bytes.substr(8, 32) + le(0, 4) +
                              bytes.substr(44));
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.dataSize, 17640u);
    EXPECT_TRUE(info.sizeRecovered);

    // A header claiming more than the file holds, and a partial last frame.
    bytes.resize(bytes.size() - 2);
    info = readString(bytes.substr(0, 40) + le(0xFFFFFFFF, 4) + bytes.substr(44));
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.dataSize, 17636u);
    EXPECT_TRUE(info.sizeRecovered);
}

// Runs `body` in a child process whose file size limit is `limit` bytes (SIGXFSZ ignored, so
// writes past it fail with EFBIG) and returns the results the child sent back.
std::vector<int> inChildWithSizeLimit(rlim_t limit, const std::function<std::vector<int>()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) {
        ADD_FAILURE() << "pipe";
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{};
        ::getrlimit(RLIMIT_FSIZE, &rl);
        rl.rlim_cur = limit;
        if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) {
            ::_exit(2);
        }
        const std::vector<int> results = body();
        const auto bytes = static_cast<ssize_t>(results.size() * sizeof(int));
        ::_exit(::write(fds[1], results.data(), static_cast<std::size_t>(bytes)) == bytes ? 0 : 3);
    }
    ::close(fds[1]);
    std::vector<int> results;
    int value = 0;
    while (::read(fds[0], &value, sizeof value) == static_cast<ssize_t>(sizeof value)) {
        results.push_back(value);
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return results;
}

TEST(WavWriter, FullDiskIsReportedAndLeavesAValidFile) {
    test::TempDir dir;
    const std::string path = dir.file("e.wav");
    const auto block = pattern(1000);
    // Room for the header, one block and one byte: the second block is cut off mid-frame.
    const auto results = inChildWithSizeLimit(44 + 1000 + 1, [&] {
        WavWriter writer;
        std::vector<int> r;
        r.push_back(static_cast<int>(writer.open(path, kStereo16)));
        r.push_back(static_cast<int>(writer.append(block.data(), block.size())));
        r.push_back(static_cast<int>(writer.append(block.data(), block.size())));
        r.push_back(writer.errorCode());
        r.push_back(static_cast<int>(writer.append(block.data(), block.size())));
        r.push_back(writer.failed() ? 1 : 0);
        r.push_back(static_cast<int>(writer.dataBytes()));
        r.push_back(static_cast<int>(writer.close()));
        return r;
    });
    ASSERT_EQ(results.size(), 8u);
    EXPECT_EQ(results[0], static_cast<int>(Result::Ok));
    EXPECT_EQ(results[1], static_cast<int>(Result::Ok));
    EXPECT_EQ(results[2], static_cast<int>(Result::WriteFailed));
    EXPECT_EQ(results[3], EFBIG);
    EXPECT_EQ(results[4], static_cast<int>(Result::WriteFailed));
    EXPECT_EQ(results[5], 1);
    EXPECT_EQ(results[6], 1000);
    EXPECT_EQ(results[7], static_cast<int>(Result::Ok));

    const std::string file = dir.read("e.wav");
    EXPECT_EQ(file.size(), 1044u);  // the stray byte of the cut frame is gone
    const WavInfo info = WavReader::readFile(path);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.dataSize, 1000u);
    EXPECT_FALSE(info.sizeRecovered);
    EXPECT_EQ(le32(file, 4), 1036u);
}

TEST(WavWriter, UnwritableTargetsFailToOpen) {
    test::TempDir dir;
    WavWriter writer;
    EXPECT_EQ(writer.open(dir.file("missing/f.wav"), kStereo16), Result::CannotCreate);
    EXPECT_FALSE(writer.errorText().empty());
    EXPECT_EQ(writer.append("x", 1), Result::NotOpen);
    EXPECT_EQ(writer.open(dir.file("g.wav"), AudioFormat{3, 44100, 16}), Result::BadFormat);
    EXPECT_EQ(writer.open(dir.file("g.wav"), AudioFormat{2, 44000, 16}), Result::BadFormat);
    if (::access("/dev/full", W_OK) == 0) {
        EXPECT_EQ(writer.open("/dev/full", kStereo16), Result::CannotCreate);
        EXPECT_EQ(writer.errorCode(), ENOSPC);
        EXPECT_FALSE(writer.isOpen());
    }
}

TEST(WavWriter, StopsAtTheSizeBoundWithWholeFrames) {
    test::TempDir dir;
    const std::string path = dir.file("h.wav");
    WavWriter writer(1002);  // rounded down to 1000 for 4-byte frames
    ASSERT_EQ(writer.open(path, kStereo16), Result::Ok);
    const auto block = pattern(600);
    EXPECT_EQ(writer.append(block.data(), block.size()), Result::Ok);
    EXPECT_EQ(writer.append(block.data(), block.size()), Result::SizeLimit);
    EXPECT_EQ(writer.dataBytes(), 1000u);
    EXPECT_EQ(writer.errorCode(), 0);
    EXPECT_EQ(writer.append(block.data(), block.size()), Result::SizeLimit);
    EXPECT_EQ(writer.close(), Result::Ok);
    EXPECT_EQ(dir.read("h.wav").size(), 1044u);
    EXPECT_EQ(WavReader::readFile(path).dataSize, 1000u);

    // The real bound keeps the RIFF size within 32 bits.
    const auto header = WavWriter::header(AudioFormat{1, 8000, 8}, WavWriter::kMaxDataBytes);
    EXPECT_EQ(le32(std::string(header.begin(), header.end()), 4), 0xFFFFFFFFu);
}

TEST(WavReader, WalksPastOtherChunks) {
    const std::string samples(10, '\x40');
    // An odd-sized chunk (padded) before "fmt ", another between "fmt " and "data", and one
    // after the samples.
    const std::string file =
        riff(chunk("JUNK", "abc") + fmtChunk(1, 22050, 16) + chunk("LIST", std::string(27, 'L')) +
             chunk("data", samples) + chunk("id3 ", "tag"));
    const WavInfo info = readString(file);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info.audioFormat(), (AudioFormat{1, 22050, 16}));
    EXPECT_EQ(info.dataOffset, 12u + 12 + 24 + 36 + 8);
    EXPECT_EQ(info.dataSize, 10u);
    EXPECT_EQ(file.substr(info.dataOffset, 10), samples);
    EXPECT_FALSE(info.sizeRecovered);

    const auto texts = WavReader::formatTexts(info);
    EXPECT_EQ(texts.sampleRate, "Samples per second : 22050 ");
    EXPECT_EQ(texts.bits, "Bits per Sample : 16 ");
    EXPECT_EQ(texts.channels, "Channels : Mono ");
    EXPECT_EQ(
        WavReader::formatTexts(readString(riff(fmtChunk(2, 8000, 8) + chunk("data", "")))).channels,
        "Channels : Stereo ");
}

TEST(WavReader, RefusesMalformedFiles) {
    const std::string fmt = fmtChunk(2, 44100, 16);
    const std::string data = chunk("data", "abcd");
    struct Case {
        const char* name;
        std::string bytes;
        Status status;
    };
    const std::vector<Case> cases = {
        {"empty", "", Status::NotWave},
        {"short", "RIFF" + le(4, 4) + "WAV", Status::NotWave},
        {"not riff", "RIFX" + riff(fmt + data).substr(4), Status::NotWave},
        {"not wave", "RIFF" + le(4, 4) + "AVI ", Status::NotWave},
        {"no chunks", riff(""), Status::NoFormat},
        {"data before fmt", riff(data + fmt), Status::NoFormat},
        {"short fmt", riff(chunk("fmt ", std::string(14, '\1')) + data), Status::NoFormat},
        {"cut in fmt", riff(fmt).substr(0, 30), Status::NoFormat},
        {"no data", riff(fmt + chunk("LIST", "xy")), Status::NoData},
        {"chunk past the end", riff(fmt + "LIST" + le(1000, 4) + data), Status::NoData},
        {"cut in a chunk header", riff(fmt) + "da", Status::NoData},
        {"zero channels", riff(chunk("fmt ", le(1, 2) + le(0, 2) + std::string(12, '\1')) + data),
         Status::BadFormat},
        {"zero block align",
         riff(chunk("fmt ", le(1, 2) + le(2, 2) + le(44100, 4) + le(0, 4) + le(0, 2) + le(16, 2)) +
              data),
         Status::BadFormat},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readString(c.bytes).status, c.status) << c.name;
    }
    const WavInfo bad = readString(cases.back().bytes);
    EXPECT_EQ(WavReader::formatTexts(bad).sampleRate, "");

    test::TempDir dir;
    EXPECT_EQ(WavReader::readFile(dir.file("none.wav")).status, Status::CannotOpen);
    EXPECT_EQ(WavReader::readFile(dir.path()).status, Status::CannotOpen);
    EXPECT_EQ(WavReader::formatTexts(dir.file("none.wav")).channels, "");
}

}  // namespace
}  // namespace orvel
