#pragma once

#include <string>
#include <string_view>

// What both programs print for --help and --version. These are answered before anything else
// starts (no display, no sound server, no settings), as a terminal user expects of a program.
//
// Thread contract: pure functions, any thread.
namespace orvel {

class ProgramInfo {
public:
    enum class Request { None, Help, Version };

    // "--help" or "-h", else "--version", among the arguments after the program's name; an
    // argument "--" ends the search. Help wins when both are given.
    static Request requested(int argc, const char* const* argv);

    // "<program> <package version> (Orvel <recorder version>)"
    static std::string versionLine(std::string_view program);
    // The text of `orvel --help`: the window program's command line.
    static std::string windowUsage();
};

}  // namespace orvel
