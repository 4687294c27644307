#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <memory>

class QAction;
class QMenu;

// The recorder's icon in the desktop's notification area, with its menu: "Open Orvel",
// "record", "Stop", "Pause" (checked while paused), "Play" and "Exit". A right click shows the
// menu, a double click opens the front face, a single click does nothing. Each entry is handed
// to the owner as its command id.
//
// While a modal face is open (asked through the guard), every entry but "Open Orvel" is
// disabled, and a command that still arrives is dropped: the modal face's own loop must not
// find the front face closed or recording behind it.
//
// Desktops without a notification area (some of them, a bare X server, the offscreen platform)
// show no icon: shown() says so, and the owner then minimises instead of hiding. A notification
// area that comes after show() (a panel starting after the program at login) is looked for
// every two seconds, and the icon shows once it is there.
//
// Thread contract: GUI thread only.
namespace orvel {

class TrayIcon : public QObject {
    Q_OBJECT

public:
    static constexpr int kOpen = 32771;
    static constexpr int kRecord = 32772;
    static constexpr int kStop = 32773;
    static constexpr int kPause = 32774;
    static constexpr int kPlay = 32776;
    static constexpr int kExit = 57665;

    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    // Shows the icon where the desktop has a notification area, or once it has one.
    void show();
    void hide();
    // Whether the icon is really there (the desktop has a notification area and took it).
    bool shown() const;

    void setPaused(bool paused) { m_paused = paused; }
    // True while a modal face is open.
    void setModalGuard(std::function<bool()> modalOpen) { m_modalOpen = std::move(modalOpen); }

    QMenu* menu() const { return m_menu.get(); }
    QAction* action(int id) const;
    // Runs an entry as if it had been chosen (also the double click's "Open Orvel").
    void choose(int id);

signals:
    void command(int id);

private:
    void prepareMenu();
    bool modalOpen() const { return m_modalOpen && m_modalOpen(); }

    std::unique_ptr<QMenu> m_menu;
    QSystemTrayIcon m_icon;
    QTimer m_lookForTray;
    std::function<bool()> m_modalOpen;
    bool m_paused = false;
};

}  // namespace orvel
