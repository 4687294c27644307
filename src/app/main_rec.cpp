#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "app/HeadlessRecorder.h"
#include "app/RecorderArguments.h"
#include "app/StopSignals.h"

// orvel-rec: the recorder without a window (see RecorderArguments.h for its command line).
int main(int argc, char** argv) {
    orvel::StopSignals::ignoreWriteSignals();
    QCoreApplication app(argc, argv);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    orvel::HeadlessRecorder recorder(std::cout, std::cerr);
    recorder.setHandleStopSignals(true);
    return recorder.run(orvel::RecorderArguments::parse(arguments));
}
