#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "cli/HeadlessRecorder.h"
#include "cli/PlayCommand.h"
#include "cli/RecorderArguments.h"
#include "cli/RecordingBackground.h"
#include "cli/RunCommand.h"
#include "config/ProgramInfo.h"
#include "platform/StopSignals.h"

// orvel-rec: the recorder without a window (see RecorderArguments.h for its command line).
int main(int argc, char** argv) {
    if (orvel::ProgramInfo::requested(argc, argv) == orvel::ProgramInfo::Request::Version) {
        std::cout << orvel::ProgramInfo::versionLine("orvel-rec");
        return 0;
    }
    orvel::StopSignals::ignoreWriteSignals();
    QCoreApplication app(argc, argv);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && arguments.front() == "play") {
        return orvel::PlayCommand(std::cout, std::cerr).run(arguments);
    }
    if (!arguments.empty() && arguments.front() == "run") {
        return orvel::RunCommand(std::cout, std::cerr).run(arguments);
    }
    orvel::RecordingBackground background(std::cerr);
    const std::string backgroundError = background.takeOptions(arguments);
    if (!backgroundError.empty()) {
        std::cerr << "orvel-rec: " << backgroundError << "\n"
                  << "Try orvel-rec --help for the commands and options.\n";
        return orvel::HeadlessRecorder::kExitUsage;
    }
    orvel::HeadlessRecorder recorder(std::cout, std::cerr);
    recorder.setHandleStopSignals(true);
    background.attach(recorder);
    const orvel::RecorderCommand command = orvel::RecorderArguments::parse(arguments);
    const int status = recorder.run(command);
    if (command.ok() && command.kind == orvel::RecorderCommand::Kind::Help) {
        std::cout << orvel::PlayCommand::usage() << orvel::RunCommand::usage();
    }
    return status;
}
