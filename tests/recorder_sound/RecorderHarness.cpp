#include "RecorderHarness.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMetaObject>
#include <thread>

#include "../engine_sound/EngineSoundSupport.h"
#include "../platform_sound/SoundTestSupport.h"
#include "audio/WavWriter.h"
#include "platform/ViewerProcess.h"
#include "support/FileFedLine.h"
#include "support/Signal.h"

namespace orvel::test {

void FakeView::showInfo(const std::string& line1, const std::string& line2) {
    infos.emplace_back(line1, line2);
}

void FakeView::askOverwrite(const std::string&, std::function<void(bool)> answer) {
    if (overwriteAnswers.empty()) {
        openQuestion = std::move(answer);
        return;
    }
    const bool yes = overwriteAnswers.front();
    overwriteAnswers.pop_front();
    // Answered later, from the event loop, as a window would.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [answer = std::move(answer), yes] { answer(yes); },
        Qt::QueuedConnection);
}

void FakeView::tellNoMemory(std::function<void()> done) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(done), Qt::QueuedConnection);
}

bool FakeView::shown(const std::string& line1) const {
    for (const auto& info : infos) {
        if (info.first == line1) {
            return true;
        }
    }
    return false;
}

std::string FakeView::lastInfo() const {
    return infos.empty() ? std::string() : infos.back().first;
}

std::unique_ptr<platform::ViewerProcess> FakeViewerLauncher::open(const std::string& target) {
    std::unique_ptr<platform::ViewerProcess> viewer =
        platform::ViewerProcess::start("sleep", {"600"});
    std::lock_guard lock(m_mutex);
    m_opened.emplace_back(target, viewer ? viewer->pid() : -1);
    return viewer;
}

std::vector<std::pair<std::string, int>> FakeViewerLauncher::opened() const {
    std::lock_guard lock(m_mutex);
    return m_opened;
}

CaptureSourceFactory scriptedLine(std::string folder, std::vector<Segment> script, bool realTime) {
    return [folder = std::move(folder), script = std::move(script),
            realTime](const platform::SoundLine&) {
        return std::make_unique<FileFedLine>(
            folder,
            [script](const AudioFormat& format) {
                std::vector<std::uint8_t> pcm;
                for (const Segment& segment : script) {
                    std::vector<std::uint8_t> part =
                        sinePcm(440, segment.tone ? -6 : -120, segment.seconds, format.sampleRate,
                                format.channels, format.bitsPerSample);
                    if (!segment.tone) {
                        std::fill(part.begin(), part.end(), format.silenceByte());
                    }
                    pcm.insert(pcm.end(), part.begin(), part.end());
                }
                return pcm;
            },
            realTime);
    };
}

RecorderHarness::RecorderHarness() : m_folder(m_dir.path()) {
    QDir(QString::fromStdString(m_folder)).mkpath("install");
    m_settings.writeText(setting::kInstallPath, m_folder + "/install");
    // Never the user's own music folder.
    m_settings.writeLastName(m_folder + "/Orvel.wav");
}

RecorderHarness::~RecorderHarness() {
    // The controller goes first and gives the engine its own clock back: a test's clock may
    // already be gone.
    m_controller.reset();
    if (m_engine) {
        m_engine->stop();
        m_engine->waitUntilIdle(std::chrono::seconds(10));
    }
}

bool RecorderHarness::make(Options options) {
    if (m_controller) {
        // A second start of the recorder on the same settings.
        m_engine->waitUntilIdle(std::chrono::seconds(10));
        m_controller.reset();
    }
    m_server = connectWithLine(m_settings, options.line);
    if (m_server == nullptr) {
        return false;
    }
    m_language.Load(LanguageTable::LanguageFolder(m_settings), "");
    m_devices = std::make_unique<DeviceList>(*m_server);
    m_mixer = std::make_unique<MixerControl>(*m_server, *m_devices);
    m_engine = std::make_unique<CaptureEngine>();
    m_player = std::make_unique<MediaPlayer>(MediaPlayer::streamsOf(*m_server));
    m_music = std::make_unique<BackgroundMusic>(*m_player);
    if (options.hideLame) {
        m_noLame = LameLibrary::load({});
    }
    const LameLibrary& lame = m_noLame ? *m_noLame : LameLibrary::shared();
    RecorderClock& clock = options.clock != nullptr ? *options.clock : m_systemClock;
    TickSource& ticks = options.ticks != nullptr ? *options.ticks : m_qtTicks;
    m_controller = std::make_unique<RecorderController>(
        RecorderServices{*m_server, *m_devices, *m_mixer, *m_engine, *m_player, *m_music,
                         m_settings, m_language, m_viewers, lame, clock, ticks, options.sources},
        view);
    m_controller->initialise();
    return true;
}

void RecorderHarness::destroy(Part part) {
    switch (part) {
        case Part::Controller:
            m_controller.reset();
            break;
        case Part::Engine:
            m_engine.reset();
            break;
        case Part::Music:
            m_music.reset();
            break;
        case Part::Player:
            m_player.reset();
            break;
    }
}

std::string RecorderHarness::writeBackgroundMusic(const std::string& name) const {
    const std::string path = file(name);
    const std::vector<std::uint8_t> pcm = sinePcm(1000, -12, 3.0, 44100, 2, 16);
    WavWriter writer;
    if (writer.open(path, AudioFormat{2, 44100, 16}) != WavWriter::Result::Ok ||
        writer.append(pcm.data(), pcm.size()) != WavWriter::Result::Ok ||
        writer.close() != WavWriter::Result::Ok) {
        ADD_FAILURE() << "cannot write " << path;
    }
    m_settings.writeText(setting::kBackgroundFile, path);
    return path;
}

void RecorderHarness::writeSchedule(const std::string& lines) const {
    m_dir.write("install/TimeSchedule.txt", lines);
}

std::string RecorderHarness::logFolder() const {
    return m_folder + "/install/Log";
}

std::vector<std::string> RecorderHarness::logLines() const {
    std::vector<std::string> lines;
    QDirIterator it(QString::fromStdString(logFolder()), {"*.txt"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.trimmed().isEmpty()) {
                lines.push_back(line.trimmed().toStdString());
            }
        }
    }
    return lines;
}

bool RecorderHarness::waitFor(const std::function<bool()>& condition,
                              std::chrono::milliseconds timeout) {
    return waitUntil(condition, timeout);
}

void RecorderHarness::run(std::chrono::milliseconds time) {
    waitUntil([] { return false; }, time);
}

}  // namespace orvel::test
