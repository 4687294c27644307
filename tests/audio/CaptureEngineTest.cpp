#include "audio/CaptureEngine.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <QSignalSpy>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "audio/FileLock.h"
#include "audio/WavFileCaptureSource.h"
#include "audio/WavReader.h"
#include "audio/WavWriter.h"
#include "support/Signal.h"
#include "support/TempDir.h"
#include "support/WavData.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::TempDir;

void writeWav(const std::string& path, const AudioFormat& format,
              const std::vector<std::uint8_t>& pcm) {
    WavWriter writer;
    ASSERT_EQ(writer.open(path, format), WavWriter::Result::Ok);
    ASSERT_EQ(writer.append(pcm.data(), pcm.size()), WavWriter::Result::Ok);
    ASSERT_EQ(writer.close(), WavWriter::Result::Ok);
}

std::vector<std::uint8_t> concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> all;
    for (const auto& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

std::vector<std::uint8_t> measured(std::vector<std::uint8_t> pcm, const AudioFormat& format) {
    return test::floorSilenced(std::move(pcm), format);
}

int threadCount() {
    int n = 0;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* e = readdir(dir)) {
            n += e->d_name[0] != '.';
        }
        closedir(dir);
    }
    return n;
}

// An output standing in for a disk that stalls or fills up: it holds the writer until released,
// and can refuse data after a number of bytes.
class StallingOutput : public AudioOutput {
public:
    StallingOutput(std::size_t chunk, std::size_t failAfter)
        : m_chunk(chunk), m_failAfter(failAfter) {}
    std::size_t chunkBytes() const override { return m_chunk; }
    void setChunkBytes(std::size_t chunk) { m_chunk = chunk; }
    bool write(const std::uint8_t* pcm, std::size_t bytes) override {
        std::unique_lock lock(m_mutex);
        m_released.wait(lock, [this] { return m_open; });
        if (m_data.size() + bytes > m_failAfter) {
            return false;
        }
        m_data.insert(m_data.end(), pcm, pcm + bytes);
        m_written = m_data.size();
        return true;
    }
    bool finish() override {
        std::lock_guard lock(m_mutex);
        m_finished = true;
        return true;
    }
    std::uint64_t bytesWritten() const override { return m_written; }
    std::string lastError() const override { return "no space left on the stand-in disk"; }

    void release() {
        {
            std::lock_guard lock(m_mutex);
            m_open = true;
        }
        m_released.notify_all();
    }
    std::vector<std::uint8_t> data() {
        std::lock_guard lock(m_mutex);
        return m_data;
    }
    bool finished() {
        std::lock_guard lock(m_mutex);
        return m_finished;
    }
    void hold() {
        std::lock_guard lock(m_mutex);
        m_open = false;
    }

private:
    std::size_t m_chunk;
    std::size_t m_failAfter;
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_open = true;
    bool m_finished = false;
    std::vector<std::uint8_t> m_data;
    std::atomic<std::uint64_t> m_written{0};
};

class CaptureEngineTest : public ::testing::Test {
protected:
    // Records `pcm` (as a WAV file fed through the engine) and returns what reached the file.
    std::vector<std::uint8_t> record(
        const AudioFormat& format, const std::vector<std::uint8_t>& pcm,
        CaptureOptions options = {},
        WavFileCaptureSource::Pacing pacing = WavFileCaptureSource::Pacing::AsTaken,
        std::size_t pieceBytes = 3001) {
        const std::string in = dir.file("in.wav");
        const std::string out = dir.file("out.wav");
        writeWav(in, format, pcm);
        options.format = format;
        options.fileName = out;
        auto source = std::make_unique<WavFileCaptureSource>(in, pacing, pieceBytes);
        EXPECT_EQ(engine.start(std::move(source), options), StartResult::Ok);
        EXPECT_TRUE(engine.waitUntilIdle(30s));
        return test::wavPcm(out);
    }

