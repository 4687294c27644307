#include "RealWindows.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QSignalBlocker>
#include <memory>
#include <vector>

#include "config/SettingsStore.h"
#include "devices/MixerControl.h"
#include "encoders/AttributeEditor.h"
#include "encoders/WmaProfile.h"
#include "encoders/WmaWriter.h"
#include "ui/schedule/ScheduleWindow.h"
#include "ui/settings/BackgroundWindow.h"
#include "ui/settings/DeviceWindow.h"
#include "ui/settings/FolderDialog.h"
#include "ui/settings/Mp3Window.h"
#include "ui/settings/NoiseWindow.h"
#include "ui/settings/OutputWindow.h"
#include "ui/settings/TrackSplitterWindow.h"
#include "ui/settings/WmaWindow.h"

namespace orvel::gallery {

namespace {

using namespace setting;

// Sample devices for the device window: the gallery needs no sound server.
class SampleServer : public platform::SoundServer {
public:
    SampleServer() {
        add("Built-in Audio", "card.builtin",
            {"Microphone", "Line In", "Monitor of Built-in Audio"});
        add("USB Microphone", "card.usb", {"Microphone"});
        add("Sound server", "", {"Tone line", "Silence", "Monitor of Speakers"});
    }
    bool isConnected() const override { return true; }
    std::vector<platform::SoundDevice> devices() override { return m_devices; }
    bool selectLine(const platform::SoundLine&) override { return true; }
    bool isLineSelected(const platform::SoundLine&) override { return false; }
    std::optional<double> lineVolume(const platform::SoundLine&) override { return 1.0; }
    bool setLineVolume(const platform::SoundLine&, double) override { return true; }
    std::optional<double> lineBalance(const platform::SoundLine&) override { return 0.0; }
    bool setLineBalance(const platform::SoundLine&, double) override { return true; }
    std::optional<int> defaultSinkVolume() override { return 65535; }
    bool setDefaultSinkVolume(int) override { return true; }
    std::unique_ptr<CaptureSource> createCaptureSource(const platform::SoundLine&) override {
        return nullptr;
    }
    std::unique_ptr<platform::PlaybackStream> createPlayback(const AudioFormat&,
                                                             std::string* error) override {
        *error = "the gallery plays nothing";
        return nullptr;
    }
    bool playSound(const AudioFormat&, std::vector<std::uint8_t>) override { return false; }

private:
    void add(const std::string& name, const std::string& card,
             const std::vector<std::string>& lines) {
        platform::SoundDevice device{name, card, {}};
        for (const std::string& line : lines) {
            device.lines.push_back({line, line, "", false});
        }
        m_devices.push_back(device);
    }
    std::vector<platform::SoundDevice> m_devices;
};

// What the device window works on, kept for the life of the gallery.
struct DeviceStage {
    SampleServer server;
    DeviceList devices{server};
    MixerControl mixer{server, devices};
};

// Tag edits stay alive as long as their windows.
std::vector<std::unique_ptr<TagEdit>> s_edits;

TagRecord sampleTag() {
    TagRecord tag;
    tag.artist = "The Night Owls";
    tag.title = "Morning Train";
    tag.album = "Live at the Harbour";
    tag.composer = "A. Composer";
    tag.copyright = "(c) 2024 The Night Owls";
    return tag;
}

std::string sampleMp3(const QString& folder) {
    const std::string path = (folder + "/Harbour session.mp3").toStdString();
    {
        QFile file(QString::fromStdString(path));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(QByteArray(4096, '\0'));
        }
    }
    TagRecord tag = sampleTag();
    tag.description = "2024";
    tag.genreNumber = 8;
    AttributeEditor::write(path, tag);
    return path;
}

std::string sampleWma(const QString& folder) {
    const std::string path = (folder + "/Harbour session.wma").toStdString();
    const AudioFormat format{2, 44100, 16};
    WmaWriter writer;
    writer.selectProfile(WmaProfile::firstFor(format));
    TagRecord tag = sampleTag();
    tag.genre = "Electronica";
    tag.description = "Recorded live on the pier, with the harbour's own foghorn in the last bars";
    writer.setAttributes(tag);
    if (writer.begin(format, path) == 0) {
        const std::vector<std::uint8_t> silence(44100 * 4 / 5, 0);
        writer.write(silence.data(), silence.size(), nullptr);
        writer.end();
    }
    return path;
}

QDialog* tagWindow(const QString& variant, const QString& folder) {
    const bool mp3 = variant.startsWith("mp3");
    s_edits.push_back(
        std::make_unique<TagEdit>(mp3 ? sampleMp3(folder) : sampleWma(folder), std::string()));
    if (mp3) {
        return new Mp3Window(*s_edits.back());
    }
    return new WmaWindow(*s_edits.back());
}

// The schedule window on a sample schedule file with every kind of line, one of them written by
// hand in a form the window lists but cannot edit.
QDialog* scheduleWindow(const SettingsStore& store, const QString& folder) {
    const std::string path = QDir(folder).filePath("TimeSchedule.txt").toStdString();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        return nullptr;
    }
    file.write(
        "07:00:00 - 07:30:00|Mon,Wed,Fri\n"
        "08:30:00 - 09:45:00|Mon,Fri|https://radio.example.org/stream|10\n"
        "12:00:00 - 12:30:00||https://radio.example.org/noon|5\n"
        "18:00:00 - 19:00:00|6/21/2025\n"
        "21:00:00 - 22:30:00\n"
        "7:00 - 8:00 a line written by hand\n");
    file.close();
    auto* window = new ScheduleWindow(store, path);
    // An item with a day field and a streaming address fills every editor.
    qobject_cast<QListWidget*>(window->control(ControlId::LIST_SCHEDULE))->setCurrentRow(1);
    // The picker starts at today's date; a fixed one keeps the picture the same every day.
    auto* date = qobject_cast<QDateEdit*>(window->control(ControlId::kScheduleDate));
    const QSignalBlocker quiet(date);
    date->setDate(QDate(2025, 6, 21));
    return window;
}

}  // namespace

