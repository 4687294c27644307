#include "cli/RunCommand.h"

#include <QEventLoop>
#include <csignal>
#include <ostream>

#include "cli/CommandText.h"
#include "cli/ConsoleView.h"
#include "platform/StopSignals.h"
#include "recorder/CommandLine.h"
#include "recorder/RecorderController.h"
#include "recorder/RecorderParts.h"
#include "recorder/StartupActions.h"

namespace orvel {

namespace {

const char* signalName(int number) {
    switch (number) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            break;
    }
    return "a stop signal";
}

}  // namespace

RunCommand::RunCommand(std::ostream& out, std::ostream& err, ServerFactory connect,
                       SettingsStore settings)
    : m_out(out), m_err(err), m_connect(std::move(connect)), m_settings(std::move(settings)) {}

std::string RunCommand::usage() {
    return R"(
  orvel-rec run [/r | /rs | /rt | /rst] [-filename FILE] [-frequency KHZ] [-bit 8|16]
                [-channels 1|2] [-mp3bitrate KBPS] [--overwrite]
                        the recorder as its window runs it: /r records at once, /rs in
                        signal mode, /rt on the schedule, /rst both; without one it waits,
                        idle. Prints the info line and every file finished. Ctrl+C, SIGTERM
                        and SIGHUP (a closed terminal) complete the files and end it.
  -filename FILE        the file to record into; it runs to the next option or to the end,
                        blanks and hyphens included. It must end in .wav, .mp3 or .wma (any
                        letter case); another name is refused and nothing starts.
  --overwrite           replace a file that exists; without it run refuses to record into
                        an existing file and ends with status 1
)";
}

std::optional<int> RunCommand::takeOwnOptions(std::vector<std::string>& arguments) {
    for (auto it = arguments.begin() + (arguments.empty() ? 0 : 1); it != arguments.end();) {
        if (*it == "--help" || *it == "-h") {
            m_out << "Usage:" << usage();
            return 0;
        }
        if (*it == "--overwrite") {
            m_overwrite = true;
            it = arguments.erase(it);
            continue;
        }
        ++it;
    }
    return std::nullopt;
}

int RunCommand::run(std::vector<std::string> arguments) {
    if (const std::optional<int> status = takeOwnOptions(arguments)) {
        return *status;
    }
    std::vector<const char*> argv{"orvel"};
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        argv.push_back(arguments[i].c_str());
    }
    const StartupOptions options =
        parseCommandLine(commandLineFromArguments(static_cast<int>(argv.size()), argv.data()));
    if (!options.fileNameRefusal.empty()) {
        m_err << "orvel-rec: " << options.refusalText() << "\n"
              << "orvel-rec: nothing was recorded; try orvel-rec run --help\n";
        return 2;
    }

    // A closed terminal or an ended remote session (SIGHUP) ends the run as Ctrl+C does: the
    // file is completed and logged, never cut off by the default action.
    StopSignals stopSignals({SIGINT, SIGTERM, SIGHUP});
    std::string error;
    std::unique_ptr<platform::SoundServer> server = m_connect ? m_connect(&error) : nullptr;
    if (server == nullptr) {
        m_err << "orvel-rec: " << command::languageMessage(m_settings, "DeviceAvailabity") << "\n"
              << "orvel-rec: no sound server answers" << (error.empty() ? "" : ": ") << error
              << "\n";
        return 1;
    }

    RecorderParts parts(*server, m_settings);
    QEventLoop loop;
    ConsoleView view(m_out, m_err, [&loop] { loop.quit(); });
    RecorderController controller(parts.services(), view);
    view.setController(&controller);
    view.setScheduleFile(m_settings.effectiveInstallFolder() + "/TimeSchedule.txt");
    view.setOverwrite(m_overwrite);
    // Nobody is there to answer or to notice: every existing file is asked about, whatever
    // the stored overwrite alert, and the view answers from --overwrite.
    controller.setAlwaysAskOverwrite(true);
    connect(&stopSignals, &StopSignals::received, &controller, [this, &controller](int number) {
        m_err << "orvel-rec: " << signalName(number) << " received: completing the recording and "
              << "ending" << std::endl;
        controller.close();
    });

    controller.initialise();
    applyStartupOptions(controller, options);
    if (!options.autoRecord) {
        m_err << "orvel-rec: no record switch (/r, /rs, /rt or /rst) was given, so nothing will "
                 "be recorded: waiting idle until Ctrl+C (or SIGTERM, SIGHUP) ends the run\n";
    }
    loop.exec();
    return view.refusedOverwrite() ? 1 : 0;
}

}  // namespace orvel