    // The next run writes into a StallingOutput that holds the writer until released.
    StallingOutput* stallTheDisk() {
        auto* stalled = new StallingOutput(0, SIZE_MAX);
        stalled->hold();
        engine.setOutputFactory([stalled](const OutputRequest& request, StartResult& result) {
            stalled->setChunkBytes(static_cast<std::size_t>(request.blockBytes) * 2);
            result = StartResult::Ok;
            return std::unique_ptr<AudioOutput>(stalled);
        });
        return stalled;
    }

    TempDir dir;
    CaptureEngine engine;
};

TEST(CaptureBlockSize, IsATenthOfASecondInWholeFrames) {
    EXPECT_EQ(CaptureEngine::blockSizeFor({2, 44100, 16}, false), 17640u);
    EXPECT_EQ(CaptureEngine::blockSizeFor({2, 11025, 8}, false), 2204u);
    EXPECT_EQ(CaptureEngine::blockSizeFor({1, 11025, 16}, false), 2204u);
    EXPECT_EQ(CaptureEngine::blockSizeFor({2, 48000, 16}, false), 19200u);
    EXPECT_EQ(CaptureEngine::blockSizeFor({2, 44100, 16}, true), 2000u);
}

TEST_F(CaptureEngineTest, WritesEveryCapturedByteInOrder) {
    for (const AudioFormat format : {AudioFormat{2, 44100, 16}, AudioFormat{1, 11025, 16},
                                     AudioFormat{2, 11025, 8}, AudioFormat{1, 8000, 8}}) {
        SCOPED_TRACE(format.sampleRate);
        const auto pcm = measured(test::sinePcm(437.3, -6, 2.37, format.sampleRate, format.channels,
                                                format.bitsPerSample),
                                  format);
        QSignalSpy finished(&engine, &CaptureEngine::finished);
        QSignalSpy ended(&engine, &CaptureEngine::captureEnded);
        const auto written = record(format, pcm);
        EXPECT_EQ(written, pcm);
        EXPECT_EQ(engine.bytesWritten(), pcm.size());
        EXPECT_EQ(engine.bytesQueued(), pcm.size());
        EXPECT_EQ(engine.droppedBytes(), 0u);
        ASSERT_EQ(finished.count(), 1);
        EXPECT_TRUE(finished.at(0).at(0).toBool());
        ASSERT_EQ(ended.count(), 1);
        EXPECT_EQ(ended.at(0).at(0).value<CaptureEnd>(), CaptureEnd::EndOfInput);
    }
}

TEST_F(CaptureEngineTest, ShortBlocksGoStraightToTheFileWithoutAWriterThread) {
    const AudioFormat format{2, 44100, 16};
    const auto pcm = measured(test::sinePcm(1000, -3, 1.0, 44100, 2, 16), format);
    writeWav(dir.file("in.wav"), format, pcm);

    auto threadsOfARun = [&](bool shortBlocks) {
        CaptureOptions options;
        options.format = format;
        options.fileName = dir.file(shortBlocks ? "short.wav" : "long.wav");
        options.shortBlocks = shortBlocks;
        const int before = threadCount();
        // Paced in real time, so that the run is still going when the threads are counted.
        engine.start(std::make_unique<WavFileCaptureSource>(dir.file("in.wav"),
                                                            WavFileCaptureSource::Pacing::RealTime),
                     options);
        const int during = threadCount() - before;
        engine.stop();
        EXPECT_TRUE(engine.waitUntilIdle(10s));
        return during;
    };
    EXPECT_EQ(engine.blockBytes(), 0u);
    const int withWriter = threadsOfARun(false);
    const int withoutWriter = threadsOfARun(true);
    EXPECT_EQ(withWriter - withoutWriter, 1);

    // And the short-block file holds everything, too.
    const auto written = record(format, pcm, CaptureOptions{.shortBlocks = true});
    EXPECT_EQ(engine.blockBytes(), 2000u);
    EXPECT_EQ(written, pcm);
}

