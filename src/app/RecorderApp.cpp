#include "app/RecorderApp.h"

#include <QApplication>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QSessionManager>
#include <QTimer>
#include <chrono>
#include <csignal>

#include "config/HotKeyScript.h"
#include "config/Product.h"
#include "platform/StopSignals.h"
#include "recorder/CommandLine.h"
#include "recorder/RecorderParts.h"
#include "skin/PlainMessage.h"
#include "skin/SkinImageCache.h"
#include "ui/front/FrontFace.h"

Q_LOGGING_CATEGORY(lcApp, "orvel.app")

namespace orvel {

int RecorderApp::run(int argc, char** argv) {
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QString::fromLatin1(product::kName));
    QApplication::setWindowIcon(SkinImageCache::programIcon());
    StopSignals stopSignals({SIGINT, SIGTERM, SIGHUP});

    const StartupOptions options =
        parseCommandLine(commandLineFromArguments(argc, const_cast<const char* const*>(argv)));
    setStartupOptions(options);

    const SettingsStore settings;
    std::string error;
    const std::unique_ptr<platform::SoundServer> server = platform::connectSoundServer(&error);
    if (server == nullptr) {
        qCWarning(lcApp) << "no sound server answers:" << QString::fromStdString(error);
        PlainMessage::show(nullptr, QMessageBox::Critical, {},
                           QStringLiteral("No sound server answers, so nothing can be recorded "
                                          "or played.\n\n%1")
                               .arg(QString::fromStdString(error)),
                           QMessageBox::Ok, [](QMessageBox::StandardButton) { qApp->quit(); });
        connect(&stopSignals, &StopSignals::received, qApp, &QCoreApplication::quit);
        QApplication::exec();
        return 1;
    }

    RecorderParts parts(*server, settings);
    HotKeyScript keys;
    keys.Load(LanguageTable::LanguageFolder(settings));
    FrontFace face(parts.services(), keys);
    RecorderController& controller = face.controller();
    connect(&face, &FrontFace::programClosed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    connect(&stopSignals, &StopSignals::received, &controller, &RecorderController::close);
    // The end of the desktop session takes the same close order, so that a logout in the
    // middle of an MP3 recording leaves a complete file.
    connect(qApp, &QGuiApplication::commitDataRequest, &controller,
            [&controller](QSessionManager& manager) {
                manager.setRestartHint(QSessionManager::RestartNever);
                controller.close();
            });

    face.initialise();
    face.show();
    face.pressStartupButtons(options);
    const int status = QApplication::exec();

    if (!face.isClosed()) {
        // The event loop ended before the close order ran (the session ended it): run it now,
        // letting the last file complete, at most kLastCloseMs.
        qCWarning(lcApp) << "the event loop ended before the recorder closed: closing now";
        QEventLoop last;
        connect(&face, &FrontFace::programClosed, &last, &QEventLoop::quit);
        QTimer::singleShot(kLastCloseMs, &last, &QEventLoop::quit);
        controller.close();
        if (!face.isClosed()) {
            last.exec();
        }
    }
    if (!parts.engine().waitUntilIdle(std::chrono::milliseconds(kEngineIdleMs))) {
        qCWarning(lcApp) << "the recording was still being completed when the program ended";
    }
    return status;
}

}  // namespace orvel
