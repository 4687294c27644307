#pragma once

#include <QObject>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/SettingsStore.h"
#include "platform/SoundServer.h"

namespace orvel {

// `orvel-rec run [ARGS...]`: the recorder itself without its window. ARGS is the program's own
// command line ("/r", "/rs", "/rt", "/rst", "-filename x.wav", "-frequency 44", "-bit 16",
// "-channels 1", "-mp3bitrate 128"; "/hide" is accepted and changes nothing), applied through
// the recorder's controller exactly as the window applies it, plus its own "--overwrite" and
// "--help". Each change of the info line is printed (both lines) and each recording file once
// it is complete; SIGINT, SIGTERM or SIGHUP runs the recorder's close order (every file
// completed, its log line written, the settings kept) and ends the command. This is how a
// machine without a screen records a schedule or a signal-activated session.
//
// Nobody can be asked whether an existing file may be replaced: without --overwrite the run
// refuses it, says so and ends (status 1), whatever the stored overwrite alert.
//
// Thread contract: called on the GUI thread of a QCoreApplication.
class RunCommand : public QObject {
    Q_OBJECT
public:
    using ServerFactory = std::function<std::unique_ptr<platform::SoundServer>(std::string*)>;

    RunCommand(std::ostream& out, std::ostream& err,
               ServerFactory connect = &platform::connectSoundServer,
               SettingsStore settings = SettingsStore());

    // The lines --help adds for `run`.
    static std::string usage();

    // The arguments after the program's name, starting with "run". Returns the exit status:
    // 0 after the close order or --help, 1 when no sound server answers or an existing file
    // was not replaced, 2 when the command line's file name is refused.
    int run(std::vector<std::string> arguments);

private:
    // Takes out --overwrite; --help prints the usage and gives the status to end with.
    std::optional<int> takeOwnOptions(std::vector<std::string>& arguments);

    std::ostream& m_out;
    std::ostream& m_err;
    ServerFactory m_connect;
    SettingsStore m_settings;
    bool m_overwrite = false;
};

}  // namespace orvel
