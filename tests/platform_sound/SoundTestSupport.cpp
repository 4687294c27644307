#include "SoundTestSupport.h"

#include <QFile>
#include <QProcess>
#include <csignal>

namespace orvel::test {

std::optional<std::string> pactl(const QStringList& arguments) {
    QProcess process;
    process.start("pactl", arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return std::nullopt;
    }
    return process.readAllStandardOutput().trimmed().toStdString();
}

LoadedModule::LoadedModule(const QStringList& arguments) {
    std::optional<std::string> index = pactl(QStringList{"load-module"} + arguments);
    if (index) {
        m_index = *index;
    }
}

LoadedModule::~LoadedModule() {
    unload();
}

bool LoadedModule::unload() {
    if (m_index.empty()) {
        return false;
    }
    const bool done = pactl({"unload-module", QString::fromStdString(m_index)}).has_value();
    m_index.clear();
    return done;
}

VolumeRestorer::~VolumeRestorer() {
    const QString command = m_kind == Kind::Source ? "set-source-volume" : "set-sink-volume";
    pactl({command, QString::fromStdString(m_name), "100%"});
}

void RecordingConsumer::onCapturedData(const std::uint8_t* data, std::size_t bytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_endCount > 0) {
        m_afterEnd = true;
    }
    if (data != nullptr) {
        m_pcm.insert(m_pcm.end(), data, data + bytes);
    } else {
        m_pcm.insert(m_pcm.end(), bytes, m_silence);
    }
    m_pieces.push_back({Clock::now(), bytes, data == nullptr});
}

void RecordingConsumer::onCaptureEnded(CaptureEnd reason, const std::string&) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_end = reason;
    ++m_endCount;
}

std::vector<std::uint8_t> RecordingConsumer::pcm() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pcm;
}

std::vector<RecordingConsumer::Piece> RecordingConsumer::pieces() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pieces;
}

std::size_t RecordingConsumer::bytes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pcm.size();
}

std::optional<CaptureEnd> RecordingConsumer::endReason() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_end;
}

int RecordingConsumer::endCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_endCount;
}

bool RecordingConsumer::deliveredAfterEnd() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_afterEnd;
}

bool RecordingConsumer::waitForBytes(std::size_t wanted, std::chrono::milliseconds timeout) const {
    return waitUntil([&] { return bytes() >= wanted; }, timeout);
}

std::vector<std::uint8_t> recordLine(platform::SoundServer& server, const std::string& source,
                                     const AudioFormat& format, double seconds) {
    RecordingConsumer consumer(format.silenceByte());
    std::unique_ptr<CaptureSource> capture =
        server.createCaptureSource({source, source, "", false});
    std::string error;
    if (!capture->start(format, &consumer, &error) ||
        !consumer.waitForBytes(1, std::chrono::milliseconds(4000))) {
        return {};
    }
    const std::size_t first = consumer.bytes();
    consumer.waitForBytes(first + static_cast<std::size_t>(seconds * format.bytesPerSecond()),
                          std::chrono::milliseconds(static_cast<int>(seconds * 1000) + 3000));
    capture->stop();
    std::vector<std::uint8_t> pcm = consumer.pcm();
    pcm.erase(pcm.begin(), pcm.begin() + static_cast<std::ptrdiff_t>(first));
    return pcm;
}

ThrowawayServer::ThrowawayServer() {
    m_hadServer = qEnvironmentVariableIsSet("PULSE_SERVER");
    m_oldServer = qgetenv("PULSE_SERVER");
    if (!m_dir.isValid()) {
        return;
    }
    QProcess process;
    process.start(QString::fromStdString(script()), {"start", m_dir.path()});
    m_running = process.waitForFinished(30000) && process.exitCode() == 0;
    qputenv("PULSE_SERVER", QFile::encodeName("unix:" + m_dir.path() + "/native"));
}

ThrowawayServer::~ThrowawayServer() {
    freeze(false);
    stop();
    if (m_hadServer) {
        qputenv("PULSE_SERVER", m_oldServer);
    } else {
        qunsetenv("PULSE_SERVER");
    }
}

std::string ThrowawayServer::script() const {
    return qEnvironmentVariable("ORVEL_SOURCE_DIR").toStdString() + "/tools/soundserver.sh";
}

bool ThrowawayServer::stop() {
    if (!m_running) {
        return false;
    }
    QProcess process;
    process.start(QString::fromStdString(script()), {"stop", m_dir.path()});
    m_running = false;
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

bool ThrowawayServer::freeze(bool frozen) {
    if (!m_running) {
        return false;
    }
    QFile pidFile(m_dir.path() + "/daemon.pid");
    if (!pidFile.open(QIODevice::ReadOnly)) {
        return false;
    }
    bool ok = false;
    const int pid = pidFile.readAll().trimmed().toInt(&ok);
    return ok && pid > 0 && ::kill(pid, frozen ? SIGSTOP : SIGCONT) == 0;
}

}  // namespace orvel::test
