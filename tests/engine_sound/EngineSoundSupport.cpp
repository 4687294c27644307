#include "EngineSoundSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include "support/Signal.h"
#include "support/WavData.h"

namespace orvel::test {

std::optional<std::uint32_t> mp3InfoFrames(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    qsizetype tag = bytes.left(200).indexOf("Info");
    if (tag < 0) {
        tag = bytes.left(200).indexOf("Xing");
    }
    if (tag < 0 || bytes.size() < tag + 16) {
        return std::nullopt;
    }
    auto field = [&](qsizetype at) {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
        }
        return value;
    };
    const std::uint32_t flags = field(tag + 4);
    // Frames and bytes are both present (flags 1 and 2) and agree with the file.
    if ((flags & 3) != 3 || field(tag + 8) == 0 ||
        field(tag + 12) != static_cast<std::uint32_t>(bytes.size())) {
        return std::nullopt;
    }
    return field(tag + 8);
}

bool mp3Complete(const std::string& path) {
    return mp3InfoFrames(path).has_value();
}

std::optional<std::pair<int, int>> findLineIndexes(platform::SoundServer& server,
                                                   const std::string& sourceName) {
    const std::vector<platform::SoundDevice> devices = server.devices();
    for (std::size_t d = 0; d < devices.size(); ++d) {
        for (std::size_t l = 0; l < devices[d].lines.size(); ++l) {
            if (devices[d].lines[l].sourceName == sourceName) {
                return std::pair{static_cast<int>(d), static_cast<int>(l)};
            }
        }
    }
    return std::nullopt;
}

std::unique_ptr<platform::SoundServer> connectWithLine(const SettingsStore& settings,
                                                       const std::optional<std::string>& line) {
    std::string error;
    std::unique_ptr<platform::SoundServer> server = platform::connectSoundServer(&error);
    if (server == nullptr) {
        ADD_FAILURE() << "no sound server: " << error;
        return nullptr;
    }
    if (line) {
        const auto indexes = findLineIndexes(*server, *line);
        if (!indexes) {
            ADD_FAILURE() << "the server has no line " << *line;
            return nullptr;
        }
        settings.writeDevice(indexes->first);
        settings.writeAudioLine(indexes->second);
    }
    return server;
}

std::optional<platform::SoundLine> findLine(platform::SoundServer& server,
                                            const std::string& sourceName) {
    const auto indexes = findLineIndexes(server, sourceName);
    if (!indexes) {
        return std::nullopt;
    }
    return server.devices()[static_cast<std::size_t>(indexes->first)]
        .lines[static_cast<std::size_t>(indexes->second)];
}

EngineRun recordWithEngine(platform::SoundServer& server, const platform::SoundLine& line,
                           CaptureOptions options, double seconds,
                           const std::function<void()>& whileRunning) {
    EngineRun run;
    CaptureEngine engine;
    run.result = engine.start(server.createCaptureSource(line), options);
    if (run.result != StartResult::Ok) {
        return run;
    }
    const double wanted = seconds * options.format.bytesPerSecond();
    bool stopping = false;
    QEventLoop loop;
    QObject::connect(&engine, &CaptureEngine::blockHandled, &loop, [&] {
        ++run.blocks;
        if (!stopping && static_cast<double>(run.blocks * engine.blockBytes()) >= wanted) {
            // As the headless recorder does: nothing after this block, and the stop once the
            // engine is done with it.
            stopping = true;
            engine.setPaused(true);
            QMetaObject::invokeMethod(&engine, &CaptureEngine::stop, Qt::QueuedConnection);
        }
    });
    QObject::connect(&engine, &CaptureEngine::finished, &loop, [&](bool ok, const QString&) {
        run.finished = true;
        run.finishedOk = ok;
        loop.quit();
    });
    QTimer tick;
    if (whileRunning) {
        QObject::connect(&tick, &QTimer::timeout, &loop, whileRunning);
        tick.start(std::chrono::milliseconds(50));
    }
    QTimer::singleShot(std::chrono::milliseconds(static_cast<int>(seconds * 1000) + 15000), &loop,
                       [&] { loop.quit(); });
    loop.exec();
    if (!run.finished) {
        engine.stop();
        engine.waitUntilIdle(std::chrono::seconds(10));
    }
    return run;
}

WavSamples readWav(const std::string& path) {
    WavSamples wav;
    // A file that is not there is an answer here (the caller checks info), not a failure.
    wav.info = WavReader::readFile(path);
    if (!wav.info.ok()) {
        return wav;
    }
    const auto data = wavPcm(path);
    for (int c = 0; c < wav.info.channels; ++c) {
        wav.channels.push_back(channelSamples(data, wav.info.channels, wav.info.bitsPerSample, c));
    }
    return wav;
}

ProcessRun runProgram(const QString& program, const QStringList& arguments,
                      std::chrono::milliseconds timeout) {
    ProcessRun run;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(10000)) {
        run.err = process.errorString().toStdString();
        return run;
    }
    run.finished = process.waitForFinished(static_cast<int>(timeout.count()));
    if (!run.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.exitCode = process.exitCode();
    run.exitStatus = process.exitStatus();
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

QString recorderPath() {
    return QStringLiteral(ORVEL_REC_PATH);
}

ProcessRun runRecorder(const QStringList& arguments, std::chrono::milliseconds timeout) {
    return runProgram(recorderPath(), arguments, timeout);
}

std::vector<double> decodeWithFfmpeg(const std::string& path, int rate) {
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg",
                 {"-v", "error", "-nostdin", "-i", QString::fromStdString(path), "-f", "s16le",
                  "-acodec", "pcm_s16le", "-ac", "1", "-ar", QString::number(rate), "-"});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitStatus() != QProcess::NormalExit ||
        ffmpeg.exitCode() != 0) {
        return {};
    }
    const QByteArray pcm = ffmpeg.readAllStandardOutput();
    return channelSamples(reinterpret_cast<const std::uint8_t*>(pcm.constData()),
                          static_cast<std::size_t>(pcm.size()), 1, 16, 0);
}

}  // namespace orvel::test
