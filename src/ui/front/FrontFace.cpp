#include "ui/front/FrontFace.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "config/HotKeyScript.h"
#include "config/LanguageTable.h"
#include "config/SettingNames.h"
#include "config/SettingsStore.h"
#include "config/TagDocument.h"
#include "devices/MixerControl.h"
#include "platform/HelpPage.h"
#include "playback/BackgroundSettings.h"
#include "recorder/DisplayTexts.h"
#include "recorder/RecorderClock.h"
#include "recorder/StartupActions.h"
#include "skin/PlainMessage.h"
#include "skin/PostedInput.h"
#include "skin/SkinButton.h"
#include "skin/SkinImageCache.h"
#include "skin/SkinSlider.h"
#include "skin/TrayIcon.h"
#include "ui/front/FaceMenu.h"
#include "ui/front/FaceWindows.h"
#include "ui/front/HotKeyFilter.h"
#include "ui/front/StartupFace.h"
#include "ui/history/HistoryPanel.h"

Q_LOGGING_CATEGORY(lcFace, "orvel.face", QtInfoMsg)

namespace orvel {

namespace {

constexpr int kPositionRange = 100;  // the controller's playback position, 0..100
constexpr int kLineVolumeRange = 65535;
constexpr int kLineBalanceRange = 100;

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

FrontFace::FrontFace(RecorderServices services, const HotKeyScript& keys, QWidget* parent)
    : SkinFace(skin::FaceId::Front, parent),
      m_services(std::move(services)),
      m_keys(keys),
      m_displays(spec()),
      m_meter(spec()),
      m_lines(spec()) {
    // The main window: a window of its own with a task bar entry, so that it can be minimised
    // and restored; not a dialog that would end with Escape.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setEscapeRejects(false);
    setMouseTracking(true);
    setWindowIcon(SkinImageCache::programIcon());
    // The controls' commands are there before the controller can show a state.
    bindCommands();
    m_controller = std::make_unique<RecorderController>(m_services, *this);
    m_windows = std::make_unique<FaceWindows>(*this, m_services, *m_controller, m_state,
                                              [this] { return m_closed; });
    applyTexts(m_services.language, &m_keys);
    m_hotKeys = new HotKeyFilter(*this, m_keys, [this] { return m_state.startupFace; });
    qApp->installEventFilter(m_hotKeys);
    m_tray = new TrayIcon(this);
    m_tray->setModalGuard([] { return QApplication::activeModalWidget() != nullptr; });
    connect(m_tray, &TrayIcon::command, this, &FrontFace::runCommand);
    m_popup = FaceMenu::makePopup([this](int id) { runCommand(id); });
    connectSliders();
    makeHistoryPanel();
    const QCursor plug = SkinImageCache::lineCursor(devicePixelRatioF());
    button(ControlId::BTN_AUTODETECT)->setCursor(plug);
    button(ControlId::BTN_CLOSEAUDIOBOX)->setCursor(plug);

    // The speakers' volume as other programs change it, arriving from the server's thread.
    connect(
        &m_services.server, &platform::SoundServer::defaultSinkVolumeChanged, this,
        [this](int volume) {
            SkinSlider* slider = this->slider(skin::SliderId::Volume);
            if (!slider->isPressed()) {
                slider->setValue(volume);
            }
        },
        Qt::QueuedConnection);
}

FrontFace::~FrontFace() {
    // The history panel watches the face's tree: it goes before the face's controls do.
    delete m_history;
    // The controller calls back into the face while it goes (its ticks, its engine).
    m_controller.reset();
}

// ---------------------------------------------------------------------------------------------
// Start-up and closing

void FrontFace::initialise() {
    const SettingsStore& s = m_services.settings;
    m_showSwitch = s.readShowSwitch();
    m_commands.setLatched(ControlId::BTN_SHOWSWITCH, numericMeter());
    m_controller->setShowSwitch(m_showSwitch);
    const std::optional<int> volume = m_services.server.defaultSinkVolume();
    slider(skin::SliderId::Volume)->setValue(volume.value_or(s.readVolume()));
    slider(skin::SliderId::Play)->setMaximum(kPositionRange);
    slider(skin::SliderId::Play)->setValue(0);
    const std::string startup = m_services.language.Text("StartFace", "MainMsg");
    std::array<QString, 3> lines;
    const char* tags[] = {"Line1", "Line2", "Line3"};
    for (std::size_t i = 0; i < 3; ++i) {
        lines[i] = fromStd(TagDocument::TextWithin(startup, tags[i], LanguageTable::kLineCapacity)
                               .value_or(std::string()));
    }
    m_displays.setStartupLines(lines);
    m_controller->initialise();
    m_history->setCurrentFile(s.readText(setting::kPlayFile));
    // The clock shows from the first paint, not a second later.
    const QTime now = m_services.clock.now().time();
    showClock(display::clockText(now.hour(), now.minute(), now.second()));
    refreshDashboard();
    // The notification area is asked for once the event loop runs (it may mean a round trip to
    // the desktop's bus), ahead of the command line's presses, which come after.
    QMetaObject::invokeMethod(m_tray, &TrayIcon::show, Qt::QueuedConnection);
}

void FrontFace::pressStartupButtons(const StartupOptions& options) {
    applyStartupChoices(*m_controller, options);
    for (const StartupPress press : startupPresses(options)) {
        const ControlId id = press == StartupPress::Record   ? ControlId::BTN_RECORD
                             : press == StartupPress::Signal ? ControlId::BTN_SIGNALFILE
                                                             : ControlId::BTN_CLOCKFILE;
        PostedInput::click(button(id));
    }
    if (options.hide) {
        PostedInput::click(button(ControlId::BTN_SYSTRAY));
    }
}

void FrontFace::closeEvent(QCloseEvent* event) {
    if (m_closed) {
        event->accept();
        return;
    }
    // The window manager's close takes the close order like the close button.
    event->ignore();
    m_controller->close();
}

void FrontFace::closeProgram() {
    if (m_closed) {
        return;
    }
    m_closed = true;
    const SettingsStore& s = m_services.settings;
    s.writeVolume(slider(skin::SliderId::Volume)->value());
    s.writeShowSwitch(m_showSwitch);
    m_tray->hide();
    hide();
    emit programClosed();
}

void FrontFace::hideToTray() {
    if (QGuiApplication::platformName() == QLatin1String("offscreen") || m_tray->shown()) {
        hide();
        return;
    }
    // Without a tray icon a hidden face could never be brought back.
    qCInfo(lcFace) << "the desktop shows no tray icon: the window is minimised instead";
    showMinimized();
}

void FrontFace::bringToFront() {
    showNormal();
    raise();
    // An open modal window stays in front of the face and keeps the keyboard: where no window
    // manager keeps a transient window above its owner, the raised face would cover it and
    // ignore every click.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != this) {
        modal->raise();
        modal->activateWindow();
        return;
    }
    activateWindow();
}

// ---------------------------------------------------------------------------------------------
// Buttons, sliders and menus

void FrontFace::bindCommands() {
    using enum ControlId;
    FaceCommands& k = m_commands;
    const auto call = [this, &k](ControlId id, auto command) {
        k.bind(id, [this, command] { (m_controller.get()->*command)(); });
    };
    call(BTN_RECORD, &RecorderController::record);
    call(BTN_PAUSE, &RecorderController::togglePause);
    call(BTN_STOP, &RecorderController::stop);
    call(BTN_PLAY, &RecorderController::play);
    call(BTN_EJECT, &RecorderController::eject);
    call(BTN_SIGNALFILE, &RecorderController::toggleSignal);
    call(BTN_CLOCKFILE, &RecorderController::toggleSchedule);
    call(BTN_MULTIFILE, &RecorderController::toggleMultiFile);
    call(BTN_TIMESTAMPEDFILE, &RecorderController::toggleTimeStamped);
    call(BTN_DETECT, &RecorderController::openLineWindow);
    call(BTN_CLOSEAUDIOBOX, &RecorderController::closeLineWindow);
    call(BTN_AUTODETECT, &RecorderController::autodetect);
    call(kMicrophone, &RecorderController::selectMicrophone);
    call(BTN_SYSCLOSE, &RecorderController::close);
    // A format or channel key already down changes nothing.
    for (const bool on : {true, false}) {
        k.bind(on ? BTN_16BIT : BTN_8BIT, [this, on] {
            if (m_state.sixteenBits != on) {
                m_controller->setSixteenBits(on);
            }
        });
        k.bind(on ? BTN_STEREO : BTN_MONO, [this, on] {
            if (m_state.stereo != on) {
                m_controller->setStereo(on);
            }
        });
    }
    k.bind(BTN_AUDIT, [this] { m_controller->setMonitor(!m_state.monitor); });
    k.bind(BTN_BACKGROUNDENABLE,
           [this] { m_controller->setBackgroundEnabled(!m_state.backgroundOn); });
    for (const ControlId id : {BTN_NOISEGATE, BTN_LOWPASS, BTN_HIGHPASS}) {
        k.bind(id, [this, id] {
            m_commands.setLatched(id, !m_commands.latched(id));
            applyEffects();
        });
    }
    k.bind(BTN_MP3FILE, [this] { m_controller->chooseFormat(OutputFormat::Mp3); });
    k.bind(BTN_WAVFILE, [this] { m_controller->chooseFormat(OutputFormat::Wav); });
    k.bind(BTN_WMAFILE, [this] { m_controller->chooseFormat(OutputFormat::Wma); });
    k.bind(BTN_DEVICE, [this] { m_windows->openDevice(); });
    k.bind(BTN_RECORDINGCTRL, [this] { openRecordingControl(); });
    k.bind(BTN_SHOWSWITCH, [this] {
        m_showSwitch = numericMeter() ? 0 : 1;
        m_commands.setLatched(BTN_SHOWSWITCH, numericMeter());
        m_controller->setShowSwitch(m_showSwitch);
        m_services.settings.writeShowSwitch(m_showSwitch);
        update(m_meter.area());
    });
    k.bind(BTN_SYSMIN, [this] { showMinimized(); });
    k.bind(BTN_SYSTRAY, [this] { hideToTray(); });
    k.bind(BTN_SIGNALSET, [this] { m_windows->openSplitter(); });
    // The gate and the filters take the new values from the store at once.
    k.bind(BTN_NOISESETTING, [this] { m_windows->openNoise([this] { applyEffects(); }); });
    k.bind(BTN_BACKGROUNDSET, [this] {
        m_windows->openBackground([this](int scale) {
            slider(skin::SliderId::Balance)->setValue(100 - scale);
            refreshDashboard();
        });
    });
    k.bind(BTN_MUSICSET, [this] { m_windows->openEncoder(OutputFormat::Mp3); });
    k.bind(BTN_WMASET, [this] { m_windows->openEncoder(OutputFormat::Wma); });
    k.bind(BTN_CLOCKSET, [this] { m_windows->openSchedule(); });
    k.bind(BTN_HELPBOOK, [this] { openHelp(); });
    k.bind(BTN_SYSHELP, [this] { openHelp(); });
    // The log panel's keys are the history panel's own.

    k.setShown([this](const FaceCommands::Command& command) {
        if (SkinButton* b = button(command.control)) {
            b->setEnabled(command.enabled);
            b->setLatched(command.latched);
        }
    });
    for (const FaceCommands::Command& command : k.commands()) {
        if (SkinButton* b = button(command.control)) {
            const ControlId id = command.control;
            connect(b, &QAbstractButton::clicked, this, [this, id] { m_commands.run(id); });
        }
    }
}

void FrontFace::applyEffects() {
    m_controller->setEffects(m_commands.latched(ControlId::BTN_NOISEGATE),
                             m_commands.latched(ControlId::BTN_LOWPASS),
                             m_commands.latched(ControlId::BTN_HIGHPASS));
}

void FrontFace::connectSliders() {
    RecorderController* c = m_controller.get();
    auto onRelease = [this](skin::SliderId id, auto apply) {
        connect(slider(id), &SkinSlider::released, this, apply);
    };
    onRelease(skin::SliderId::Rate, [c](int value) { c->setRateIndex(value); });
    onRelease(skin::SliderId::Volume, [this](int value) {
        m_services.server.setDefaultSinkVolume(value);
        m_services.settings.writeVolume(value);
    });
    onRelease(skin::SliderId::Play, [c](int value) { c->positionSliderMoved(value, true); });
    onRelease(skin::SliderId::Threshold, [c](int value) { c->thresholdChanged(value); });
    onRelease(skin::SliderId::Balance, [c](int value) { c->setBackgroundScale(100 - value); });
    onRelease(skin::SliderId::LineVolume, [this](int value) {
        m_services.mixer.setVolume(m_state.lineIndex,
                                   MixerControl::volumeFromSlider(value, kLineVolumeRange));
    });
    onRelease(skin::SliderId::LineBalance, [this](int value) {
        m_services.mixer.setBalance(m_state.lineIndex,
                                    MixerControl::balanceFromSlider(value, kLineBalanceRange));
    });
}

void FrontFace::runCommand(int id) {
    // Commands never act behind a modal face, whose own loop would find things changed.
    if (id != TrayIcon::kOpen && QApplication::activeModalWidget() != nullptr) {
        return;
    }
    if (const std::optional<ControlId> control = FaceMenu::controlOf(id)) {
        m_commands.run(*control);
        return;
    }
    switch (id) {
        case TrayIcon::kOpen:
            bringToFront();
            break;
        case FaceMenu::kConfigLine:
            m_controller->autoConfigure();
            break;
        case FaceMenu::kAddToStartup: {
            const SettingsStore& s = m_services.settings;
            if (!s.writeAutostart(s.autostartProgramPath())) {
                qCWarning(lcFace) << "the autostart entry could not be written";
            }
            break;
        }
        case FaceMenu::kAbout:
            m_windows->openAbout();
            break;
        default:
            break;
    }
}

void FrontFace::openRecordingControl() {
    // The desktop's recording controls, on their recording tab, where they are installed.
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pavucontrol"));
    if (program.isEmpty() || !QProcess::startDetached(program, {QStringLiteral("--tab=2")})) {
        qCInfo(lcFace) << "no recording control program to open";
    }
}

void FrontFace::makeHistoryPanel() {
    HistoryPanel::Hooks hooks;
    hooks.recordingFile = [this] {
        return m_controller->recording() ? m_controller->runPath() : std::string();
    };
    hooks.playing = [this] { return m_controller->playing(); };
    hooks.editTag = [this](const std::string& path) { return m_windows->editTag(path); };
    // The panel opens and closes itself with the log panel's buttons.
    m_history = new HistoryPanel(*this, m_services.settings.effectiveInstallFolder(), hooks);
    connect(m_history, &HistoryPanel::playFileChosen, this, [this](const QString& path) {
        // The history's file is the one the playing-file line names and play source 2 plays.
        m_services.settings.writeText(setting::kPlayFile, path.toStdString());
        refreshDashboard();
        m_controller->choosePlaySource(2);
    });
}

void FrontFace::openHelp() {
    const QUrl page = HelpPage::url();
    if (!page.isValid() || !QDesktopServices::openUrl(page)) {
        qCInfo(lcFace) << "no help page to open";
    }
}

// ---------------------------------------------------------------------------------------------
// The controller's view

void FrontFace::showInfo(const std::string& line1, const std::string& line2) {
    const QRect changed = m_displays.setInfo(fromStd(line1), fromStd(line2));
    if (!changed.isEmpty()) {
        update(changed);
    }
}

bool FrontFace::idle() const {
    const FaceState& s = m_state;
    return s.transport == Transport::Idle && !s.recordDown && !s.playDown && !s.signalDown &&
           !s.scheduleDown;
}

void FrontFace::showState(const FaceState& state) {
    const bool lineChanged =
        state.lineIndex != m_state.lineIndex || state.lineWindowOpen != m_state.lineWindowOpen;
    const bool balanceShown = state.backgroundBalanceVisible && !m_state.backgroundBalanceVisible;
    m_state = state;
    const FaceState& s = m_state;

    m_commands.show(s);

    SkinSlider* rate = slider(skin::SliderId::Rate);
    rate->setEnabled(idle());
    if (!rate->isPressed()) {
        rate->setValue(s.rateIndex);
    }
    SkinSlider* threshold = slider(skin::SliderId::Threshold);
    threshold->setVisible(s.thresholdVisible);
    if (!threshold->isPressed()) {
        threshold->setValue(s.threshold);
    }
    SkinSlider* balance = slider(skin::SliderId::Balance);
    balance->setVisible(s.backgroundBalanceVisible);
    if (balanceShown) {
        balance->setValue(100 - BackgroundSettings::fromStore(m_services.settings).scale);
    }
    slider(skin::SliderId::Play)->setVisible(!(s.signalDown || s.recordDown || s.scheduleDown));

    setPanelOpen(skin::kSidePanel, s.lineWindowOpen);
    if (lineChanged && s.lineWindowOpen) {
        refreshLineSliders();
    }
    if (!s.lineWindowOpen) {
        m_lines.setHover(-1);
    }
    if (s.transport != Transport::Recording && s.transport != Transport::Playing) {
        m_levels.reset();
    }
    m_displays.setFileLines({fromStd(s.fieldText), m_displays.fileLine(1), m_displays.fileLine(2)});
    m_tray->setPaused(s.pauseDown);
    update();
}

void FrontFace::refreshDashboard() {
    const SettingsStore& s = m_services.settings;
    m_displays.setFileLines({fromStd(m_state.fieldText),
                             fromStd(BackgroundSettings::fromStore(s).file),
                             fromStd(s.readText(setting::kPlayFile))});
    update();
}

void FrontFace::refreshLineSliders() {
    const int line = m_state.lineIndex;
    slider(skin::SliderId::LineVolume)
        ->setValue(MixerControl::sliderFromVolume(m_services.mixer.volume(line), kLineVolumeRange));
    slider(skin::SliderId::LineBalance)
        ->setValue(
            MixerControl::sliderFromBalance(m_services.mixer.balance(line), kLineBalanceRange));
}

void FrontFace::showTimes(const std::string& recording, const std::string& playback,
                          int positionSlider) {
    const QRect changed = m_displays.setTimes(fromStd(recording), fromStd(playback));
    if (!changed.isEmpty()) {
        update(changed);
    }
    // The thumb stays under the user's hand while dragged.
    SkinSlider* play = slider(skin::SliderId::Play);
    if (!play->isPressed() && play->value() != positionSlider) {
        play->setValue(positionSlider);
    }
}

void FrontFace::showLevels(const LevelFrame& frame) {
    m_levels = frame;
    update(m_meter.area());
}

void FrontFace::showClock(const std::string& text) {
    const QRect changed = m_displays.setClock(fromStd(text));
    if (!changed.isEmpty() && !m_state.startupFace) {
        update(changed);
    }
}

void FrontFace::askOverwrite(const std::string& path, std::function<void(bool)> answer) {
    qCInfo(lcFace) << "asking before overwriting" << fromStd(path);
    PlainMessage::show(this, QMessageBox::Question, QStringLiteral("File exist"),
                       QStringLiteral("The file is already exist, Overwrite ?"),
                       QMessageBox::Yes | QMessageBox::No,
                       [answer = std::move(answer)](QMessageBox::StandardButton button) {
                           answer(button == QMessageBox::Yes);
                       });
}

void FrontFace::tellNoMemory(std::function<void()> done) {
    PlainMessage::show(this, QMessageBox::Warning, QStringLiteral("Not Enough Memory"),
                       QStringLiteral("Not enough memory for recording, Please close some "
                                      "applications to release memory and retry"),
                       QMessageBox::Ok,
                       [done = std::move(done)](QMessageBox::StandardButton) { done(); });
}

void FrontFace::openStartupWindow(const std::string& versionText) {
    auto* startup = new StartupFace(fromStd(versionText), this);
    startup->setAttribute(Qt::WA_DeleteOnClose);
    startup->setWindowModality(Qt::ApplicationModal);
    connect(startup, &StartupFace::helpRequested, this, &FrontFace::openHelp);
    QPointer<RecorderController> controller(m_controller.get());
    connect(startup, &QDialog::finished, this, [controller](int result) {
        if (controller) {
            controller->startupClosed(result);
        }
    });
    startup->open();
}

void FrontFace::openScheduleWindow() {
    m_windows->openSchedule();
}

void FrontFace::openOutputSettings() {
    m_windows->openOutput([this] { refreshDashboard(); });
}

void FrontFace::openWmaSettings() {
    m_windows->openWma();
}

void FrontFace::openDocument(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(fromStd(path)));
}

