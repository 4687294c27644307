#include "ui/front/FaceMenu.h"

#include <QMenu>
#include <span>

#include "skin/TrayIcon.h"

namespace orvel {

namespace {

struct Entry {
    int id;  // 0: a separator
    const char* text;
    std::optional<ControlId> control;
};

// clang-format off
const Entry kPopup[] = {
    {FaceMenu::kSelectDevice, "Select Audio Device", ControlId::BTN_DEVICE},
    {FaceMenu::kMp3Settings, "MP3 Settings", ControlId::BTN_MUSICSET},
    {0, nullptr, std::nullopt},
    {FaceMenu::kChangeFileName, "Chang File Name", ControlId::BTN_EJECT},
    // Not the line window's search key: the configuration that the first run offers.
    {FaceMenu::kConfigLine, "Config Audio Line", std::nullopt},
    {0, nullptr, std::nullopt},
    {FaceMenu::kRecord, "Record", ControlId::BTN_RECORD},
    {FaceMenu::kSignalRecord, "Signal Record", ControlId::BTN_SIGNALFILE},
    {FaceMenu::kScheduleRecord, "Schedule Record", ControlId::BTN_CLOCKFILE},
    {FaceMenu::kStop, "Stop", ControlId::BTN_STOP},
    {FaceMenu::kPlay, "Play", ControlId::BTN_PLAY},
    {FaceMenu::kPause, "Pause", ControlId::BTN_PAUSE},
    {0, nullptr, std::nullopt},
    {FaceMenu::kAddToStartup, "Add to Startup ", std::nullopt},
    {0, nullptr, std::nullopt},
    {FaceMenu::kAbout, "About Orvel", std::nullopt},
    {FaceMenu::kExit, "Exit", ControlId::BTN_SYSCLOSE},
};

// The tray menu's texts are its own; what its entries stand for is the face's.
const Entry kTray[] = {
    {TrayIcon::kOpen, nullptr, std::nullopt},
    {TrayIcon::kRecord, nullptr, ControlId::BTN_RECORD},
    {TrayIcon::kStop, nullptr, ControlId::BTN_STOP},
    {TrayIcon::kPause, nullptr, ControlId::BTN_PAUSE},
    {TrayIcon::kPlay, nullptr, ControlId::BTN_PLAY},
    {TrayIcon::kExit, nullptr, ControlId::BTN_SYSCLOSE},
};
// clang-format on

}  // namespace

std::unique_ptr<QMenu> FaceMenu::makePopup(const std::function<void(int)>& chosen) {
    auto menu = std::make_unique<QMenu>();
    for (const Entry& entry : kPopup) {
        if (entry.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromLatin1(entry.text));
        action->setData(entry.id);
        QObject::connect(action, &QAction::triggered, menu.get(),
                         [chosen, id = entry.id] { chosen(id); });
    }
    return menu;
}

std::optional<ControlId> FaceMenu::controlOf(int entry) {
    for (const std::span<const Entry> menu :
         {std::span<const Entry>(kPopup), std::span<const Entry>(kTray)}) {
        for (const Entry& e : menu) {
            if (e.id != 0 && e.id == entry) {
                return e.control;
            }
        }
    }
    return std::nullopt;
}

}  // namespace orvel
