#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "recorder/StartupOptions.h"

// The recorder's command line: switches and options found by substring search anywhere in the
// line, with no tokenising and no error messages. Unrecognised text is ignored.
//
//   "/hide"                      hide the window in the tray
//   "/rst", "/rs", "/rt", "/r"   record at once: signal and schedule, signal, schedule, now
//   "-frequency " "-bit " "-channels " "-mp3bitrate "
//                                a value up to the next "-" or the end of the line; read only
//                                with a record switch
//   "-filename "                 a value up to the next option or switch (a blank followed by
//                                "-" or "/") or the end of the line, without trailing blanks;
//                                hyphens inside it are kept. Read only with a record switch.
//                                A name the recorder cannot write (not .wav, .mp3 or .wma),
//                                empty or too long is refused with its reason, never dropped
//                                unsaid (see StartupOptions::fileNameRefusal).
//
// Switches and option words are matched in any letter case; the file name keeps the letter
// case it was given in, because file names are case-sensitive. A switch inside a file name
// counts as one ("/srv/rst/a.wav" holds "/rst").
//
// Thread contract: pure functions, any thread.
namespace orvel {

inline constexpr std::size_t kCommandLineMaxBytes = 1024;

// The options a command line asks for. Only its first kCommandLineMaxBytes bytes (cut at a
// character boundary) are read.
StartupOptions parseCommandLine(std::string_view line);

// The line a program's arguments form: argv[1..argc-1] joined with single blanks.
std::string commandLineFromArguments(int argc, const char* const* argv);

}  // namespace orvel