TEST_F(CaptureEngineTest, PauseKeepsMeasuringWhileTheFileDoesNotGrow) {
    const AudioFormat format{2, 44100, 16};
    const auto pcm = measured(test::sinePcm(437.3, -6, 2.0, 44100, 2, 16), format);  // 20 blocks
    int handled = 0;
    int handledWhilePaused = 0;
    QObject::connect(&engine, &CaptureEngine::blockHandled, [&] {
        ++handled;
        if (engine.isPaused()) {
            ++handledWhilePaused;
            EXPECT_GT(engine.levels().left, 0u);
        }
        if (handled == 5) {
            engine.setPaused(true);  // blocks 6..10 are measured, not written
        } else if (handled == 10) {
            engine.setPaused(false);
        }
    });
    const auto written = record(format, pcm);
    const std::size_t block = 17640;
    EXPECT_EQ(handled, 20);
    EXPECT_EQ(handledWhilePaused, 5);
    ASSERT_EQ(written.size(), pcm.size() - 5 * block);
    EXPECT_TRUE(std::equal(written.begin(), written.begin() + 5 * block, pcm.begin()));
    EXPECT_TRUE(std::equal(written.begin() + 5 * block, written.end(), pcm.begin() + 10 * block));
}

TEST_F(CaptureEngineTest, AStopFromABlockListenerWritesEveryBlockOnce) {
    const AudioFormat format{2, 44100, 16};
    // A frequency whose blocks all differ, so that a block written twice shows.
    const auto pcm = measured(test::sinePcm(437.3, -6, 3.0, 44100, 2, 16), format);
    int handled = 0;
    QObject::connect(&engine, &CaptureEngine::blockHandled, [&] {
        if (++handled == 5) {
            engine.stop();
        }
    });
    const auto written = record(format, pcm);
    // What was captured up to the stop, in order, each block once.
    ASSERT_GE(written.size(), 5u * 17640);
    ASSERT_LE(written.size(), pcm.size());
    EXPECT_TRUE(std::equal(written.begin(), written.end(), pcm.begin()));
    EXPECT_EQ(written.size(), engine.bytesQueued());
}

// A live source never waits for the engine: 5 s delivered at once, or 2 s captured while the
// owner thread is busy, must all reach the file, in order.
TEST_F(CaptureEngineTest, BurstsAndABusyOwnerThreadLoseNothing) {
    const AudioFormat format{2, 44100, 16};
    const std::size_t second = format.bytesPerSecond();
    // The ring a recording gets from its memory budget (half the free memory, up to 64 MiB);
    // the hand-over queue holds at least 10 s whatever the budget.
    CaptureOptions options;
    options.ringCapacity = 4 << 20;
    {
        SCOPED_TRACE("5 s in one piece");
        const auto pcm = measured(test::sinePcm(437.3, -6, 5.0, 44100, 2, 16), format);
        EXPECT_EQ(record(format, pcm, options, WavFileCaptureSource::Pacing::RealTime, 5 * second),
                  pcm);
        EXPECT_EQ(engine.droppedBytes(), 0u);
    }
    {
        SCOPED_TRACE("the owner thread blocked for 2 s");
        const auto pcm = measured(test::sinePcm(437.3, -6, 3.5, 44100, 2, 16), format);
        int handled = 0;
        const auto connection = QObject::connect(&engine, &CaptureEngine::blockHandled, [&] {
            if (++handled == 5) {
                std::this_thread::sleep_for(2s);
            }
        });
        EXPECT_EQ(record(format, pcm, options, WavFileCaptureSource::Pacing::RealTime), pcm);
        EXPECT_EQ(engine.droppedBytes(), 0u);
        QObject::disconnect(connection);
    }
}

// Signal mode pauses after silence and resumes on the tick after a strong block, a block or so
// late: resumeFromSignal() still writes the passage from its first strong block on, with the
// pre-roll before it; the user's resume (setPaused(false)) writes from the resume on.
struct ResumeCase {
    bool bySignal;
    int preRollMs;
    int firstWrittenBlock;  // of the second passage
};

