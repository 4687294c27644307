#include <QApplication>
#include <cstdio>

#include "app/RecorderApp.h"
#include "config/ProgramInfo.h"
#include "platform/StopSignals.h"

// orvel: the recorder with its window (see app/RecorderApp.h).
int main(int argc, char** argv) {
    // Answered before the application object, which needs a display.
    switch (orvel::ProgramInfo::requested(argc, argv)) {
        case orvel::ProgramInfo::Request::Help:
            std::fputs(orvel::ProgramInfo::windowUsage().c_str(), stdout);
            return 0;
        case orvel::ProgramInfo::Request::Version:
            std::fputs(orvel::ProgramInfo::versionLine("orvel").c_str(), stdout);
            return 0;
        case orvel::ProgramInfo::Request::None:
            break;
    }
    orvel::StopSignals::ignoreWriteSignals();
    QApplication app(argc, argv);
    return orvel::RecorderApp().run(argc, argv);
}
