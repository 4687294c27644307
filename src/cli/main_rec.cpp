#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "cli/HeadlessRecorder.h"
#include "cli/PlayCommand.h"
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
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::string command = arguments.empty() ? std::string() : arguments.front();
    if (command == "play") {
        return orvel::PlayCommand(std::cout, std::cerr).run(arguments);
    }
    if (command == "run") {
        return orvel::RunCommand(std::cout, std::cerr).run(arguments);
    }
    orvel::HeadlessRecorder recorder(std::cout, std::cerr);
    recorder.setHandleStopSignals(true);
    return recorder.run(arguments);
}