class SignalResume : public CaptureEngineTest, public ::testing::WithParamInterface<ResumeCase> {};

TEST_P(SignalResume, WritesThePassageFromWhereItWasKept) {
    const ResumeCase c = GetParam();
    const AudioFormat format{1, 8000, 16};  // 1600-byte blocks
    const std::size_t block = 1600;
    const auto loud = measured(test::sinePcm(500, -6, 1.0, 8000, 1, 16), format);
    const std::vector<std::uint8_t> quiet(8000 * 2 * 2, 0);  // 2 s: the onset is block 30
    const auto pcm = concat({loud, quiet, loud});
    ProcessingSettings settings;
    settings.threshold = 20;
    settings.preRollMs = c.preRollMs;
    engine.setProcessing(settings);
    int handled = 0;
    int resumeAt = -1;
    QObject::connect(&engine, &CaptureEngine::blockHandled, [&] {
        ++handled;
        if (handled == 15) {
            engine.setPaused(true);
        } else if (engine.isPaused() && engine.onsetHeld() && resumeAt < 0) {
            resumeAt = handled + 1;  // the next tick
        } else if (handled == resumeAt) {
            if (c.bySignal) {
                engine.resumeFromSignal();
            } else {
                engine.setPaused(false);
            }
        }
    });
    const auto written = record(format, pcm);
    EXPECT_EQ(resumeAt, 32);
    const auto expected =
        concat({std::vector<std::uint8_t>(pcm.begin(), pcm.begin() + 15 * block),
                std::vector<std::uint8_t>(pcm.begin() + c.firstWrittenBlock * block, pcm.end())});
    EXPECT_EQ(written, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SignalResume,
                         ::testing::Values(ResumeCase{true, 0, 30}, ResumeCase{true, 300, 27},
                                           ResumeCase{false, 300, 32}));

// In signal-activated mode the file starts the pre-roll before the first loud sample, to within
// a block: the blocks before the onset's own block, as many as cover the pre-roll.
TEST_F(CaptureEngineTest, APreRollStartsTheFileBeforeTheOnset) {
    const AudioFormat format{1, 8000, 16};
    const std::size_t block = 1600;
    const auto hum = measured(test::sinePcm(300, -60, 2.05, 8000, 1, 16), format);
    const auto burst = measured(test::sinePcm(500, -6, 1.0, 8000, 1, 16), format);
    const auto pcm = concat({hum, burst});
    ProcessingSettings settings;
    settings.signalActivated = true;
    settings.threshold = 20;
    settings.silenceDelaySeconds = 5;
    settings.preRollMs = 500;
    engine.setProcessing(settings);
    const auto written = record(format, pcm);

    const std::size_t onset = hum.size();
    const std::size_t start = (onset / block - 5) * block;
    ASSERT_EQ(written.size(), pcm.size() - start);
    EXPECT_TRUE(std::equal(written.begin(), written.end(), pcm.begin() + start));
    const double lead = static_cast<double>(onset - start) / format.bytesPerSecond();
    EXPECT_NEAR(lead, 0.5, 0.1);
}

TEST_F(CaptureEngineTest, SignalActivatedModeQueuesOnlyWhileTheSignalFlagIsSet) {
    const AudioFormat format{1, 8000, 16};  // 1600-byte blocks
    const auto loud = measured(test::sinePcm(500, -6, 0.5, 8000, 1, 16), format);
    const std::vector<std::uint8_t> quiet(8000 * 2 * 2, 0);  // 2 s
    const auto pcm = concat({loud, quiet, loud});

    // Each block is 100 ms of the clock, so the silence delay counts in blocks.
    auto now = std::chrono::steady_clock::time_point{} + 1000s;
    engine.setClock([&] { return now; });
    QObject::connect(&engine, &CaptureEngine::blockHandled, [&] { now += 100ms; });

    ProcessingSettings settings;
    settings.signalActivated = true;
    settings.threshold = 20;
    settings.silenceDelaySeconds = 1;
    engine.setProcessing(settings);
    const auto written = record(format, pcm);

    // Both loud half-seconds, and of the quiet after the first one the blocks less than a second
    // after the last loud block; the second loud part ends the file.
    const std::size_t block = 1600;
    ASSERT_EQ(written.size(), loud.size() * 2 + 9 * block);
    EXPECT_TRUE(std::equal(loud.begin(), loud.end(), written.begin()));
    EXPECT_TRUE(
        std::equal(loud.begin(), loud.end(), written.end() - static_cast<long>(loud.size())));
}

TEST_F(CaptureEngineTest, AFullRingDropsTheExcessAndKeepsTheOlderData) {
    const AudioFormat format{2, 48000, 16};  // 19200-byte blocks, 38400-byte chunks
    const auto pcm = measured(test::sinePcm(437.3, -6, 1.5, 48000, 2, 16), format);
    StallingOutput* stalled = stallTheDisk();
    writeWav(dir.file("in.wav"), format, pcm);
    CaptureOptions options;
    options.format = format;
    options.fileName = dir.file("out.wav");
    options.ringCapacity = 100000;
    QSignalSpy told(&engine, &CaptureEngine::soundDropped);
    ASSERT_EQ(engine.start(std::make_unique<WavFileCaptureSource>(
                               dir.file("in.wav"), WavFileCaptureSource::Pacing::RealTime),
                           options),
              StartResult::Ok);
    // The disk stalls for longer than the ring lasts.
    const auto until = std::chrono::steady_clock::now() + 1200ms;
    while (std::chrono::steady_clock::now() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_GT(engine.droppedBytes(), 0u);
    EXPECT_GE(told.count(), 1) << "the loss is told while the run goes on";
    stalled->release();
    ASSERT_TRUE(engine.waitUntilIdle(10s));
    ASSERT_GE(told.count(), 1);
    EXPECT_EQ(told.last().at(0).toULongLong(), engine.droppedBytes());
    const auto data = stalled->data();
    // The start of the recording survived whole: 100000 bytes fit before anything was dropped.
    ASSERT_GE(data.size(), 100000u);
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 100000, pcm.begin()));
    EXPECT_EQ(data.size() + engine.droppedBytes(), pcm.size());
}

