#include "ui/front/FaceWindows.h"

#include <QWidget>

#include "audio/AudioFormat.h"
#include "recorder/FaceState.h"
#include "recorder/RecorderController.h"
#include "recorder/StartupChoice.h"
#include "skin/AboutFace.h"
#include "ui/schedule/ScheduleWindow.h"
#include "ui/settings/BackgroundWindow.h"
#include "ui/settings/DeviceWindow.h"
#include "ui/settings/Mp3Window.h"
#include "ui/settings/NoiseWindow.h"
#include "ui/settings/OutputWindow.h"
#include "ui/settings/TrackSplitterWindow.h"
#include "ui/settings/WmaWindow.h"

namespace orvel {

FaceWindows::FaceWindows(QWidget& face, const RecorderServices& services,
                         RecorderController& controller, const FaceState& state,
                         std::function<bool()> closed)
    : m_face(face),
      m_services(services),
      m_controller(controller),
      m_state(state),
      m_closed(std::move(closed)) {}

void FaceWindows::later(std::function<void()> window) {
    QMetaObject::invokeMethod(
        &m_face,
        [this, window = std::move(window)] {
            if (!m_closed() && !m_controller.closing()) {
                window();
            }
        },
        Qt::QueuedConnection);
}

void FaceWindows::openDevice() {
    if (!m_controller.deviceWindowAllowed()) {
        return;
    }
    later([this] {
        const std::optional<DeviceChooser::Choice> choice =
            DeviceWindow::choose(&m_face, m_services.server, m_services.devices, m_services.mixer,
                                 m_state.lineIndex, false);
        if (choice) {
            m_controller.deviceChosen(choice->device, choice->line);
        }
    });
}

void FaceWindows::openEncoder(OutputFormat format) {
    if (!m_controller.encoderWindowAllowed(format)) {
        return;
    }
    if (format != OutputFormat::Mp3) {
        openWma();
        return;
    }
    later([this] {
        Mp3Window::runSettings(&m_face, m_services.settings);
        m_controller.mp3SettingsClosed();
    });
}

void FaceWindows::openWma() {
    later([this] {
        // WMA converts to its profile's format from the one the face chooses now.
        const AudioFormat recording =
            AudioFormat::fromChoice(m_state.rateIndex, m_state.stereo, m_state.sixteenBits);
        WmaWindow::runSettings(&m_face, m_services.settings, recording);
        m_controller.wmaSettingsClosed();
    });
}

void FaceWindows::openSchedule() {
    later([this] {
        ScheduleWindow::run(&m_face, m_services.settings);
        m_controller.scheduleWindowClosed();
    });
}

void FaceWindows::openOutput(std::function<void()> then) {
    later([this, then = std::move(then)] {
        OutputWindow::run(&m_face, m_services.settings);
        m_controller.outputSettingsClosed();
        then();
    });
}

void FaceWindows::openSplitter() {
    later([this] {
        TrackSplitterWindow::run(&m_face, m_services.settings);
        m_controller.signalSettingsClosed();
    });
}

void FaceWindows::openNoise(std::function<void()> then) {
    later([this, then = std::move(then)] {
        NoiseWindow::run(&m_face, m_services.settings);
        then();
    });
}

void FaceWindows::openBackground(std::function<void(int scale)> then) {
    later([this, then = std::move(then)] {
        then(BackgroundWindow::run(&m_face, m_services.settings).settings.scale);
    });
}

bool FaceWindows::editTag(const std::string& path) {
    const std::string recording = m_controller.recording() ? m_controller.runPath() : std::string();
    const bool wma =
        QString::fromStdString(path).endsWith(QLatin1String(".wma"), Qt::CaseInsensitive);
    return wma ? WmaWindow::runTag(&m_face, path, recording).has_value()
               : Mp3Window::runTag(&m_face, path, recording).has_value();
}

void FaceWindows::openAbout() {
    auto* about = new AboutFace(QString::fromStdString(StartupChoice::versionText()), &m_face);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setWindowModality(Qt::ApplicationModal);
    about->open();
}

}  // namespace orvel
