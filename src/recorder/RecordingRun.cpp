#include "recorder/RecordingRun.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <algorithm>

#include "audio/FileLock.h"
#include "config/FormatTables.h"
#include "config/SettingsStore.h"
#include "encoders/EncoderOutputFactory.h"
#include "encoders/LameLibrary.h"
#include "playback/BackgroundMixer.h"
#include "playback/BackgroundMusic.h"
#include "playback/MediaPlayer.h"
#include "recorder/CapabilityReport.h"
#include "recorder/InfoLine.h"
#include "recorder/LineSearch.h"
#include "recorder/OutputNaming.h"
#include "recorder/RecordStart.h"
#include "recorder/RecorderChoices.h"
#include "recorder/RecorderClock.h"

Q_LOGGING_CATEGORY(lcRun, "orvel.recorder.run")

namespace orvel {

namespace {

// Names tried when other recorders hold the numbered names formed at a start.
constexpr int kNameTries = 5;

}  // namespace

RecordingRun::RecordingRun(const Parts& parts, QObject* parent)
    : QObject(parent),
      m_parts(parts),
      m_files(parts.settings.effectiveInstallFolder(),
              [&clock = parts.clock] { return clock.now(); }),
      m_engineAlive(&parts.engine) {
    RecorderClock* clock = &m_parts.clock;
    m_parts.engine.setClock([clock] {
        return std::chrono::steady_clock::time_point(std::chrono::milliseconds(clock->steadyMs()));
    });
    m_backgroundWait.setSingleShot(true);
    connect(&m_backgroundWait, &QTimer::timeout, this, &RecordingRun::backgroundArrived);
    connect(&m_parts.background, &BackgroundMusic::firstBlock, this,
            &RecordingRun::backgroundArrived);
    connect(&m_parts.engine, &CaptureEngine::fileCompleted, this, &RecordingRun::fileCompleted);
    connect(&m_parts.engine, &CaptureEngine::fileStarted, this,
            [this](const QString& path) { m_files.soundStarted(path.toStdString()); });
    connect(&m_parts.engine, &CaptureEngine::soundDropped, this, &RecordingRun::soundDropped);
    connect(&m_parts.engine, &CaptureEngine::captureEnded, this,
            [this](CaptureEnd reason, const QString& detail) {
                qCWarning(lcRun) << "the capture ended by itself:" << static_cast<int>(reason)
                                 << detail;
                emit endedByItself(reason == CaptureEnd::EndOfInput
                                       ? std::string_view()
                                       : messageKey(StartResult::DeviceUnavailable));
            });
    connect(&m_parts.engine, &CaptureEngine::writeFailed, this, [this](const QString& message) {
        qCWarning(lcRun) << "writing the recording failed:" << message;
        emit endedByItself(messageKey(StartResult::FileError));
    });
}

RecordingRun::~RecordingRun() {
    // The clock handed to the engine may go before the engine does, whose destructor still
    // handles the last blocks of a running capture.
    if (m_engineAlive) {
        m_parts.engine.setClock({});
    }
}

RecordingRun::Aim RecordingRun::aimNext(bool restart) {
    const std::string path = m_parts.naming.pathForRecording();
    if (restart && !newName(path, m_closedPath)) {
        return Aim::NoNewName;
    }
    m_path = path;
    if (FileLock::inUse(path)) {
        // Asking whether to overwrite a recording in progress would be no real question.
        tellInUse();
        return Aim::InUse;
    }
    if (m_parts.choices.askOverwrite() && QFileInfo::exists(QString::fromStdString(path))) {
        return Aim::Ask;
    }
    return Aim::New;
}

bool RecordingRun::newName(const std::string& path, const std::string& before) const {
    if (path != before) {
        return true;
    }
    qCWarning(lcRun) << "no new file name can be formed from"
                     << QString::fromStdString(m_parts.naming.fieldText());
    return false;
}

std::unique_ptr<CaptureSource> RecordingRun::source(const platform::SoundLine& line) const {
    return m_parts.sources ? m_parts.sources(line) : m_parts.server.createCaptureSource(line);
}

void RecordingRun::tellInUse() const {
    qCWarning(lcRun) << m_path.c_str() << FileLock::kInUseText;
    m_parts.info.show(QFileInfo(QString::fromStdString(m_path)).fileName().toStdString(),
                      FileLock::kInUseText);
}

StartResult RecordingRun::start(std::size_t ringBudget, bool armedByMode,
                                const ProcessingSettings& processing) {
    CaptureEngine& engine = m_parts.engine;
    const bool background = m_parts.choices.background();
    const EncoderSettings encoders = EncoderSettings::fromStore(m_parts.settings);
    RecordStart plan =
        RecordStart::plan(m_parts.choices.format(), encoders, m_path, m_parts.lame.available());
    const BackgroundSettings backgroundSettings = BackgroundSettings::fromStore(m_parts.settings);
    const platform::SoundLine* line = m_parts.lines.soundLine();
    // The log names the file the run really writes.
    auto beginLog = [&] {
        m_files.begin(m_path, m_parts.lines.line().lineIndex,
                      line != nullptr ? line->name : std::string(), background,
                      backgroundSettings.file);
    };
    beginLog();
    StartResult result = plan.refusal;
    if (plan.ok()) {
        if (plan.switchedTo16Bits) {
            m_parts.choices.format().sixteenBits = true;
        }
        plan.options.ringCapacity = ringBudget;
        plan.options.monitor = m_parts.choices.monitor();
        plan.options.removeEmptyFile = armedByMode;
        m_mixer.reset();
        if (background && plan.options.format.is16Bit()) {
            m_mixer = std::make_shared<BackgroundMixer>(backgroundSettings);
            plan.options.background = m_mixer;
        }
        engine.setOutputFactory(makeEncoderOutputFactory(encoders, &m_parts.lame));
        engine.setProcessing(processing);
        result = engine.start(source(*line), plan.options);
        // Another recorder formed the same numbered name a moment earlier and holds it now:
        // the folder lists it by now, so the next name is past it.
        for (int tries = 1;
             result == StartResult::FileInUse && m_parts.naming.multiFile() && tries < kNameTries;
             ++tries) {
            const std::string next = m_parts.naming.pathForRecording();
            if (next == m_path) {
                break;  // no new name can be formed
            }
            m_path = next;
            plan.options.fileName = m_path;
            beginLog();
            result = engine.start(source(*line), plan.options);
        }
    }
    if (result == StartResult::FormatError) {
        const std::string report =
            CapabilityReport::write(m_parts.settings.effectiveInstallFolder(), [](int code) {
                const format::FormatChoice c = format::formatOfCode(code);
                return AudioFormat::fromChoice(c.rateIndex, c.stereo, c.sixteenBits).isValid();
            });
        if (!report.empty()) {
            m_parts.view.openDocument(report);
        }
    }
    if (result == StartResult::FileInUse) {
        tellInUse();
    }
    if (result == StartResult::Ok) {
        m_running = true;
        m_closedPath.clear();
        m_mixing = engine.mixesBackground();
    }
    return result;
}

void RecordingRun::joinBackground(bool paused) {
    if (!m_mixing) {
        return;
    }
    const StartResult music = m_parts.background.startRecording(
        BackgroundSettings::fromStore(m_parts.settings), m_parts.engine);
    if (music != StartResult::Ok) {
        m_parts.info.message(messageKey(music));
        m_mixing = false;
    } else {
        // The background comes in as its first block arrives; the writer keeps the two
        // aligned, so nothing waits for it here.
        m_preparing = true;
        m_parts.info.message("PrepareBackground");
        m_backgroundWait.start(kBackgroundWaitMs);
    }
    if (paused) {
        m_parts.background.pause();
    }
}

void RecordingRun::setBackgroundScale(int scale) {
    if (m_mixer) {
        m_mixer->setScale(scale);
    }
}

void RecordingRun::backgroundArrived() {
    m_backgroundWait.stop();
    if (m_preparing) {
        m_preparing = false;
        emit backgroundReady();
    }
}

RecordingRun::Split RecordingRun::splitTrack() {
    if (!m_files.sound()) {
        return Split::SameFile;
    }
    const std::string path = m_parts.naming.pathForRecording();
    if (!newName(path, m_path)) {
        return Split::NoNewName;
    }
    if ((m_parts.choices.askOverwrite() && QFileInfo::exists(QString::fromStdString(path))) ||
        !m_parts.engine.splitFile(path)) {
        return Split::CannotFollow;
    }
    // The capture goes on: the engine completes the track (reported with fileCompleted) and
    // opens the next file with the next sound.
    m_files.next(path);
    m_path = path;
    return Split::Done;
}

void RecordingRun::stop(std::string_view endedMode) {
    m_backgroundWait.stop();
    m_preparing = false;
    if (m_running) {
        m_running = false;
        if (m_mixing) {
            m_parts.background.stop();
        }
        m_files.stop(std::exchange(m_keepMessage, false), endedMode);
        m_closedPath = m_path;
        m_parts.engine.stop();
    }
    m_mixing = false;
    m_mixer.reset();
}

void RecordingRun::fileCompleted(const CompletedFile& done) {
    if (std::optional<RecordingFiles::Handed> file = m_files.completed(done.path.toStdString())) {
        judge(std::move(*file), done);
    }
}

void RecordingRun::engineFinished(bool ok, const QString& error) {
    // The engine reports every file before the end of its run; one it did not is judged by the
    // run's result.
    while (std::optional<RecordingFiles::Handed> file = m_files.takeOldest()) {
        const QString path = QString::fromStdString(file->path);
        judge(std::move(*file), {path, ok, error, true, true});
    }
}

void RecordingRun::soundDropped(quint64 totalBytes) {
    const std::uint64_t perSecond =
        std::max<std::uint64_t>(m_parts.engine.format().bytesPerSecond(), 1);
    const std::uint64_t ms = totalBytes * 1000 / perSecond;
    qCWarning(lcRun) << ms << "ms of captured sound were lost";
    const LanguageTable::MessageLines lines = m_parts.info.lines("SoundLost");
    m_parts.info.show(lines.line1, lines.line2 + " " + std::to_string(ms));
    m_parts.view.soundLost(ms);
}

void RecordingRun::judge(RecordingFiles::Handed file, const CompletedFile& done) {
    if (!done.exists) {
        // No sound ever came for it: no file, no log line, no alert; only the mode that its
        // stop ended is told.
        if (!file.keepMessage && !file.endedMode.empty() && !m_running) {
            m_parts.info.message(file.endedMode);
        }
        return;
    }
    if (!done.ok) {
        qCWarning(lcRun) << "the recording could not be completed:" << done.error;
    }
    FinishedFile finished;
    finished.path = file.path;
    finished.ok = done.ok;
    const QFileInfo info(QString::fromStdString(file.path));
    finished.bytes = info.exists() ? static_cast<std::uint64_t>(info.size()) : 0;
    MediaPlayer::durationText(file.path, &finished.durationMs);
    if (!done.ok) {
        m_parts.info.message(messageKey(StartResult::FileError));
    } else if (!file.keepMessage && static_cast<std::int64_t>(finished.bytes) <= kUnfinishedBytes) {
        m_parts.info.message("RecordNotFinished");
    }
    finished.logged = m_files.log(file, std::max<std::int64_t>(finished.durationMs, 0));
    emit fileFinished(finished);
}

}  // namespace orvel
