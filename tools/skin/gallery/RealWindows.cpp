#include "RealWindows.h"

#include <QDateEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTemporaryDir>

#include "GalleryFace.h"
#include "config/SettingsStore.h"
#include "schedule/ui/ScheduleWindow.h"

namespace orvel::gallery {

namespace {

// Never written by the gallery: the windows only read their stored values from it.
constexpr char kSettingsProduct[] = "OrvelGallery";

SkinFace* scheduleWindow() {
    QTemporaryDir folder;
    const std::string path = folder.filePath("TimeSchedule.txt").toStdString();
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
    auto* window = new ScheduleWindow(SettingsStore(kSettingsProduct), path);
    // An item with a day field and a streaming address fills every editor.
    qobject_cast<QListWidget*>(window->control(1101))->setCurrentRow(1);
    // The picker starts at today's date; a fixed one keeps the picture the same every day.
    auto* date = qobject_cast<QDateEdit*>(window->control(1075));
    const QSignalBlocker quiet(date);
    date->setDate(QDate(2025, 6, 21));
    return window;
}

}  // namespace

SkinFace* RealWindows::make(const QString& variant) {
    if (variant == QLatin1String("schedule")) {
        return scheduleWindow();
    }
    return GalleryFace::make(variant);
}

}  // namespace orvel::gallery
