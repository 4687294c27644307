#include <gtest/gtest.h>

#include <QFileInfo>
#include <QSignalSpy>
#include <condition_variable>
#include <mutex>

#include "audio/CaptureEngine.h"
#include "audio/StartResult.h"
#include "audio/WavFileCaptureSource.h"
#include "audio/WavOutput.h"
#include "audio/WavReader.h"
#include "audio/WavWriter.h"
#include "support/Signal.h"
#include "support/TempDir.h"
#include "support/WavData.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;

const AudioFormat kFormat{1, 8000, 16};  // 1600-byte blocks, 3200-byte chunks
constexpr std::size_t kBlock = 1600;

// A disk that lags: every file's writes wait until the gate opens.
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;

    void release() {
        {
            std::lock_guard lock(mutex);
            open = true;
        }
        opened.notify_all();
    }
};

class GatedOutput : public AudioOutput {
public:
    GatedOutput(std::unique_ptr<AudioOutput> file, Gate& gate)
        : m_file(std::move(file)), m_gate(gate) {}
    std::size_t chunkBytes() const override { return m_file->chunkBytes(); }
    bool write(const std::uint8_t* pcm, std::size_t bytes) override {
        std::unique_lock lock(m_gate.mutex);
        m_gate.opened.wait(lock, [this] { return m_gate.open; });
        return m_file->write(pcm, bytes);
    }
    bool finish() override { return m_file->finish(); }
    std::uint64_t bytesWritten() const override { return m_file->bytesWritten(); }
    std::string lastError() const override { return m_file->lastError(); }

private:
    std::unique_ptr<AudioOutput> m_file;
    Gate& m_gate;
};

class CaptureSplit : public ::testing::Test {
protected:
    // Starts a run of `pcm`, fed as fast as the engine takes it, into `first`.
    void start(const std::vector<std::uint8_t>& pcm, const std::string& first,
               CaptureOptions options = {}) {
        WavWriter writer;
        ASSERT_EQ(writer.open(dir.file("in.wav"), kFormat), WavWriter::Result::Ok);
        ASSERT_EQ(writer.append(pcm.data(), pcm.size()), WavWriter::Result::Ok);
        ASSERT_EQ(writer.close(), WavWriter::Result::Ok);
        options.format = kFormat;
        options.fileName = dir.file(first);
        options.ringCapacity = 1 << 20;
        ASSERT_EQ(engine.start(std::make_unique<WavFileCaptureSource>(
                                   dir.file("in.wav"), WavFileCaptureSource::Pacing::AsTaken, 3001),
                               options),
                  StartResult::Ok);
    }
    std::vector<std::uint8_t> pcmOf(const std::string& name) {
        return test::wavPcm(dir.file(name));
    }
    static std::vector<std::uint8_t> part(const std::vector<std::uint8_t>& pcm, std::size_t from,
                                          std::size_t to) {
        return {pcm.begin() + static_cast<long>(from * kBlock),
                pcm.begin() + static_cast<long>(std::min(to * kBlock, pcm.size()))};
    }

    test::TempDir dir;
    CaptureEngine engine;
    QSignalSpy started{&engine, &CaptureEngine::fileStarted};
    QSignalSpy completed{&engine, &CaptureEngine::fileCompleted};
};

// Splits while the disk lags: the ring holds the sound of three files at once, the splits fall
// inside the writer's chunks. Every captured byte lands in exactly one file, in order, each file
// starts with the block after its split, and each is reported complete, in order, before the run.
TEST_F(CaptureSplit, SplitsWhileTheDiskLagsPutEveryByteIntoItsOwnFile) {
    const auto pcm = test::floorSilenced(test::sinePcm(437.3, -6, 3.0, 8000, 1, 16), kFormat);
    Gate gate;
    engine.setOutputFactory([&](const OutputRequest& request, StartResult& result) {
        std::unique_ptr<AudioOutput> file = openWavOutput(request, result);
        return file ? std::make_unique<GatedOutput>(std::move(file), gate) : nullptr;
    });
    int handled = 0;
    QObject::connect(&engine, &CaptureEngine::blockHandled, [&] {
        ++handled;
        if (handled == 5) {
            EXPECT_TRUE(engine.splitFile(dir.file("b.wav")));
        } else if (handled == 13) {
            EXPECT_TRUE(engine.splitFile(dir.file("c.wav")));
        } else if (handled == 20) {
            gate.release();
        }
    });
    QSignalSpy finished(&engine, &CaptureEngine::finished);
    QObject::connect(&engine, &CaptureEngine::finished,
                     [&] { EXPECT_EQ(completed.count(), 3) << "every file before the run's end"; });
    start(pcm, "a.wav");
    ASSERT_TRUE(engine.waitUntilIdle(30s));

    EXPECT_EQ(pcmOf("a.wav"), part(pcm, 0, 5));
    EXPECT_EQ(pcmOf("b.wav"), part(pcm, 5, 13));
    EXPECT_EQ(pcmOf("c.wav"), part(pcm, 13, 30));
    EXPECT_EQ(engine.droppedBytes(), 0u);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    ASSERT_EQ(completed.count(), 3);
    ASSERT_EQ(started.count(), 3);
    for (int i = 0; i < 3; ++i) {
        const auto file = completed.at(i).at(0).value<CompletedFile>();
        const QString path =
            QString::fromStdString(dir.file(std::string(1, char('a' + i)) + ".wav"));
        EXPECT_EQ(file.path, path);
        EXPECT_EQ(started.at(i).at(0).toString(), path);
        EXPECT_TRUE(file.ok && file.sound && file.exists) << file.error.toStdString();
    }
}

