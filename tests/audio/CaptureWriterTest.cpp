#include "audio/CaptureWriter.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <vector>

#include "audio/CaptureAssembler.h"

namespace orvel {
namespace {

constexpr std::size_t kBlock = 1600;
constexpr std::size_t kChunk = 4608;  // an encoder's chunk: no whole number of blocks

// Files in memory, written only once the disk is let go, so that the ring holds several files.
struct Disk {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    bool finished = false;
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::vector<std::string> done;  // in the order they were reported complete
};

class MemoryOutput : public AudioOutput {
public:
    MemoryOutput(Disk& disk, std::string path) : m_disk(disk), m_path(std::move(path)) {}
    std::size_t chunkBytes() const override { return kChunk; }
    bool write(const std::uint8_t* pcm, std::size_t bytes) override {
        std::unique_lock lock(m_disk.mutex);
        m_disk.changed.wait(lock, [this] { return m_disk.open; });
        auto& file = m_disk.files[m_path];
        file.insert(file.end(), pcm, pcm + bytes);
        m_written += bytes;
        return true;
    }
    bool finish() override { return true; }
    std::uint64_t bytesWritten() const override { return m_written; }
    std::string lastError() const override { return {}; }

private:
    Disk& m_disk;
    std::string m_path;
    std::atomic<std::uint64_t> m_written{0};
};

std::unique_ptr<OutputFile> memoryFile(Disk& disk, const std::string& path) {
    // No such path on the real disk: the file has no identity to check when it completes.
    return std::make_unique<OutputFile>(std::make_unique<MemoryOutput>(disk, path),
                                        "/nonexistent/" + path, false);
}

// Splits fall inside the encoder's chunks while the disk lags, one right after another, and
// twice before a block comes: every block lands whole in the file it was queued for, the files
// are completed in order, and a split that never got a block leaves no file.
TEST(CaptureWriter, ASplitNeverCutsABlockBetweenTwoFiles) {
    Disk disk;
    CaptureWriter::Hooks hooks;
    hooks.openFile = [&](const std::string& path, std::string&) { return memoryFile(disk, path); };
    hooks.fileDone = [&](std::unique_ptr<OutputFile>, CompletedFile report) {
        std::lock_guard lock(disk.mutex);
        disk.done.push_back(report.path.toStdString());
    };
    hooks.writeFailed = [] { ADD_FAILURE() << "no write fails here"; };
    hooks.finished = [&] {
        std::lock_guard lock(disk.mutex);
        disk.finished = true;
        disk.changed.notify_all();
    };
    CaptureWriter::Setup setup;
    setup.file = memoryFile(disk, "a");
    setup.ring = std::make_unique<BlockRing>(1 << 20);
    setup.blockBytes = kBlock;
    CaptureWriter writer(std::move(setup), hooks);
    CaptureAssembler assembler(4, kBlock, 0, {});
    writer.start(assembler);

    // Which file each block goes to; a split comes before the block that opens its file.
    const std::map<int, std::string> splits{{3, "b"}, {4, "c"}, {11, "e"}};
    std::map<std::string, std::vector<std::uint8_t>> expected;
    std::string current = "a";
    for (int n = 0; n < 20; ++n) {
        if (auto split = splits.find(n); split != splits.end()) {
            if (split->second == "e") {
                ASSERT_TRUE(writer.split("d"));  // replaced before any block opens it
            }
            ASSERT_TRUE(writer.split(split->second));
            current = split->second;
        }
        const std::vector<std::uint8_t> block(kBlock, static_cast<std::uint8_t>(n));
        ASSERT_TRUE(writer.write(block.data(), block.size()));
        auto& file = expected[current];
        file.insert(file.end(), block.begin(), block.end());
    }
    {
        std::lock_guard lock(disk.mutex);
        disk.open = true;
    }
    disk.changed.notify_all();
    writer.drain();
    {
        std::unique_lock lock(disk.mutex);
        disk.changed.wait(lock, [&] { return disk.finished; });
    }
    writer.join();

    EXPECT_EQ(disk.files, expected);
    EXPECT_EQ(disk.done,
              (std::vector<std::string>{"/nonexistent/a", "/nonexistent/b", "/nonexistent/c"}));
    ASSERT_TRUE(writer.lastFile().has_value());
    EXPECT_EQ(writer.lastFile()->path.toStdString(), "/nonexistent/e");
    EXPECT_TRUE(writer.ok());
    EXPECT_EQ(writer.bytesWritten(), expected["e"].size());
}

}  // namespace
}  // namespace orvel
