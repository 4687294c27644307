#include "cli/RecordingSession.h"

#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "audio/RecordingFile.h"
#include "cli/CommandContext.h"
#include "cli/CommandText.h"
#include "encoders/EncoderOutputFactory.h"

namespace orvel {

namespace {

using command::inQuotes;

// How often a stopping recording looks whether its file has taken too long.
constexpr std::chrono::milliseconds kWatchInterval{200};

// Why a file could not be created: the cause the failing call gave, put in the words of what
// the file system shows.
std::string describeCreateFailure(const std::string& path, int error) {
    const QFileInfo file(QString::fromStdString(path));
    const QFileInfo folder(file.absolutePath());
    const std::string folderName = folder.absoluteFilePath().toStdString();
    if (error == EISDIR || (error == 0 && file.isDir())) {
        return inQuotes(path) + " is a folder";
    }
    if ((error == ENOENT || error == 0) && !folder.exists()) {
        return "cannot create " + inQuotes(path) + ": the folder " + inQuotes(folderName) +
               " does not exist";
    }
    if ((error == ENOTDIR || error == 0) && !folder.isDir()) {
        return "cannot create " + inQuotes(path) + ": " + inQuotes(folderName) + " is not a folder";
    }
    if (error == EACCES || error == EPERM || error == EROFS || error == ENAMETOOLONG ||
        error == ELOOP || error == ENXIO) {
        return "cannot create " + inQuotes(path) + ": " + RecordingFile::errorText(error);
    }
    if (error != 0) {
        return "cannot write " + inQuotes(path) + ": " + RecordingFile::errorText(error);
    }
    return "cannot create " + inQuotes(path);
}

std::string endReason(CaptureEnd reason) {
    switch (reason) {
        case CaptureEnd::SourceLost:
            return "the recording line went away";
        case CaptureEnd::ServerLost:
            return "the sound server went away";
        case CaptureEnd::EndOfInput:
            return "the line ended";
        case CaptureEnd::Failed:
            break;
    }
    return "the capture failed";
}

std::string seconds(double value) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(1) << value << " s";
    return text.str();
}

}  // namespace

RecordingSession::RecordingSession(const CommandContext& context, platform::SoundServer& server,
                                   RecordingPlan plan, RecordingHooks hooks)
    : m_context(context),
      m_server(server),
      m_plan(std::move(plan)),
      m_hooks(std::move(hooks)) {
    m_lateTimer.setSingleShot(true);
    connect(&m_lateTimer, &QTimer::timeout, this, &RecordingSession::lateSoundWaited);
    connect(&m_watch, &QTimer::timeout, this, &RecordingSession::watchTheFinish);
}

RecordingSession::~RecordingSession() = default;

bool RecordingSession::start() {
    m_engine.setOutputFactory(makeEncoderOutputFactory(m_plan.encoder));
    m_engine.setProcessing(m_plan.processing);
    if (m_hooks.beforeStart) {
        m_hooks.beforeStart(m_plan.capture);
    }
    const StartResult started =
        m_engine.start(m_server.createCaptureSource(m_plan.line), m_plan.capture);
    if (started != StartResult::Ok) {
        refuseStart(started);
        return false;
    }
    m_started = true;

    const AudioFormat& format = m_plan.capture.format;
    m_context.note("recording line " + std::to_string(m_plan.lineIndex) + " " +
                   inQuotes(m_plan.line.name) + " of device " + std::to_string(m_plan.deviceRow) +
                   " " + inQuotes(m_plan.deviceName) + " into " +
                   inQuotes(m_plan.capture.fileName) + " (" + RecordingPlan::describe(format) +
                   ") " +
                   (m_plan.seconds ? "for " + seconds(*m_plan.seconds) : "until stopped (Ctrl+C)"));
    if (m_hooks.started) {
        m_hooks.started(m_server, *this);
    }

    // A timed recording ends after that much sound has been captured, whenever it arrives, and
    // holds exactly that much: the engine cuts the last block.
    if (m_plan.seconds) {
        const auto frames =
            static_cast<std::uint64_t>(std::llround(*m_plan.seconds * format.sampleRate));
        m_bytesWanted =
            std::max<std::uint64_t>(frames, 1) * static_cast<std::uint64_t>(format.blockAlign());
        m_engine.setLengthLimit(m_bytesWanted);
    }
    connect(&m_engine, &CaptureEngine::blockHandled, this, &RecordingSession::blockHandled);
    connect(&m_engine, &CaptureEngine::captureEnded, this,
            [this](CaptureEnd reason, const QString& detail) {
                m_captureEnd = endReason(reason) + (detail.isEmpty() ? std::string()
                                                                     : " (" + detail.toStdString() +
                                                                           ")");
                m_stopping = true;
            });
    // Sound lost is told as it happens (at most once a second), and its total at the end.
    connect(&m_engine, &CaptureEngine::soundDropped, this, [this](quint64 totalBytes) {
        m_context.note(command::lostSoundText(
            totalBytes * 1000 /
            std::max<std::uint64_t>(m_plan.capture.format.bytesPerSecond(), 1)));
    });
    connect(&m_engine, &CaptureEngine::writeFailed, this, [this](const QString& message) {
        m_writeError = message.toStdString();
        m_stopping = true;
    });
    connect(&m_engine, &CaptureEngine::finished, this, &RecordingSession::engineFinished);
    if (m_plan.seconds) {
        m_lateTimer.start(std::chrono::milliseconds(static_cast<std::int64_t>(
                              std::ceil(*m_plan.seconds * 1000))) +
                          kLateSoundWait);
    }
    m_watch.start(kWatchInterval);
    if (m_stopRequested) {
        stopEngine();
    }
    return true;
}