QStringList RealWindows::variants() {
    return {"device",  "device-recording", "background",    "mp3",   "mp3-tag",  "wma",
            "wma-tag", "output",           "output-folder", "noise", "splitter", "schedule"};
}

QDialog* RealWindows::make(const QString& variant, const QString& sampleFolder,
                           const QString& musicFolder) {
    const SettingsStore store;
    if (variant == "schedule") {
        return scheduleWindow(store, sampleFolder);
    }
    if (variant == "splitter") {
        store.writeThreshold(18);
        store.writeSignalType(2);
        store.writeNewFileDelay(5);
        return new TrackSplitterWindow(store);
    }
    if (variant == "noise") {
        store.writeNumber(kNoiseThreshold, 12);
        store.writeNumber(kReleaseTime, 8);
        store.writeNumber(kAttackTime, 2);
        store.writeNumber(kHighPass, 80);
        return new NoiseWindow(store);
    }
    if (variant == "output") {
        store.writeLastName((musicFolder + "/Orvel.wav").toStdString());
        store.writeMultiFileStatus(1);
        store.writeNumber(kAlert, 1);
        return new OutputWindow(store);
    }
    if (variant == "output-folder") {
        return new FolderDialog(nullptr, musicFolder);
    }
    if (variant == "background") {
        store.writeText(kBackgroundFile, (musicFolder + "/Rain on the roof.mp3").toStdString());
        store.writeNumber(kBackgroundScale, 40);
        return new BackgroundWindow(store);
    }
    if (variant == "mp3") {
        store.writeMp3Bitrate(12);
        store.writeMp3Mode(2);
        store.writeNumber(kOriginal, 1);
        store.writeNumber(kId3, 1);
        store.writeText(kArtist, "The Night Owls");
        store.writeText(kAlbum, "Live at the Harbour");
        store.writeText(kTitle, "Morning Train");
        store.writeText(kYear, "2024");
        store.writeNumber(kGenre, 1);
        return new Mp3Window(store);
    }
    if (variant == "wma") {
        store.writeText(kWmaArtist, "The Night Owls");
        store.writeText(kWmaTitle, "Morning Train");
        store.writeText(kWmaAlbum, "Live at the Harbour");
        store.writeText(kWmaComposer, "A. Composer");
        store.writeText(kWmaCopyright, "(c) 2024 The Night Owls");
        store.writeText(kWmaDescription, "Recorded live on the pier");
        store.writeNumber(kWmaGenre, 1);
        store.writeNumber(kWmaFormat, 16);
        return new WmaWindow(store);
    }
    if (variant == "mp3-tag" || variant == "wma-tag") {
        return tagWindow(variant, musicFolder);
    }
    if (variant == "device" || variant == "device-recording") {
        static DeviceStage stage;
        stage.devices.refresh();
        stage.devices.selectRow(0);
        return new DeviceWindow(stage.server, stage.devices, stage.mixer, 0,
                                variant == "device-recording");
    }
    return nullptr;
}

}  // namespace orvel::gallery