// ---------------------------------------------------------------------------------------------
// Painting and the mouse

void FrontFace::paintContents(QPainter& painter) {
    if (!m_painted) {
        // The launch benchmark waits for this line.
        m_painted = true;
        qCDebug(lcFace) << "first paint";
    }
    const FaceState& s = m_state;
    FaceDisplays::Shown shown;
    shown.startupFace = s.startupFace;
    shown.playSource = s.playSource;
    shown.rateIndex = s.rateIndex;
    shown.dataRate = fromStd(s.dataRateText);
    shown.recordingTimes = s.signalDown || s.recordDown || s.scheduleDown;
    shown.clock = !s.startupFace;
    m_displays.paint(painter, shown);
    m_meter.paint(painter, m_levels, numericMeter());
    if (s.thresholdVisible) {
        m_meter.paintThreshold(painter, s.threshold);
    }
    if (s.lineWindowOpen) {
        m_lines.paint(painter, s);
    }
}

bool FrontFace::pressArea(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (m_state.lineWindowOpen) {
        const int socket = m_lines.socketAt(point, m_state.sockets.size());
        if (socket >= 0) {
            m_controller->socketClicked(socket);
            return true;
        }
    }
    const int row = m_displays.dashboardRowAt(point);
    if (row >= 0 && !m_state.startupFace) {
        // The controller takes the choice only while idle.
        m_controller->choosePlaySource(row);
        return true;
    }
    return false;
}