void RecordingSession::refuseStart(StartResult result) {
    const OutputError& cause = m_engine.startError();
    const std::string& path = m_plan.capture.fileName;
    std::string detail;
    switch (result) {
        case StartResult::FileError:
            detail = describeCreateFailure(path, cause.code);
            break;
        case StartResult::FileInUse:
            // The engine's text names the file; the file-error message would mislead.
            m_context.refuse("", cause.text);
            return;
        case StartResult::WmaError:
            detail = cause.code != 0 ? describeCreateFailure(path, cause.code)
                     : cause.text.empty()
                         ? "the WMA writer could not start on " + inQuotes(path)
                         : "the WMA writer could not start: " + cause.text;
            break;
        case StartResult::Mp3Support:
            detail = "the MP3 encoder library (libmp3lame.so.0) could not be loaded";
            break;
        case StartResult::MemError:
            detail = "not enough memory for the recording" +
                     (cause.text.empty() ? std::string() : " (" + cause.text + ")");
            break;
        case StartResult::FormatError:
            detail = "the recording cannot be made as " +
                     RecordingPlan::describe(m_plan.capture.format);
            break;
        default:
            detail = "the sound server did not open line " + std::to_string(m_plan.lineIndex) +
                     " " + inQuotes(m_plan.line.name) +
                     (cause.text.empty() ? std::string() : ": " + cause.text);
            break;
    }
    m_context.refuse(messageKey(result), detail);
}

void RecordingSession::requestStop() {
    m_stopRequested = true;
    if (m_started && !m_stopping && !isOver()) {
        m_context.note("stopping: completing the file");
        stopEngine();
    }
}

void RecordingSession::stopEngine() {
    m_stopping = true;
    // Queued, so that the engine is never stopped from inside its own handling of a block.
    QMetaObject::invokeMethod(&m_engine, &CaptureEngine::stop, Qt::QueuedConnection);
}

void RecordingSession::blockHandled() {
    m_handledBytes += m_engine.latestBlock().size();
    if (m_bytesWanted > 0 && m_handledBytes >= m_bytesWanted && !m_stopping) {
        // The time is up: the sound still on its way is left out of the file (pausing takes
        // effect with the next block).
        m_engine.setPaused(true);
        stopEngine();
    }
}

void RecordingSession::lateSoundWaited() {
    if (!m_stopping) {
        m_late = true;
        stopEngine();
    }
}

void RecordingSession::watchTheFinish() {
    // However the run came to stop, the wait for its file is bounded.
    if (!m_stopping) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!m_finishDeadline) {
        m_finishDeadline = now + kFinishWait;
    } else if (now >= *m_finishDeadline) {
        m_context.refuse("", "the recording did not end within " +
                                 std::to_string(kFinishWait.count()) + " s of being stopped");
        end(command::kExitFailed);
    }
}

void RecordingSession::engineFinished(bool ok, const QString& error) {
    if (isOver()) {
        return;
    }
    const std::string& path = m_plan.capture.fileName;
    const AudioFormat& format = m_plan.capture.format;
    const double recorded = static_cast<double>(m_engine.bytesQueued()) /
                            static_cast<double>(format.bytesPerSecond());
    if (m_writeError) {
        m_context.refuse("", "writing " + inQuotes(path) + " failed: " + *m_writeError +
                                 "; the file holds the sound written before");
        end(command::kExitFailed);
        return;
    }
    if (!ok) {
        m_context.refuse("", inQuotes(path) + " could not be completed" +
                                 (error.isEmpty() ? std::string() : ": " + error.toStdString()));
        end(command::kExitFailed);
        return;
    }
    // A line that ends once the asked length is in the file (one faster than a sound card
    // gets there before the stop) has given the whole recording.
    const bool complete = m_bytesWanted > 0 && m_engine.bytesQueued() >= m_bytesWanted;
    if (m_captureEnd && !complete) {
        m_context.refuse("", "the recording stopped early: " + *m_captureEnd + "; " +
                                 inQuotes(path) + " holds " + seconds(recorded) +
                                 " recorded until then");
        end(command::kExitFailed);
        return;
    }
    if (m_late) {
        m_context.note("the line delivered less sound than asked in time; stopped after " +
                       seconds(recorded));
    }
    m_context.out() << "recorded " << seconds(recorded) << " into " << path << " ("
                    << RecordingPlan::describe(format) << ")\n";
    end(command::kExitOk);
}

void RecordingSession::end(int status) {
    if (isOver()) {
        return;
    }
    m_status = status;
    m_watch.stop();
    m_lateTimer.stop();
    emit ended(status);
}

}  // namespace orvel
