#include "config/ProgramInfo.h"

#include "config/Product.h"

namespace orvel {

ProgramInfo::Request ProgramInfo::requested(int argc, const char* const* argv) {
    Request found = Request::None;
    for (int i = 1; i < argc && argv != nullptr && argv[i] != nullptr; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") {
            break;
        }
        if (argument == "--help" || argument == "-h") {
            return Request::Help;
        }
        if (argument == "--version") {
            found = Request::Version;
        }
    }
    return found;
}

std::string ProgramInfo::versionLine(std::string_view program) {
    return std::string(program) + " " + ORVEL_PACKAGE_VERSION + " (" + product::kName + " " +
           product::kVersionMajor + "." + product::kVersionMinor + ")\n";
}

std::string ProgramInfo::windowUsage() {
    return R"(Usage: orvel [/r | /rs | /rt | /rst] [/hide] [-filename FILE] [-frequency KHZ]
             [-bit 8|16] [-channels 1|2] [-mp3bitrate KBPS]
       orvel --help | --version

The recorder with its window. The switches start a recording at once:
  /r                    record now
  /rs                   signal recording (records while sound is above the threshold)
  /rt                   schedule recording (TimeSchedule.txt in the data folder)
  /rst                  signal and schedule recording
  /hide                 start hidden in the notification area
The options below count only with a record switch:
  -filename FILE        the file to record into; it runs to the next option or to the end,
                        blanks and hyphens included. It must end in .wav, .mp3 or .wma (any
                        letter case); another name is refused, nothing starts and the info
                        line says why.
  -frequency KHZ        8, 11, 12, 16, 22, 24, 32, 44 or 48
  -bit 8|16             bits per sample
  -channels 1|2         mono or stereo
  -mp3bitrate KBPS      8 .. 320
Switches and options are found anywhere in the line, in any letter case.

Without a display, orvel-rec run takes the same command line (see orvel-rec --help).
)";
}

}  // namespace orvel
