#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/AudioFormat.h"
#include "audio/CaptureEngine.h"
#include "audio/WavReader.h"
#include "config/SettingsStore.h"
#include "platform/SoundServer.h"

// Helpers for the end-to-end tests on the private sound server.
namespace orvel::test {

// The line of the server's device list whose source has this name; nullopt when none has.
std::optional<platform::SoundLine> findLine(platform::SoundServer& server,
                                            const std::string& sourceName);
// Its device row and line index, as the settings keep them.
std::optional<std::pair<int, int>> findLineIndexes(platform::SoundServer& server,
                                                   const std::string& sourceName);
// Connects to the sound server and, when a source name is given, stores its line as the
// recording line. A missing server or line fails the running test and gives null.
std::unique_ptr<platform::SoundServer> connectWithLine(const SettingsStore& settings,
                                                       const std::optional<std::string>& line);

// A capture run of the real engine on a line of the server: recording starts at once and
// stops once `seconds` of sound have been handled (as the headless recorder counts it); the
// file is complete when it returns.
struct EngineRun {
    StartResult result = StartResult::Ok;
    bool finished = false;
    bool finishedOk = false;
    std::uint64_t blocks = 0;
};
EngineRun recordWithEngine(platform::SoundServer& server, const platform::SoundLine& line,
                           CaptureOptions options, double seconds,
                           const std::function<void()>& whileRunning = {});

// The samples of one channel of a WAV file, -1..1; empty when it cannot be read.
struct WavSamples {
    WavInfo info;
    std::vector<std::vector<double>> channels;
    double seconds() const {
        return info.bytesPerSecond == 0 ? 0.0
                                        : static_cast<double>(info.dataSize) / info.bytesPerSecond;
    }
};
WavSamples readWav(const std::string& path);

// A finished run of a program.
struct ProcessRun {
    bool finished = false;
    int exitCode = -1;
    QProcess::ExitStatus exitStatus = QProcess::NormalExit;
    std::string out;
    std::string err;
};
ProcessRun runProgram(const QString& program, const QStringList& arguments,
                      std::chrono::milliseconds timeout = std::chrono::seconds(60));
ProcessRun runRecorder(const QStringList& arguments,
                       std::chrono::milliseconds timeout = std::chrono::seconds(60));
QString recorderPath();

// Whether an MP3 file was completed: the encoder's tag frame at its start, written last, counts
// every byte of the file (a cut file keeps the placeholder's counts).
bool mp3Complete(const std::string& path);
// The number of MPEG frames a complete MP3 file's tag frame counts; none when it is not
// complete.
std::optional<std::uint32_t> mp3InfoFrames(const std::string& path);

// A file decoded by FFmpeg's own command to mono 16-bit PCM at `rate`; empty when it fails.
std::vector<double> decodeWithFfmpeg(const std::string& path, int rate);

}  // namespace orvel::test
