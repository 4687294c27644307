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
#include "skin/AboutFace.h"
#include "skin/PlainMessage.h"
#include "skin/PostedInput.h"
#include "skin/SkinButton.h"
#include "skin/SkinImageCache.h"
#include "skin/SkinSlider.h"
#include "skin/TrayIcon.h"
#include "ui/front/HotKeyFilter.h"
#include "ui/front/StartupFace.h"
#include "ui/history/HistoryPanel.h"
#include "ui/schedule/ScheduleWindow.h"
#include "ui/settings/BackgroundWindow.h"
#include "ui/settings/DeviceWindow.h"
#include "ui/settings/Mp3Window.h"
#include "ui/settings/NoiseWindow.h"
#include "ui/settings/OutputWindow.h"
#include "ui/settings/TrackSplitterWindow.h"
#include "ui/settings/WmaWindow.h"

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
    m_controller = std::make_unique<RecorderController>(m_services, *this);
    applyTexts(m_services.language, &m_keys);
    m_hotKeys = new HotKeyFilter(*this, m_keys, [this] { return m_state.startupFace; });
    qApp->installEventFilter(m_hotKeys);
    m_tray = new TrayIcon(this);
    m_tray->setModalGuard([] { return QApplication::activeModalWidget() != nullptr; });
    connect(m_tray, &TrayIcon::command, this, &FrontFace::runCommand);
    buildPopupMenu();
    connectButtons();
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
    latch(ControlId::BTN_SHOWSWITCH, numericMeter());
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

void FrontFace::connectButtons() {
    for (const skin::ControlSpec& control : spec().controls) {
        if (SkinButton* b = button(control.id)) {
            const ControlId id = control.id;
            connect(b, &QAbstractButton::clicked, this, [this, id] { buttonClicked(id); });
        }
    }
}

void FrontFace::buttonClicked(ControlId id) {
    RecorderController& c = *m_controller;
    switch (id) {
        case ControlId::BTN_16BIT:
        case ControlId::BTN_8BIT:
            if (m_state.sixteenBits != (id == ControlId::BTN_16BIT)) {
                c.setSixteenBits(id == ControlId::BTN_16BIT);
            }
            break;
        case ControlId::BTN_STEREO:
        case ControlId::BTN_MONO:
            if (m_state.stereo != (id == ControlId::BTN_STEREO)) {
                c.setStereo(id == ControlId::BTN_STEREO);
            }
            break;
        case ControlId::BTN_RECORD:
            c.record();
            break;
        case ControlId::BTN_PAUSE:
            c.togglePause();
            break;
        case ControlId::BTN_STOP:
            c.stop();
            break;
        case ControlId::BTN_PLAY:
            c.play();
            break;
        case ControlId::BTN_EJECT:
            c.eject();
            break;
        case ControlId::BTN_SIGNALFILE:
            c.toggleSignal();
            break;
        case ControlId::BTN_CLOCKFILE:
            c.toggleSchedule();
            break;
        case ControlId::BTN_MULTIFILE:
            c.toggleMultiFile();
            break;
        case ControlId::BTN_TIMESTAMPEDFILE:
            c.toggleTimeStamped();
            break;
        case ControlId::BTN_AUDIT:
            c.setMonitor(!m_state.monitor);
            break;
        case ControlId::BTN_BACKGROUNDENABLE:
            c.setBackgroundEnabled(!m_state.backgroundOn);
            break;
        case ControlId::BTN_NOISEGATE:
        case ControlId::BTN_LOWPASS:
        case ControlId::BTN_HIGHPASS:
            toggleEffect(id);
            break;
        case ControlId::BTN_MP3FILE:
            c.chooseFormat(OutputFormat::Mp3);
            break;
        case ControlId::BTN_WAVFILE:
            c.chooseFormat(OutputFormat::Wav);
            break;
        case ControlId::BTN_WMAFILE:
            c.chooseFormat(OutputFormat::Wma);
            break;
        case ControlId::BTN_DETECT:
            c.openLineWindow();
            break;
        case ControlId::BTN_CLOSEAUDIOBOX:
            c.closeLineWindow();
            break;
        case ControlId::BTN_AUTODETECT:
            c.autodetect();
            break;
        case ControlId::kMicrophone:
            c.selectMicrophone();
            break;
        case ControlId::BTN_DEVICE:
            openDeviceWindow();
            break;
        case ControlId::BTN_RECORDINGCTRL:
            openRecordingControl();
            break;
        case ControlId::BTN_SHOWSWITCH:
            m_showSwitch = numericMeter() ? 0 : 1;
            latch(ControlId::BTN_SHOWSWITCH, numericMeter());
            c.setShowSwitch(m_showSwitch);
            m_services.settings.writeShowSwitch(m_showSwitch);
            update(m_meter.area());
            break;
        case ControlId::BTN_SYSMIN:
            showMinimized();
            break;
        case ControlId::BTN_SYSTRAY:
            hideToTray();
            break;
        case ControlId::BTN_SYSCLOSE:
            c.close();
            break;
        case ControlId::BTN_SIGNALSET:
            runWindow([this] {
                TrackSplitterWindow::run(this, m_services.settings);
                m_controller->signalSettingsClosed();
            });
            break;
        case ControlId::BTN_NOISESETTING:
            runWindow([this] {
                NoiseWindow::run(this, m_services.settings);
                // The gate and the filters take the new values from the store at once.
                m_controller->setEffects(m_noiseGate, m_lowPass, m_highPass);
            });
            break;
        case ControlId::BTN_BACKGROUNDSET:
            runWindow([this] {
                const BackgroundWindow::Outcome outcome =
                    BackgroundWindow::run(this, m_services.settings);
                slider(skin::SliderId::Balance)->setValue(100 - outcome.settings.scale);
                refreshDashboard();
            });
            break;
        case ControlId::BTN_MUSICSET:
            openEncoderWindow(OutputFormat::Mp3);
            break;
        case ControlId::BTN_WMASET:
            openEncoderWindow(OutputFormat::Wma);
            break;
        case ControlId::BTN_CLOCKSET:
            openScheduleWindow();
            break;
        case ControlId::BTN_HELPBOOK:
        case ControlId::BTN_SYSHELP:
            openHelp();
            break;
        default:
            // The log panel's keys are the history panel's own.
            break;
    }
}

