#include "cli/HeadlessRecorder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <iomanip>
#include <optional>
#include <ostream>
#include <sstream>

#include "audio/CaptureEngine.h"
#include "audio/FileKind.h"
#include "audio/RecordingFile.h"
#include "cli/CommandText.h"
#include "cli/RecordingPlan.h"
#include "config/Text.h"
#include "devices/DeviceList.h"
#include "devices/MixerControl.h"
#include "encoders/AttributeEditor.h"
#include "encoders/EncoderOutputFactory.h"
#include "encoders/GenreTable.h"
#include "encoders/WmaProfile.h"
#include "platform/StopSignals.h"

namespace orvel {

namespace {

constexpr char kPrefix[] = "orvel-rec: ";
constexpr int kNoGenre = 255;
// How long a stopped recording may take to complete its file, and how much longer than asked a
// timed recording may wait for its sound before it is stopped anyway.
constexpr std::chrono::seconds kFinishWait{60};
constexpr std::chrono::seconds kLateSoundWait{10};

std::string inQuotes(const std::string& text) {
    return "\"" + text + "\"";
}

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

void printTag(std::ostream& out, const TagRecord& tag, bool mp3) {
    out << "artist: " << tag.artist << "\n"
        << "title: " << tag.title << "\n"
        << "album: " << tag.album << "\n";
    if (mp3) {
        out << "year: " << tag.description << "\n";
        if (tag.genreNumber == kNoGenre || genre::name(tag.genreNumber).empty()) {
            out << "genre: none (" << int(tag.genreNumber) << ")\n";
        } else {
            out << "genre: " << genre::name(tag.genreNumber) << " (" << int(tag.genreNumber)
                << ")\n";
        }
        return;
    }
    out << "composer: " << tag.composer << "\n"
        << "description: " << tag.description << "\n"
        << "genre: " << text::trimBlanks(tag.genre) << "\n"
        << "copyright: " << tag.copyright << "\n";
}

}  // namespace

HeadlessRecorder::HeadlessRecorder(std::ostream& out, std::ostream& err, ServerFactory connect,
                                   SettingsStore settings)
    : m_out(out), m_err(err), m_connect(std::move(connect)), m_settings(std::move(settings)) {}

HeadlessRecorder::~HeadlessRecorder() = default;

int HeadlessRecorder::run(const RecorderCommand& command) {
    if (!command.ok()) {
        m_err << kPrefix << command.error << "\n"
              << "Try orvel-rec --help for the commands and options.\n";
        return kExitUsage;
    }
    switch (command.kind) {
        case RecorderCommand::Kind::Help:
            m_out << RecorderArguments::usage();
            return kExitOk;
        case RecorderCommand::Kind::Devices:
            return listDevices();
        case RecorderCommand::Kind::Profiles:
            return listProfiles();
        case RecorderCommand::Kind::Tags:
            return tags(command.tags);
        case RecorderCommand::Kind::Record:
            return record(command.record);
    }
    return kExitUsage;
}

void HeadlessRecorder::requestStop() {
    m_stopRequested = true;
    if (m_engine != nullptr && !m_stopping) {
        note("stopping: completing the file");
        stopEngine();
    }
}

void HeadlessRecorder::stopEngine() {
    m_stopping = true;
    // Queued, so that the engine is never stopped from inside its own handling of a block.
    QMetaObject::invokeMethod(m_engine, &CaptureEngine::stop, Qt::QueuedConnection);
}

const LanguageTable& HeadlessRecorder::language() {
    if (!m_languageLoaded) {
        m_language.Load(LanguageTable::LanguageFolder(m_settings), m_settings.readLanguage());
        m_languageLoaded = true;
    }
    return m_language;
}

void HeadlessRecorder::refuse(std::string_view messageKey, const std::string& detail) {
    if (!messageKey.empty()) {
        const LanguageTable::MessageLines lines = language().Message(messageKey);
        std::string message(text::trimBlanks(lines.line1));
        const std::string_view second = text::trimBlanks(lines.line2);
        if (!second.empty()) {
            message += (message.empty() ? "" : " ") + std::string(second);
        }
        if (!message.empty()) {
            m_err << kPrefix << message << "\n";
        }
    }
    if (!detail.empty()) {
        m_err << kPrefix << detail << "\n";
    }
}

void HeadlessRecorder::note(const std::string& text) {
    m_err << kPrefix << text << "\n";
}

std::unique_ptr<platform::SoundServer> HeadlessRecorder::connectServer() {
    std::string error;
    std::unique_ptr<platform::SoundServer> server = m_connect ? m_connect(&error) : nullptr;
    if (server == nullptr) {
        refuse("DeviceAvailabity",
               "no sound server answers" + (error.empty() ? std::string() : ": " + error));
    }
    return server;
}

int HeadlessRecorder::listDevices() {
    std::unique_ptr<platform::SoundServer> server = connectServer();
    if (server == nullptr) {
        return kExitFailed;
    }
    DeviceList devices(*server);
    devices.refresh();
    if (devices.count() == 0) {
        m_out << DeviceList::kNoEntries << "\n";
        return kExitOk;
    }
    const int storedDevice = m_settings.readDevice();
    const int storedLine = m_settings.readAudioLine();
    for (int row = 0; row < devices.count(); ++row) {
        const platform::SoundDevice& device = devices.devices()[static_cast<std::size_t>(row)];
        m_out << "device " << row << ": " << device.name << "\n";
        for (std::size_t i = 0; i < device.lines.size(); ++i) {
            const bool stored = row == storedDevice && static_cast<int>(i) == storedLine;
            m_out << "  line " << i << ": " << device.lines[i].name
                  << (stored ? "  (stored choice)" : "") << "\n";
        }
    }
    return kExitOk;
}

int HeadlessRecorder::listProfiles() {
    const auto profiles = WmaProfile::all();
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        m_out << std::setw(2) << i << "  " << profiles[i].name << "\n";
    }
    return kExitOk;
}