TEST_F(CaptureEngineTest, StopWritesWhatIsStillInTheRing) {
    const AudioFormat format{2, 44100, 16};
    const auto pcm = measured(test::sinePcm(437.3, -6, 3.0, 44100, 2, 16), format);
    StallingOutput* stalled = stallTheDisk();
    writeWav(dir.file("in.wav"), format, pcm);
    CaptureOptions options;
    options.format = format;
    options.fileName = dir.file("out.wav");
    options.ringCapacity = 1 << 20;
    ASSERT_EQ(engine.start(std::make_unique<WavFileCaptureSource>(dir.file("in.wav")), options),
              StartResult::Ok);
    // Let some blocks reach the ring while the disk holds the writer.
    while (engine.bytesQueued() < 8 * 17640) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    engine.stop();
    const std::uint64_t queued = engine.bytesQueued();
    EXPECT_EQ(stalled->bytesWritten(), 0u);
    stalled->release();
    ASSERT_TRUE(engine.waitUntilIdle(10s));
    EXPECT_TRUE(stalled->finished());
    const auto data = stalled->data();
    ASSERT_EQ(data.size(), queued);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), pcm.begin()));
}

TEST_F(CaptureEngineTest, AFailingWriteStopsTheRunAndSaysWhy) {
    const AudioFormat format{2, 44100, 16};
    const auto pcm = test::sinePcm(437.3, -6, 3.0, 44100, 2, 16);
    engine.setOutputFactory([&](const OutputRequest& request, StartResult& result) {
        result = StartResult::Ok;
        return std::make_unique<StallingOutput>(request.blockBytes * 2, 100000);
    });
    QSignalSpy failed(&engine, &CaptureEngine::writeFailed);
    QSignalSpy finished(&engine, &CaptureEngine::finished);
    writeWav(dir.file("in.wav"), format, pcm);
    CaptureOptions options;
    options.format = format;
    options.fileName = dir.file("out.wav");
    ASSERT_EQ(engine.start(std::make_unique<WavFileCaptureSource>(dir.file("in.wav")), options),
              StartResult::Ok);
    ASSERT_TRUE(engine.waitUntilIdle(10s));
    ASSERT_EQ(failed.count(), 1);
    EXPECT_EQ(failed.at(0).at(0).toString(), "no space left on the stand-in disk");
    ASSERT_EQ(finished.count(), 1);
    EXPECT_FALSE(finished.at(0).at(0).toBool());
    EXPECT_FALSE(engine.isRunning());
}

