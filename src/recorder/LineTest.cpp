#include "recorder/LineTest.h"

#include <QLoggingCategory>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "audio/CaptureEngine.h"
#include "audio/WavReader.h"
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
            beginCapture();
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
    m_line = line;
    m_automatic = automatic;
    m_path = testFilePath(line);

    CaptureOptions options;
    options.format = AudioFormat{kTestChannels, kTestRate, kTestBits};
    options.fileName = m_path;
    options.outputFormat = OutputFormat::Wav;
    options.shortBlocks = true;
    // A test measures the line as it is: no gate, no filter, no waiting for a signal.
    m_engine.setProcessing(ProcessingSettings{});
    std::unique_ptr<CaptureSource> source =
        m_sources ? m_sources(*soundLine) : m_server.createCaptureSource(*soundLine);
    const StartResult result = m_engine.start(std::move(source), options);
    if (result != StartResult::Ok) {
        qCWarning(lcLineTest) << "test of line" << line << "refused:" << static_cast<int>(result);
        return result;
    }
    m_engine.setPaused(true);
    m_state = State::Starting;
    m_mixer.announceLine(line);
    m_soundWait.start(kSoundWaitMs);
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
    m_cancelled = true;
    if (m_engine.state() == CaptureEngine::State::Running) {
        m_engine.stop();
    } else if (m_engine.state() == CaptureEngine::State::Idle) {
        onFinished();
    }
}

void LineTest::onBlock() {
    if (m_state == State::Starting &&
        blockLevel(m_engine.latestBlock()) >= MixerControl::kFoundLevel) {
        beginCapture();
    } else if (m_state == State::Capturing && m_engine.bytesQueued() >= kTestBytes) {
        finishCapture();
    }
}

void LineTest::beginCapture() {
    m_soundWait.stop();
    m_state = State::Capturing;
    m_engine.setPaused(false);
}

void LineTest::finishCapture() {
    m_soundWait.stop();
    m_longest.stop();
    m_state = State::Finishing;
    m_engine.stop();
}

void LineTest::onFinished() {
    if (m_cancelled) {
        m_cancelled = false;
        std::remove(m_path.c_str());
        return;
    }
    // Any end of the test's run ends the test, also one the engine made by itself (the line
    // went away): what was captured is measured.
    if (!running()) {
        return;
    }
    m_soundWait.stop();
    m_longest.stop();
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
