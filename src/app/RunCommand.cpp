#include "app/RunCommand.h"

#include <QEventLoop>
#include <csignal>
#include <ostream>

#include "app/CommandLine.h"
#include "app/CommandText.h"
#include "app/ConsoleView.h"
#include "app/RecorderParts.h"
#include "app/StartupActions.h"
#include "app/StopSignals.h"
#include "recorder/RecorderController.h"

namespace orvel {

RunCommand::RunCommand(std::ostream& out, std::ostream& err, ServerFactory connect,
                       SettingsStore settings)
    : m_out(out), m_err(err), m_connect(std::move(connect)), m_settings(std::move(settings)) {}

std::string RunCommand::usage() {
    return "  orvel-rec run [/r | /rs | /rt | /rst] [-filename FILE] [-frequency KHZ] [-bit 8|16]\n"
           "                [-channels 1|2] [-mp3bitrate KBPS]\n"
           "                                    the recorder as its window runs it: /r records at\n"
           "                                    once, /rs in signal mode, /rt on the schedule,\n"
           "                                    /rst both; prints the info line and every file\n"
           "                                    finished; Ctrl+C completes the files and ends\n";
}

int RunCommand::run(const std::vector<std::string>& arguments) {
    StopSignals stopSignals({SIGINT, SIGTERM});
    std::string error;
    std::unique_ptr<platform::SoundServer> server = m_connect ? m_connect(&error) : nullptr;
    if (server == nullptr) {
        m_err << "orvel-rec: " << command::languageMessage(m_settings, "DeviceAvailabity") << "\n"
              << "orvel-rec: no sound server answers" << (error.empty() ? "" : ": ") << error
              << "\n";
        return 1;
    }

    std::vector<const char*> argv{"orvel"};
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        argv.push_back(arguments[i].c_str());
    }
    const StartupOptions options =
        parseCommandLine(commandLineFromArguments(static_cast<int>(argv.size()), argv.data()));

    RecorderParts parts(*server, m_settings);
    QEventLoop loop;
    ConsoleView view(m_out, m_err, [&loop] { loop.quit(); });
    RecorderController controller(parts.services(), view);
    view.setController(&controller);
    view.setScheduleFile(m_settings.effectiveInstallFolder() + "/TimeSchedule.txt");
    connect(&stopSignals, &StopSignals::received, &controller, &RecorderController::close);

    controller.initialise();
    applyStartupOptions(controller, options);
    loop.exec();
    return 0;
}

}  // namespace orvel
