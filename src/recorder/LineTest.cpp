#include "recorder/LineTest.h"

#include <QLoggingCategory>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "audio/CaptureEngine.h"
#include "audio/WavReader.h"
#include "audio/WavWriter.h"
#include "devices/MixerControl.h"

Q_LOGGING_CATEGORY(lcLineTest, "orvel.recorder.linetest")

namespace orvel {

namespace {

// The mean distance from silence of an 8-bit block, as the measure computes it.
int blockLevel(const std::vector<std::uint8_t>& block) {
    if (block.empty()) {
        return 0;
    }
    long sum = 0;
    for (const std::uint8_t byte : block) {
        sum += std::abs(static_cast<int>(byte) - MixerControl::kSilentByte);
    }
    return static_cast<int>(sum / static_cast<long>(block.size()));
}

}  // namespace

LineTest::LineTest(CaptureEngine& engine, MixerControl& mixer, platform::SoundServer& server,
                   CaptureSourceFactory sources, QObject* parent)
    : QObject(parent),
      m_engine(engine),
      m_mixer(mixer),
      m_server(server),
      m_sources(std::move(sources)) {
    m_soundWait.setSingleShot(true);
    m_longest.setSingleShot(true);
    connect(&m_soundWait, &QTimer::timeout, this, [this] {
        if (m_state == State::Starting) {
            beginCapture(m_captured.size());
        }
    });
    connect(&m_longest, &QTimer::timeout, this, [this] {
        if (m_state == State::Starting || m_state == State::Capturing) {
            finishCapture();
        }
    });
    connect(&m_engine, &CaptureEngine::blockHandled, this, &LineTest::onBlock);
    connect(&m_engine, &CaptureEngine::finished, this, &LineTest::onFinished);
}

LineTest::~LineTest() = default;

std::string LineTest::testFilePath(int line) {
    // Made once for the process, mode 700, removed at exit with whatever it holds.
    static QTemporaryDir folder(QDir::tempPath() + "/orvel-linetest-XXXXXX");
    return folder.path().toStdString() + "/AudioTestRec" + std::to_string(line) + ".wav";
}

StartResult LineTest::start(int line, bool automatic) {
    if (running() || m_cancelled) {
        return StartResult::DeviceUnavailable;
    }
    const platform::SoundLine* soundLine = m_mixer.line(line);
    if (soundLine == nullptr || !m_mixer.selectLine(line)) {
        return StartResult::DeviceUnavailable;
    }
    CaptureOptions options;
    options.format = AudioFormat{kTestChannels, kTestRate, kTestBits};
    options.shortBlocks = true;  // levels only: the test keeps its file itself
    // A test hears the line as it is: no gate, no filter, no waiting for a signal.
    m_engine.setProcessing(ProcessingSettings{});
    std::unique_ptr<CaptureSource> source =
        m_sources ? m_sources(*soundLine) : m_server.createCaptureSource(*soundLine);
    const StartResult result = m_engine.start(std::move(source), options);
    if (result != StartResult::Ok) {
        qCWarning(lcLineTest) << "test of line" << line << "refused:" << static_cast<int>(result);
        return result;
    }
    m_line = line;
    m_automatic = automatic;
    m_path = testFilePath(line);
    m_captured.clear();
    m_soundAt.reset();
    m_announced = false;
    m_state = State::Starting;
    m_longest.start(kLongestMs);
    return StartResult::Ok;
}

void LineTest::cancel() {
    if (!running()) {
        return;
    }
    m_soundWait.stop();
    m_longest.stop();
    m_state = State::Idle;
    m_captured.clear();
    if (m_engine.state() == CaptureEngine::State::Running) {
        m_cancelled = true;
        m_engine.stop();
    }
}

void LineTest::onBlock() {
    if (m_state != State::Starting && m_state != State::Capturing) {
        return;
    }
    const std::vector<std::uint8_t>& block = m_engine.latestBlock();
    if (m_state == State::Starting && !m_announced) {
        m_announced = true;
        m_mixer.announceLine(m_line);
        m_soundWait.start(kSoundWaitMs);
    }
    m_captured.insert(m_captured.end(), block.begin(), block.end());
    if (m_state == State::Starting && blockLevel(block) >= MixerControl::kFoundLevel) {
        beginCapture(m_captured.size() - block.size());
    }
    if (m_state == State::Capturing && m_captured.size() - *m_soundAt >= kTestBytes) {
        finishCapture();
    }
}

void LineTest::beginCapture(std::size_t soundAt) {
    m_soundWait.stop();
    m_state = State::Capturing;
    m_soundAt = soundAt;
}

void LineTest::finishCapture() {
    m_soundWait.stop();
    m_longest.stop();
    if (m_state == State::Finishing) {
        return;
    }
    m_state = State::Finishing;
    if (m_engine.state() == CaptureEngine::State::Running) {
        m_engine.stop();
    } else if (m_engine.state() == CaptureEngine::State::Idle) {
        onFinished();
    }
}

std::ptrdiff_t LineTest::fileStart() const {
    if (!m_soundAt) {
        return 0;
    }
    const std::size_t frameBytes = kTestChannels * kTestBits / 8;
    const std::size_t measured = MixerControl::kMeasureBytes;
    const std::size_t offset = MixerControl::kMeasureOffset - WavWriter::kHeaderBytes;
    const std::size_t step = (kTestRate / 100) * frameBytes;  // 10 ms
    const std::size_t lookBack = kLookBackMs * (kTestRate / 1000) * frameBytes;
    // The strongest stretch of the first sound, and the file's start that puts it where the
    // measure reads.
    std::size_t best = *m_soundAt;
    long bestSum = -1;
    for (std::size_t at = *m_soundAt > lookBack ? *m_soundAt - lookBack : 0;
         at + measured <= m_captured.size() && at <= *m_soundAt + lookBack; at += step) {
        long sum = 0;
        for (std::size_t i = at; i < at + measured; ++i) {
            sum += std::abs(static_cast<int>(m_captured[i]) - MixerControl::kSilentByte);
        }
        if (sum > bestSum) {
            bestSum = sum;
            best = at;
        }
    }
    // Before the first byte the line delivered, silence stands in (frames stay whole: every
    // position here is even).
    return static_cast<std::ptrdiff_t>(best) - static_cast<std::ptrdiff_t>(offset);
}

void LineTest::onFinished() {
    if (m_cancelled) {
        m_cancelled = false;
        return;
    }
    // Any end of the test's run ends the test, also one the engine made by itself (the line
    // went away): what was captured is measured.
    if (!running()) {
        return;
    }
    m_soundWait.stop();
    m_longest.stop();
    const std::ptrdiff_t start = fileStart();
    const std::vector<std::uint8_t> lead(start < 0 ? static_cast<std::size_t>(-start) : 0,
                                         MixerControl::kSilentByte);
    const std::size_t from = start > 0 ? static_cast<std::size_t>(start) : 0;
    WavWriter file;
    bool written = file.open(m_path, AudioFormat{kTestChannels, kTestRate, kTestBits}) ==
                   WavWriter::Result::Ok;
    if (written && !lead.empty()) {
        written = file.append(lead.data(), lead.size()) == WavWriter::Result::Ok;
    }
    if (written && from < m_captured.size()) {
        written = file.append(m_captured.data() + from, m_captured.size() - from) ==
                  WavWriter::Result::Ok;
    }
    written = file.close() == WavWriter::Result::Ok && written;
    if (!written) {
        qCWarning(lcLineTest) << "cannot write the test file" << QString::fromStdString(m_path);
    }
    m_captured.clear();
    int level = 0;
    if (m_automatic) {
        level = MixerControl::measureTestFile(m_path);
    } else {
        playBack(m_path);
    }
    std::remove(m_path.c_str());
    m_state = State::Idle;
    emit done(m_line, level);
}

void LineTest::playBack(const std::string& path) {
    const WavInfo info = WavReader::readFile(path);
    if (!info.ok() || !info.audioFormat().isValid()) {
        return;
    }
    std::ifstream file(path, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(info.dataOffset));
    std::vector<std::uint8_t> pcm(static_cast<std::size_t>(info.dataSize));
    file.read(reinterpret_cast<char*>(pcm.data()), static_cast<std::streamsize>(pcm.size()));
    pcm.resize(static_cast<std::size_t>(file.gcount()));
    if (!pcm.empty()) {
        m_server.playSound(info.audioFormat(), std::move(pcm));
    }
}

}  // namespace orvel
