#pragma once

#include <QObject>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "config/SettingsStore.h"
#include "platform/SoundServer.h"

namespace orvel {

// `orvel-rec run [ARGS...]`: the recorder itself without its window. ARGS is the program's own
// command line ("/r", "/rs", "/rt", "/rst", "-filename x.wav", "-frequency 44", "-bit 16",
// "-channels 1", "-mp3bitrate 128"; "/hide" is accepted and changes nothing), applied through
// the recorder's controller exactly as the window applies it. Each change of the info line is
// printed (both lines) and each recording file once it is complete; SIGINT or SIGTERM runs the
// recorder's close order (every file completed, its log line written, the settings kept) and
// ends the command. This is how a machine without a screen records a schedule or a
// signal-activated session.
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
    // 0 after the close order, 1 when no sound server answers.
    int run(const std::vector<std::string>& arguments);

private:
    std::ostream& m_out;
    std::ostream& m_err;
    ServerFactory m_connect;
    SettingsStore m_settings;
};

}  // namespace orvel