TEST_F(CaptureEngineTest, RefusesWhatItCannotRecord) {
    const AudioFormat format{2, 44100, 16};
    writeWav(dir.file("in.wav"), format, test::sinePcm(437.3, -6, 0.5, 44100, 2, 16));
    auto source = [&] { return std::make_unique<WavFileCaptureSource>(dir.file("in.wav")); };

    CaptureOptions options;
    options.format = {2, 44000, 16};
    options.fileName = dir.file("out.wav");
    EXPECT_EQ(engine.start(source(), options), StartResult::FormatError);

    options.format = format;
    options.fileName = dir.file("no/such/folder/out.wav");
    EXPECT_EQ(engine.start(source(), options), StartResult::FileError);

    // A source that refuses to start (here: a file of another format) leaves no file behind.
    options.format = {1, 44100, 16};
    options.fileName = dir.file("out.wav");
    EXPECT_EQ(engine.start(source(), options), StartResult::DeviceUnavailable);
    EXPECT_FALSE(std::ifstream(options.fileName).good());

    // Without an encoder, the MP3 and WMA outputs are refused with their own results.
    options.format = format;
    options.outputFormat = OutputFormat::Mp3;
    EXPECT_NE(engine.start(source(), options), StartResult::Ok);
    EXPECT_FALSE(engine.isRunning());

    // One run at a time.
    options.outputFormat = OutputFormat::Wav;
    CaptureEngine other;
    ASSERT_EQ(engine.start(source(), options), StartResult::Ok);
    EXPECT_EQ(other.start(source(), options), StartResult::DeviceUnavailable);
    engine.stop();
    EXPECT_TRUE(engine.waitUntilIdle(10s));
}

// Another recorder's file (here held by the test, as another program holds it) is neither
// truncated nor removed; the engine's own run holds its file until it is complete.
TEST_F(CaptureEngineTest, AFileAnotherRecordingHoldsIsLeftAsItIs) {
    const AudioFormat format{2, 44100, 16};
    const auto pcm = test::sinePcm(437.3, -6, 0.5, 44100, 2, 16);
    writeWav(dir.file("in.wav"), format, pcm);
    writeWav(dir.file("take.wav"), format, pcm);
    const auto before = test::wavPcm(dir.file("take.wav"));
    auto source = [&] { return std::make_unique<WavFileCaptureSource>(dir.file("in.wav")); };
    CaptureOptions options;
    options.format = format;

    for (const char* name : {"take.wav", "new.wav"}) {
        SCOPED_TRACE(name);
        options.fileName = dir.file(name);
        FileLock other;
        ASSERT_EQ(other.acquire(options.fileName), FileLock::Result::Locked);
        EXPECT_EQ(engine.start(source(), options), StartResult::FileInUse);
        EXPECT_EQ(engine.startError().text,
                  "\"" + options.fileName + "\" is being recorded by another Orvel");
        EXPECT_FALSE(engine.isRunning());
        EXPECT_TRUE(std::ifstream(options.fileName).good()) << "the other recording's file went";
    }
    EXPECT_EQ(test::wavPcm(dir.file("take.wav")), before);

    options.fileName = dir.file("take.wav");
    ASSERT_EQ(engine.start(source(), options), StartResult::Ok);
    EXPECT_TRUE(FileLock::inUse(options.fileName));
    FileLock late;
    EXPECT_EQ(late.acquire(options.fileName), FileLock::Result::InUse);
    ASSERT_TRUE(engine.waitUntilIdle(30s));
    EXPECT_FALSE(FileLock::inUse(options.fileName));
    EXPECT_EQ(late.acquire(options.fileName), FileLock::Result::Locked);
}

