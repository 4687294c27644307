#include "RealFront.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <cstdio>

#include "archive/RecordingLog.h"
#include "audio/WavWriter.h"
#include "config/HotKeyScript.h"
#include "config/SettingNames.h"
#include "platform/SoundServer.h"
#include "recorder/RecorderParts.h"
#include "recorder/StartupChoice.h"
#include "recorder/SystemClock.h"
#include "skin/AboutFace.h"
#include "skin/SkinButton.h"
#include "ui/front/FrontFace.h"
#include "ui/front/StartupFace.h"
#include "ui/history/HistoryPanel.h"

namespace orvel::gallery {

namespace {

void settle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The wall clock of the pictures stands still on a summer morning, the day of the latest
// sample recordings, so that the clock display is the same on every refresh; recorded time
// runs on the machine's steady clock.
class StagedClock : public RecorderClock {
public:
    QDateTime now() const override { return QDateTime(QDate(2025, 6, 21), QTime(10, 24, 0)); }
    std::int64_t steadyMs() const override { return m_machine.steadyMs(); }

private:
    SystemClock m_machine;
};

// What the face drives, kept as long as the face: a child of it, so it goes after the face's
// controller, with the recording stopped and its file completed first.
class Parts : public QObject {
public:
    Parts(std::unique_ptr<platform::SoundServer> server, const SettingsStore& settings)
        : m_server(std::move(server)), m_parts(*m_server, settings) {}
    ~Parts() override {
        m_parts.engine().stop();
        m_parts.engine().waitUntilIdle(std::chrono::seconds(5));
    }
    // The recorder's own services, on the staged clock.
    RecorderServices services() {
        const RecorderServices own = m_parts.services();
        return {own.server,     own.devices,  own.mixer,    own.engine,  own.player,
                own.background, own.settings, own.language, own.viewers, own.lame,
                m_clock,        own.ticks,    own.sources};
    }
    const HotKeyScript& keys() const { return m_keys; }

private:
    std::unique_ptr<platform::SoundServer> m_server;
    RecorderParts m_parts;
    HotKeyScript m_keys;
    StagedClock m_clock;
};

// The line of the server whose source has this name, as the settings keep it.
bool storeLine(platform::SoundServer& server, const SettingsStore& settings,
               const std::string& source) {
    const std::vector<platform::SoundDevice> devices = server.devices();
    for (std::size_t d = 0; d < devices.size(); ++d) {
        for (std::size_t l = 0; l < devices[d].lines.size(); ++l) {
            if (devices[d].lines[l].sourceName == source) {
                settings.writeDevice(static_cast<int>(d));
                settings.writeAudioLine(static_cast<int>(l));
                return true;
            }
        }
    }
    settings.writeDevice(devices.empty() ? -1 : 0);
    settings.writeAudioLine(devices.empty() ? -1 : 0);
    return !devices.empty();
}

// A few recordings on two days in the log, and the files they name.
void writeHistory(const QString& install, const QString& music) {
    struct Take {
        const char* file;
        QDateTime start;
        std::int64_t ms;
    };
    const Take takes[] = {
        {"Orvel_001.WAV", QDateTime(QDate(2025, 6, 14), QTime(9, 30, 5)), 754000},
        {"Orvel_002.WAV", QDateTime(QDate(2025, 6, 21), QTime(8, 30, 0)), 4500000},
        {"Orvel_003.WAV", QDateTime(QDate(2025, 6, 21), QTime(18, 0, 12)), 1262000}};
    for (const Take& take : takes) {
        const std::string path = (music + "/" + take.file).toStdString();
        WavWriter wav;
        const AudioFormat format{2, 44100, 16};
        const std::vector<std::uint8_t> silence(format.bytesPerSecond() / 10, 0);
        if (wav.open(path, format) == WavWriter::Result::Ok) {
            wav.append(silence.data(), silence.size());
            wav.close();
        }
        RecordingLog log(install.toStdString(), [&] { return take.start; });
        log.begin(path, 0, "Tone line", false, {});
        log.write(take.ms);
    }
}

void click(SkinFace& face, ControlId id) {
    face.button(id)->click();
}

QDialog* makeFront(const QString& variant, const QString& sampleFolder, const QString& music) {
    std::string error;
    std::unique_ptr<platform::SoundServer> server = platform::connectSoundServer(&error);
    if (server == nullptr) {
        std::fprintf(stderr, "orvel-skin-gallery: no sound server for the front face: %s\n",
                     error.c_str());
        return nullptr;
    }
    // Each variant starts from the same sample settings.
    QFile::remove(sampleFolder + QStringLiteral("/config/Orvel/Parameters.conf"));
    const SettingsStore settings;
    settings.writeText(setting::kInstallPath, (sampleFolder + "/install").toStdString());
    QDir().mkpath(sampleFolder + "/install");
    settings.writeLastName((music + "/Orvel.wav").toStdString());
    settings.writeText(setting::kBackgroundFile, (music + "/Rain on the roof.mp3").toStdString());
    settings.writeText(setting::kPlayFile, (music + "/Orvel_001.WAV").toStdString());
    settings.writeThreshold(24);
    settings.writeShowSwitch(variant == "front-signal" ? 0 : 1);
    if (variant == "front-history") {
        writeHistory(sampleFolder + "/install", music);
    }
    if (variant == "front-startup") {
        settings.writeDevice(-1);
    } else {
        storeLine(*server, settings, "tone");
    }

    auto* parts = new Parts(std::move(server), settings);
    auto* face = new FrontFace(parts->services(), parts->keys());
    parts->setParent(face);
    face->initialise();
    face->show();
    settle(300);
    if (variant == "front-recording") {
        click(*face, ControlId::BTN_RECORD);
        // The line's first sound may take two seconds; then a few seconds of it.
        settle(4500);
    } else if (variant == "front-signal") {
        click(*face, ControlId::BTN_SIGNALFILE);
        settle(4500);
    } else if (variant == "front-lines") {
        click(*face, ControlId::BTN_DETECT);
    } else if (variant == "front-history") {
        click(*face, ControlId::BTN_ARCHIVE);
        // The latest day, its recordings listed.
        if (auto* tree = qobject_cast<QTreeWidget*>(face->control(ControlId::kHistoryTree))) {
            tree->expandAll();
            // Days stand newest first.
            QTreeWidgetItem* day = nullptr;
            for (QTreeWidgetItemIterator it(tree); *it && !day; ++it) {
                if ((*it)->text(0).contains('/')) {
                    day = *it;
                }
            }
            tree->setCurrentItem(day);
        }
        settle(300);
    } else if (variant == "front-startup") {
        // The start-up window opens over the face: aside, so that the face shows.
        if (QWidget* startup = QApplication::activeModalWidget()) {
            startup->move(face->x() + face->width() + 40, face->y() + 260);
        }
    }
    return face;
}

}  // namespace

QStringList RealFront::variants() {
    return {"front",         "front-recording", "front-signal", "front-lines",
            "front-history", "front-startup",   "startup",      "about"};
}

QDialog* RealFront::make(const QString& variant, const QString& sampleFolder,
                         const QString& musicFolder) {
    if (!variants().contains(variant)) {
        return nullptr;
    }
    const QString version = QString::fromStdString(StartupChoice::versionText());
    if (variant == "startup") {
        return new StartupFace(version);
    }
    if (variant == "about") {
        return new AboutFace(version);
    }
    return makeFront(variant, sampleFolder, musicFolder);
}

}  // namespace orvel::gallery