int HeadlessRecorder::tags(const TagArguments& arguments) {
    const std::string& path = arguments.file;
    const bool mp3 = text::endsWithIgnoreCaseAscii(path, ".mp3");
    if (!mp3 && !text::endsWithIgnoreCaseAscii(path, ".wma")) {
        refuse("UnknowType", inQuotes(path) + ": only MP3 and WMA recordings have tags");
        return kExitFailed;
    }
    // Opening anything but a plain file could wait for ever (a FIFO waits for a writer).
    const file::Kind kind = file::kindOf(path);
    if (kind != file::Kind::Regular || ::access(path.c_str(), R_OK) != 0) {
        refuse("", "cannot read " + inQuotes(path) +
                       (kind != file::Kind::Regular ? ": " + file::kindProblem(kind) : ""));
        return kExitFailed;
    }
    TagRecord tag;
    const bool read = AttributeEditor::read(path, tag);
    if (!read && !mp3) {
        refuse("", inQuotes(path) + " cannot be read as a WMA file");
        return kExitFailed;
    }
    if (!arguments.changes()) {
        if (!read) {
            m_out << inQuotes(path) << " has no ID3v1 tag\n";
            return kExitOk;
        }
        printTag(m_out, tag, mp3);
        return kExitOk;
    }

    tag.artist = arguments.artist.value_or(tag.artist);
    tag.title = arguments.title.value_or(tag.title);
    tag.album = arguments.album.value_or(tag.album);
    if (mp3) {
        tag.description = arguments.year.value_or(tag.description);
        for (const auto& [given, name] :
             {std::pair{arguments.composer.has_value(), "--composer"},
              std::pair{arguments.description.has_value(), "--description"},
              std::pair{arguments.copyright.has_value(), "--copyright"}}) {
            if (given) {
                note(std::string(name) + " is not kept in an ID3v1 tag: ignored");
            }
        }
    } else {
        tag.composer = arguments.composer.value_or(tag.composer);
        tag.description = arguments.description.value_or(tag.description);
        tag.copyright = arguments.copyright.value_or(tag.copyright);
        if (arguments.year) {
            note("--year is not kept in WMA attributes: ignored");
        }
    }
    if (arguments.genre) {
        tag.genreNumber = static_cast<std::uint8_t>(*arguments.genre);
        tag.genre = std::string(genre::name(*arguments.genre));
    }
    tag.fitTexts();
    if (!AttributeEditor::write(path, tag)) {
        refuse("", "cannot rewrite the tag of " + inQuotes(path));
        return kExitFailed;
    }
    TagRecord written;
    AttributeEditor::read(path, written);
    printTag(m_out, written, mp3);
    return kExitOk;
}