// Only regular files are claimed: a FIFO is neither waited on nor read from.
TEST(FileLock, ClaimsRegularFilesOnlyAndNeverWaits) {
    TempDir dir;
    const std::string fifo = dir.file("fifo.wav");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    FileLock lock;
    EXPECT_EQ(lock.acquire(fifo), FileLock::Result::NotLockable);
    EXPECT_FALSE(FileLock::inUse(fifo));
    EXPECT_EQ(lock.acquire(dir.file("no/such/folder.wav")), FileLock::Result::NotLockable);
    EXPECT_FALSE(lock.held());

    ASSERT_EQ(lock.acquire(dir.file("made.wav")), FileLock::Result::Locked);
    EXPECT_TRUE(lock.created());
    FileLock moved = std::move(lock);
    EXPECT_FALSE(lock.held());
    EXPECT_TRUE(FileLock::inUse(dir.file("made.wav")));
}

TEST_F(CaptureEngineTest, EightBitRecordingsAreGatedButNeverFiltered) {
    const AudioFormat format{1, 8000, 8};
    const auto pcm = test::sinePcm(3000, -6, 1.0, 8000, 1, 8);
    ProcessingSettings settings;
    settings.lowPass = true;
    settings.lowPassHz = 10000;
    settings.highPass = true;
    settings.highPassHz = 5000;
    engine.setProcessing(settings);
    EXPECT_EQ(record(format, pcm), pcm);

    // A 16-bit recording through the same filters comes out changed.
    const AudioFormat wide{1, 8000, 16};
    const auto pcm16 = test::sinePcm(3000, -6, 1.0, 8000, 1, 16);
    EXPECT_NE(record(wide, pcm16), pcm16);
}

TEST_F(CaptureEngineTest, TheGateSilencesQuietBlocksAfterTheReleaseTime) {
    const AudioFormat format{1, 8000, 16};
    const auto loud = measured(test::sinePcm(500, -6, 0.5, 8000, 1, 16), format);
    const auto hum = measured(test::sinePcm(500, -40, 1.0, 8000, 1, 16), format);
    auto now = std::chrono::steady_clock::time_point{} + 1000s;
    engine.setClock([&] { return now; });
    QObject::connect(&engine, &CaptureEngine::blockHandled, [&] { now += 100ms; });
    ProcessingSettings settings;
    settings.noiseGate = true;
    settings.gateThreshold = 28;  // -20 dB
    settings.gateReleaseSeconds = 0;
    engine.setProcessing(settings);
    const auto written = record(format, concat({loud, hum}));
    ASSERT_EQ(written.size(), loud.size() + hum.size());
    // The loud part and the first quiet block pass; the rest of the hum is silenced.
    EXPECT_TRUE(std::equal(loud.begin(), loud.end(), written.begin()));
    const std::size_t block = 1600;
    EXPECT_TRUE(std::equal(hum.begin(), hum.begin() + block, written.begin() + loud.size()));
    EXPECT_TRUE(std::all_of(written.begin() + loud.size() + block, written.end(),
                            [](std::uint8_t b) { return b == 0; }));
}

}  // namespace
}  // namespace orvel