void FrontFace::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        m_popup->popup(event->globalPosition().toPoint());
        return;
    }
    SkinFace::mousePressEvent(event);
}

void FrontFace::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click on the playing-file line offers the file picker of the history.
    if (event->button() == Qt::LeftButton && !m_state.startupFace &&
        m_displays.dashboardRowAt(event->position().toPoint()) == 2) {
        m_history->pickFiles();
        return;
    }
    SkinFace::mouseDoubleClickEvent(event);
}

void FrontFace::mouseMoveEvent(QMouseEvent* event) {
    SkinFace::mouseMoveEvent(event);
    int socket = -1;
    if (m_state.lineWindowOpen) {
        socket = m_lines.socketAt(event->position().toPoint(), m_state.sockets.size());
    }
    const QRect changed = m_lines.setHover(socket);
    if (!changed.isEmpty()) {
        update(changed);
        if (socket >= 0) {
            setCursor(SkinImageCache::lineCursor(devicePixelRatioF()));
        } else {
            unsetCursor();
        }
    }
}

void FrontFace::leaveEvent(QEvent* event) {
    const QRect changed = m_lines.setHover(-1);
    if (!changed.isEmpty()) {
        update(changed);
        unsetCursor();
    }
    SkinFace::leaveEvent(event);
}

}  // namespace orvel