int HeadlessRecorder::record(const RecordArguments& arguments) {
    std::unique_ptr<StopSignals> stopSignals;
    if (m_handleSignals) {
        stopSignals =
            std::make_unique<StopSignals>(std::initializer_list<int>{SIGINT, SIGTERM, SIGHUP});
        connect(stopSignals.get(), &StopSignals::received, this, &HeadlessRecorder::requestStop);
    }
    std::unique_ptr<platform::SoundServer> server = connectServer();
    if (server == nullptr) {
        return kExitFailed;
    }
    DeviceList devices(*server);
    RecordingPlan plan = RecordingPlan::make(arguments, m_settings, devices);
    for (const std::string& text : plan.notes) {
        note(text);
    }
    if (!plan.ok()) {
        refuse(plan.messageKey, plan.detail);
        return kExitFailed;
    }
    MixerControl mixer(*server, devices);
    if (!mixer.selectLine(plan.lineIndex)) {
        refuse("DeviceAvailabity", "the sound server did not select line " +
                                       std::to_string(plan.lineIndex) + " " +
                                       inQuotes(plan.line.name));
        return kExitFailed;
    }
    return runRecording(*server, plan);
}

int HeadlessRecorder::runRecording(platform::SoundServer& server, RecordingPlan& plan) {
    CaptureEngine engine;
    engine.setOutputFactory(makeEncoderOutputFactory(plan.encoder));
    engine.setProcessing(plan.processing);

    const std::string& path = plan.capture.fileName;
    if (m_hooks.beforeStart) {
        m_hooks.beforeStart(plan.capture);
    }
    const StartResult started = engine.start(server.createCaptureSource(plan.line), plan.capture);
    if (started != StartResult::Ok) {
        const OutputError& cause = engine.startError();
        std::string detail;
        switch (started) {
            case StartResult::FileError:
                detail = describeCreateFailure(path, cause.code);
                break;
            case StartResult::FileInUse:
                // The engine's text names the file; the file-error message would mislead.
                refuse("", cause.text);
                return kExitFailed;
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
                         RecordingPlan::describe(plan.capture.format);
                break;
            default:
                detail = "the sound server did not open line " + std::to_string(plan.lineIndex) +
                         " " + inQuotes(plan.line.name) +
                         (cause.text.empty() ? std::string() : ": " + cause.text);
                break;
        }
        refuse(messageKey(started), detail);
        return kExitFailed;
    }

    const AudioFormat& format = plan.capture.format;
    note("recording line " + std::to_string(plan.lineIndex) + " " + inQuotes(plan.line.name) +
         " of device " + std::to_string(plan.deviceRow) + " " + inQuotes(plan.deviceName) +
         " into " + inQuotes(path) + " (" + RecordingPlan::describe(format) + ") " +
         (plan.seconds ? "for " + seconds(*plan.seconds) : "until stopped (Ctrl+C)"));
    if (m_hooks.started) {
        m_hooks.started(server, engine);
    }

    // A timed recording ends after that much sound has been captured, whenever it arrives, and
    // holds exactly that much: the engine cuts the last block.
    std::uint64_t bytesWanted = 0;
    if (plan.seconds) {
        const auto frames =
            static_cast<std::uint64_t>(std::llround(*plan.seconds * format.sampleRate));
        bytesWanted =
            std::max<std::uint64_t>(frames, 1) * static_cast<std::uint64_t>(format.blockAlign());
        engine.setLengthLimit(bytesWanted);
    }
    std::uint64_t handledBytes = 0;
    bool finished = false;
    bool finishedOk = false;
    QString finishError;
    std::optional<std::string> ended;
    std::optional<std::string> writeError;
    bool late = false;

    QEventLoop loop;
    m_engine = &engine;
    m_stopping = false;
    connect(&engine, &CaptureEngine::blockHandled, &loop, [&] {
        handledBytes += engine.latestBlock().size();
        if (bytesWanted > 0 && handledBytes >= bytesWanted && !m_stopping) {
            // The time is up: the sound still on its way is left out of the file (pausing
            // takes effect with the next block).
            engine.setPaused(true);
            stopEngine();
        }
    });
    connect(&engine, &CaptureEngine::captureEnded, &loop,
            [&](CaptureEnd reason, const QString& detail) {
                ended = endReason(reason) +
                        (detail.isEmpty() ? std::string() : " (" + detail.toStdString() + ")");
                m_stopping = true;
            });
    // Sound lost is told as it happens (at most once a second), and its total at the end.
    connect(&engine, &CaptureEngine::soundDropped, &loop, [&](quint64 totalBytes) {
        note(command::lostSoundText(totalBytes * 1000 /
                                    std::max<std::uint64_t>(format.bytesPerSecond(), 1)));
    });
    connect(&engine, &CaptureEngine::writeFailed, &loop, [&](const QString& message) {
        writeError = message.toStdString();
        m_stopping = true;
    });
    connect(&engine, &CaptureEngine::finished, &loop, [&](bool ok, const QString& error) {
        finished = true;
        finishedOk = ok;
        finishError = error;
        loop.quit();
    });
    QTimer lateTimer;
    lateTimer.setSingleShot(true);
    connect(&lateTimer, &QTimer::timeout, &loop, [&] {
        if (!m_stopping) {
            late = true;
            stopEngine();
        }
    });
    if (plan.seconds) {
        lateTimer.start(
            std::chrono::milliseconds(static_cast<std::int64_t>(std::ceil(*plan.seconds * 1000))) +
            kLateSoundWait);
    }
    // Bounds the wait for the file once the run is stopping, however it came to stop.
    std::optional<std::chrono::steady_clock::time_point> finishDeadline;
    QTimer watch;
    connect(&watch, &QTimer::timeout, &loop, [&] {
        if (!m_stopping) {
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (!finishDeadline) {
            finishDeadline = now + kFinishWait;
        } else if (now >= *finishDeadline) {
            loop.quit();
        }
    });
    watch.start(std::chrono::milliseconds(200));
    if (m_stopRequested) {
        stopEngine();
    }
    if (!finished) {
        loop.exec();
    }
    m_engine = nullptr;

    if (!finished) {
        // The engine completes the file when it is destroyed, whatever the wait.
        refuse("", "the recording did not end within " + std::to_string(kFinishWait.count()) +
                       " s of being stopped");
        return kExitFailed;
    }
    const double recorded =
        static_cast<double>(engine.bytesQueued()) / static_cast<double>(format.bytesPerSecond());
    if (writeError) {
        refuse("", "writing " + inQuotes(path) + " failed: " + *writeError +
                       "; the file holds the sound written before");
        return kExitFailed;
    }
    if (!finishedOk) {
        refuse("", inQuotes(path) + " could not be completed" +
                       (finishError.isEmpty() ? std::string() : ": " + finishError.toStdString()));
        return kExitFailed;
    }
    if (ended) {
        refuse("", "the recording stopped early: " + *ended + "; " + inQuotes(path) + " holds " +
                       seconds(recorded) + " recorded until then");
        return kExitFailed;
    }
    if (late) {
        note("the line delivered less sound than asked in time; stopped after " +
             seconds(recorded));
    }
    m_out << "recorded " << seconds(recorded) << " into " << path << " ("
          << RecordingPlan::describe(format) << ")\n";
    return kExitOk;
}

}  // namespace orvel
