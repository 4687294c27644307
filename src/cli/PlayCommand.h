#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/SettingsStore.h"
#include "platform/SoundServer.h"

namespace orvel {

// What `orvel-rec play FILE [--volume SCALE] [--start MS]` was asked for.
struct PlayArguments {
    std::string file;
    std::optional<int> volume;          // volume scale 0..100 (-50 dB..0 dB); default 100
    std::optional<std::int64_t> start;  // ms from the start of the file; default 0

    bool operator==(const PlayArguments&) const = default;
};

// The headless recorder's `play` command: plays a media file to the speakers (the default sink)
// and returns at its end, or when SIGINT or SIGTERM arrives. A file that cannot be played is
// refused with the language table's message and a plain detail.
//
// Thread contract: called on the GUI thread of a QCoreApplication.
class PlayCommand : public QObject {
    Q_OBJECT
public:
    using ServerFactory = std::function<std::unique_ptr<platform::SoundServer>(std::string*)>;

    PlayCommand(std::ostream& out, std::ostream& err,
                ServerFactory connect = &platform::connectSoundServer,
                SettingsStore settings = SettingsStore());

    // The arguments after the program's name, starting with "play". Empty error: usable.
    static PlayArguments parse(const std::vector<std::string>& arguments, std::string* error);
    // The lines --help adds for `play` and the background music of `record`.
    static std::string usage();

    // Parses and runs; returns the process's exit status (0 played to the end or stopped,
    // 1 refused or failed, 2 bad command line).
    int run(const std::vector<std::string>& arguments);

private:
    int play(const PlayArguments& arguments);
    void refuse(const char* messageKey, const std::string& detail);

    std::ostream& m_out;
    std::ostream& m_err;
    ServerFactory m_connect;
    SettingsStore m_settings;
};

}  // namespace orvel