void FrontFace::toggleEffect(ControlId id) {
    bool& flag = id == ControlId::BTN_NOISEGATE ? m_noiseGate
                 : id == ControlId::BTN_LOWPASS ? m_lowPass
                                                : m_highPass;
    flag = !flag;
    latch(id, flag);
    m_controller->setEffects(m_noiseGate, m_lowPass, m_highPass);
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

void FrontFace::buildPopupMenu() {
    m_popup = std::make_unique<QMenu>();
    const struct {
        int id;  // 0: a separator
        const char* text;
    } entries[] = {{kSelectDevice, "Select Audio Device"},
                   {kMp3Settings, "MP3 Settings"},
                   {0, nullptr},
                   {kChangeFileName, "Chang File Name"},
                   {kConfigLine, "Config Audio Line"},
                   {0, nullptr},
                   {kRecord, "Record"},
                   {kSignalRecord, "Signal Record"},
                   {kScheduleRecord, "Schedule Record"},
                   {kStop, "Stop"},
                   {kPlay, "Play"},
                   {kPause, "Pause"},
                   {0, nullptr},
                   {kAddToStartup, "Add to Startup "},
                   {0, nullptr},
                   {kAbout, "About Orvel"},
                   {kExit, "Exit"}};
    for (const auto& entry : entries) {
        if (entry.id == 0) {
            m_popup->addSeparator();
            continue;
        }
        QAction* action = m_popup->addAction(QString::fromLatin1(entry.text));
        action->setData(entry.id);
        connect(action, &QAction::triggered, this, [this, id = entry.id] { runCommand(id); });
    }
}

void FrontFace::runCommand(int id) {
    // Commands never act behind a modal face, whose own loop would find things changed.
    if (id != TrayIcon::kOpen && QApplication::activeModalWidget() != nullptr) {
        return;
    }
    RecorderController& c = *m_controller;
    switch (id) {
        case TrayIcon::kOpen:
            bringToFront();
            break;
        case TrayIcon::kRecord:
        case kRecord:
            c.record();
            break;
        case TrayIcon::kStop:
        case kStop:
            c.stop();
            break;
        case TrayIcon::kPause:
        case kPause:
            c.togglePause();
            break;
        case TrayIcon::kPlay:
        case kPlay:
            c.play();
            break;
        case TrayIcon::kExit:
        case kExit:
            c.close();
            break;
        case kSignalRecord:
            c.toggleSignal();
            break;
        case kScheduleRecord:
            c.toggleSchedule();
            break;
        case kChangeFileName:
            c.eject();
            break;
        case kConfigLine:
            c.autoConfigure();
            break;
        case kSelectDevice:
            openDeviceWindow();
            break;
        case kMp3Settings:
            openEncoderWindow(OutputFormat::Mp3);
            break;
        case kAddToStartup: {
            const SettingsStore& s = m_services.settings;
            if (!s.writeAutostart(s.autostartProgramPath())) {
                qCWarning(lcFace) << "the autostart entry could not be written";
            }
            break;
        }
        case kAbout:
            openAbout();
            break;
        default:
            break;
    }
}

void FrontFace::openAbout() {
    auto* about = new AboutFace(fromStd(StartupChoice::versionText()), this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setWindowModality(Qt::ApplicationModal);
    about->open();
}

void FrontFace::runWindow(std::function<void()> window) {
    // Settings windows run their own modal loop: never inside a command or a tick, so they are
    // opened from the event loop, after the click that asked for them.
    later([this, window = std::move(window)] {
        if (!m_closed && !m_controller->closing()) {
            window();
        }
    });
}

void FrontFace::openDeviceWindow() {
    // Never while a capture runs: the device must not change under it.
    if (!m_controller->deviceWindowAllowed()) {
        return;
    }
    runWindow([this] {
        const std::optional<DeviceChooser::Choice> choice =
            DeviceWindow::choose(this, m_services.server, m_services.devices, m_services.mixer,
                                 m_state.lineIndex, false);
        if (choice) {
            m_controller->deviceChosen(choice->device, choice->line);
        }
    });
}

void FrontFace::openEncoderWindow(OutputFormat format) {
    if (!m_controller->encoderWindowAllowed(format)) {
        return;
    }
    runWindow([this, format] {
        if (format == OutputFormat::Mp3) {
            Mp3Window::runSettings(this, m_services.settings);
            m_controller->mp3SettingsClosed();
        } else {
            WmaWindow::runSettings(this, m_services.settings, recordingFormat());
            m_controller->wmaSettingsClosed();
        }
    });
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
    hooks.editTag = [this](const std::string& path) {
        const std::string recording =
            m_controller->recording() ? m_controller->runPath() : std::string();
        const bool wma =
            QString::fromStdString(path).endsWith(QLatin1String(".wma"), Qt::CaseInsensitive);
        return wma ? WmaWindow::runTag(this, path, recording).has_value()
                   : Mp3Window::runTag(this, path, recording).has_value();
    };
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

void FrontFace::later(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
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

    latch(ControlId::BTN_16BIT, s.sixteenBits);
    latch(ControlId::BTN_8BIT, !s.sixteenBits);
    latch(ControlId::BTN_STEREO, s.stereo);
    latch(ControlId::BTN_MONO, !s.stereo);
    latch(ControlId::BTN_SIGNALFILE, s.signalDown);
    latch(ControlId::BTN_CLOCKFILE, s.scheduleDown);
    latch(ControlId::BTN_BACKGROUNDENABLE, s.backgroundOn);
    latch(ControlId::BTN_MULTIFILE, s.multiFileDown);
    latch(ControlId::BTN_TIMESTAMPEDFILE, s.timeStampedDown);
    latch(ControlId::BTN_AUDIT, s.monitor);
    latch(ControlId::BTN_MP3FILE, s.outputFormat == OutputFormat::Mp3);
    latch(ControlId::BTN_WAVFILE, s.outputFormat == OutputFormat::Wav);
    latch(ControlId::BTN_WMAFILE, s.outputFormat == OutputFormat::Wma);
    latch(ControlId::BTN_PAUSE, s.pauseDown);
    latch(ControlId::BTN_PLAY, s.playDown);
    latch(ControlId::BTN_RECORD, s.recordDown);
    for (const ControlId id :
         {ControlId::BTN_MULTIFILE, ControlId::BTN_TIMESTAMPEDFILE, ControlId::BTN_EJECT}) {
        enable(id, s.transportEnabled);
    }
    // The key that runs stays lit rather than greyed; the controller ignores its presses.
    enable(ControlId::BTN_RECORD, s.transportEnabled || s.recordDown);
    enable(ControlId::BTN_PLAY, s.transportEnabled || s.playDown);
    // The filters and the background need 16-bit samples.
    for (const ControlId id :
         {ControlId::BTN_LOWPASS, ControlId::BTN_HIGHPASS, ControlId::BTN_BACKGROUNDENABLE}) {
        enable(id, s.sixteenBits);
    }

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

void FrontFace::latch(ControlId id, bool down) {
    if (SkinButton* b = button(id)) {
        b->setLatched(down);
    }
}

void FrontFace::enable(ControlId id, bool enabled) {
    if (SkinButton* b = button(id)) {
        b->setEnabled(enabled);
    }
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
    runWindow([this] {
        ScheduleWindow::run(this, m_services.settings);
        m_controller->scheduleWindowClosed();
    });
}

void FrontFace::openOutputSettings() {
    runWindow([this] {
        OutputWindow::run(this, m_services.settings);
        m_controller->outputSettingsClosed();
        refreshDashboard();
    });
}

void FrontFace::openWmaSettings() {
    runWindow([this] {
        WmaWindow::runSettings(this, m_services.settings, recordingFormat());
        m_controller->wmaSettingsClosed();
    });
}

AudioFormat FrontFace::recordingFormat() const {
    return AudioFormat::fromChoice(m_state.rateIndex, m_state.stereo, m_state.sixteenBits);
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