// A split whose sound never comes leaves no file; nor does a mode's file that heard nothing,
// while a plain recording's file stays what it is.
TEST_F(CaptureSplit, FilesThatHeardNothingAreNotLeftBehind) {
    const auto loud = test::floorSilenced(test::sinePcm(500, -6, 1.0, 8000, 1, 16), kFormat);
    auto pcm = loud;
    pcm.resize(pcm.size() + 3 * kFormat.bytesPerSecond(), 0);
    auto now = std::chrono::steady_clock::time_point{} + 1000s;
    engine.setClock([&] { return now; });
    bool split = false;
    QObject::connect(&engine, &CaptureEngine::blockHandled, [&] {
        now += 100ms;
        if (!split && engine.bytesQueued() > 0 && !engine.signalPresent()) {
            split = engine.splitFile(dir.file("next.wav"));
        }
    });
    ProcessingSettings settings;
    settings.signalActivated = true;
    settings.threshold = 20;
    settings.silenceDelaySeconds = 1;
    engine.setProcessing(settings);
    start(pcm, "track.wav");
    ASSERT_TRUE(engine.waitUntilIdle(30s));
    ASSERT_TRUE(split);
    EXPECT_EQ(pcmOf("track.wav").size(), loud.size() + 9 * kBlock);  // and the delay's silence
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("next.wav"))));
    ASSERT_EQ(completed.count(), 2);
    const auto never = completed.at(1).at(0).value<CompletedFile>();
    EXPECT_EQ(never.path.toStdString(), dir.file("next.wav"));
    EXPECT_FALSE(never.exists || never.sound);

    // A run that hears nothing at all, with and without the removal of an empty file.
    const std::vector<std::uint8_t> silence(2 * kFormat.bytesPerSecond(), 0);
    for (const bool remove : {true, false}) {
        SCOPED_TRACE(remove);
        completed.clear();
        CaptureOptions options;
        options.removeEmptyFile = remove;
        start(silence, "armed.wav", options);
        ASSERT_TRUE(engine.waitUntilIdle(30s));
        ASSERT_EQ(completed.count(), 1);
        const auto armed = completed.at(0).at(0).value<CompletedFile>();
        EXPECT_FALSE(armed.sound);
        EXPECT_EQ(armed.exists, !remove);
        EXPECT_EQ(QFileInfo::exists(QString::fromStdString(dir.file("armed.wav"))), !remove);
    }
}

// The next file cannot be opened when its sound comes (a folder gone, a full disk): the run ends
// as a failed write ends it, and the file before it is complete with everything up to the split.
TEST_F(CaptureSplit, ANextFileThatCannotBeOpenedEndsTheRunAndKeepsTheFileBefore) {
    const auto pcm = test::floorSilenced(test::sinePcm(437.3, -6, 2.0, 8000, 1, 16), kFormat);
    const std::string nowhere = dir.file("gone/next.wav");
    int handled = 0;
    QObject::connect(&engine, &CaptureEngine::blockHandled, [&] {
        if (++handled == 5) {
            engine.splitFile(nowhere);
        }
    });
    QSignalSpy failed(&engine, &CaptureEngine::writeFailed);
    QSignalSpy finished(&engine, &CaptureEngine::finished);
    start(pcm, "kept.wav");
    ASSERT_TRUE(engine.waitUntilIdle(30s));

    ASSERT_EQ(failed.count(), 1);
    EXPECT_NE(failed.at(0).at(0).toString().toStdString().find(nowhere), std::string::npos);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_FALSE(finished.at(0).at(0).toBool());
    const WavInfo kept = WavReader::readFile(dir.file("kept.wav"));
    EXPECT_TRUE(kept.ok() && !kept.sizeRecovered);
    EXPECT_EQ(pcmOf("kept.wav"), part(pcm, 0, 5));
    ASSERT_EQ(completed.count(), 2);
    EXPECT_TRUE(completed.at(0).at(0).value<CompletedFile>().ok);
    EXPECT_FALSE(completed.at(1).at(0).value<CompletedFile>().exists);
}

}  // namespace
}  // namespace orvel
