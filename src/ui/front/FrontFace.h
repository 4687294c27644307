#pragma once

#include <QPointer>
#include <memory>
#include <optional>

#include "recorder/RecorderController.h"
#include "recorder/RecorderView.h"
#include "recorder/StartupOptions.h"
#include "skin/SkinFace.h"
#include "ui/front/FaceCommands.h"
#include "ui/front/FaceDisplays.h"
#include "ui/front/LevelMeterPainter.h"
#include "ui/front/LinePanel.h"

class QMenu;

// The program's main window: the front face of the skin, drawn over the recorder's controller.
// It owns the controller (made from the services it is given) and is its view: it shows each
// FaceState the controller publishes (latched and enabled buttons, the sliders that belong to
// the moment, the line window), the info line, the displays and the level meter, and hands
// every press, slider release and window result back to the controller's commands.
//
// What is the face's own: each control's command (FaceCommands: a click, a hot key's or the
// command line's posted click, and a menu entry standing for the control all run it there), the
// sliders' values (each applied only on the release that ends its own press), the speakers'
// volume (which follows changes made by other programs, except while the user drags it), the
// line window's level and balance, the noise switches, the level display's style, the log
// panel, the pop-up menu (FaceMenu), the tray icon, the hot keys (HotKeyFilter) and hiding.
//
// Closing: the close button, the window manager's close, the menus' Exit, a signal or the end
// of the session all go through the controller's close order (everything stopped, the last file
// completed and logged, the settings written), which ends in closeProgram(); the face then
// writes its own settings (the meter's style and the volume, written as the user changes them
// too), hides and emits programClosed().
//
// Thread contract: GUI thread only; the sound server's volume signal is queued to it.
namespace orvel {

class FaceWindows;
class HistoryPanel;
class HotKeyFilter;
class HotKeyScript;
class TrayIcon;

class FrontFace : public SkinFace, public RecorderView {
    Q_OBJECT

public:
    FrontFace(RecorderServices services, const HotKeyScript& keys, QWidget* parent = nullptr);
    ~FrontFace() override;

    RecorderController& controller() { return *m_controller; }
    const FaceState& state() const { return m_state; }
    const FaceDisplays& displays() const { return m_displays; }
    const FaceCommands& commands() const { return m_commands; }
    const std::optional<LevelFrame>& levels() const { return m_levels; }
    TrayIcon& trayIcon() { return *m_tray; }
    HistoryPanel& historyPanel() { return *m_history; }
    QMenu& popupMenu() { return *m_popup; }
    bool isClosed() const { return m_closed; }

    // Start-up, after the settings, the language and the hot keys are there: the face's own
    // settings, then the controller's initialisation (which starts the ticks and, on the first
    // run, asks for the start-up window), then the tray icon.
    void initialise();
    // The command line: the format choices and the file name at once, then the presses of its
    // auto action as clicks posted to the buttons, and "/hide" as a click on the hide button,
    // all handled after what is queued already, in this order.
    void pressStartupButtons(const StartupOptions& options);
    // The hide button: into the tray; minimised where the desktop shows no tray icon, so the
    // program stays reachable (the offscreen platform just hides).
    void hideToTray();
    // Shows the face normal and in front, or the modal window open over it in front of it.
    void bringToFront();
    // An entry of the tray menu or the pop-up menu, by its id (FaceMenu).
    void runCommand(int id);

    // RecorderView
    void showInfo(const std::string& line1, const std::string& line2) override;
    void showState(const FaceState& state) override;
    void showTimes(const std::string& recording, const std::string& playback,
                   int positionSlider) override;
    void showLevels(const LevelFrame& frame) override;
    void showClock(const std::string& text) override;
    void askOverwrite(const std::string& path, std::function<void(bool)> answer) override;
    void tellNoMemory(std::function<void()> done) override;
    void openStartupWindow(const std::string& versionText) override;
    void openScheduleWindow() override;
    void openOutputSettings() override;
    void openWmaSettings() override;
    void openDocument(const std::string& path) override;
    void closeProgram() override;

signals:
    // The close order has run: the program may end.
    void programClosed();

protected:
    // The table itself: a face built on this one may bind commands in place of these (its
    // controls stay wired to the table, not to the commands first bound).
    FaceCommands& commandTable() { return m_commands; }

    void paintContents(QPainter& painter) override;
    bool pressArea(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void bindCommands();
    void connectSliders();
    void refreshDashboard();
    void refreshLineSliders();
    void makeHistoryPanel();
    void openHelp();
    // The noise gate and the filters as their switches are latched.
    void applyEffects();
    void openRecordingControl();
    bool idle() const;
    bool numericMeter() const { return m_showSwitch == 1; }

    RecorderServices m_services;
    const HotKeyScript& m_keys;
    std::unique_ptr<RecorderController> m_controller;
    std::unique_ptr<FaceWindows> m_windows;
    FaceDisplays m_displays;
    LevelMeterPainter m_meter;
    LinePanel m_lines;
    FaceCommands m_commands;
    HotKeyFilter* m_hotKeys = nullptr;
    TrayIcon* m_tray = nullptr;
    HistoryPanel* m_history = nullptr;
    std::unique_ptr<QMenu> m_popup;

    FaceState m_state;
    std::optional<LevelFrame> m_levels;
    int m_showSwitch = 0;
    bool m_closed = false;
    bool m_painted = false;
};

}  // namespace orvel
