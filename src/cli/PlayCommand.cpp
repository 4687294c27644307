#include "cli/PlayCommand.h"

#include <QEventLoop>
#include <QTimer>
#include <csignal>
#include <limits>
#include <ostream>

#include "cli/CommandText.h"
#include "cli/RecorderArguments.h"
#include "platform/StopSignals.h"
#include "playback/MediaPlayer.h"

namespace orvel {

namespace {

constexpr char kPrefix[] = "orvel-rec: ";

std::string inQuotes(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

PlayCommand::PlayCommand(std::ostream& out, std::ostream& err, ServerFactory connect,
                         SettingsStore settings)
    : m_out(out), m_err(err), m_connect(std::move(connect)), m_settings(std::move(settings)) {}

PlayArguments PlayCommand::parse(const std::vector<std::string>& arguments, std::string* error) {
    PlayArguments parsed;
    std::string problem;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size() && problem.empty(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            if (!parsed.file.empty()) {
                problem = "play takes one file; got " + inQuotes(argument) + " as well";
            }
            parsed.file = argument;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (name != "--volume" && name != "--start") {
            problem = "unknown option " + inQuotes(name) + " for play";
            break;
        }
        const std::optional<std::string> given = command::optionValue(arguments, i);
        if (!given) {
            problem = name + " needs a value";
            break;
        }
        const std::string& value = *given;
        if (name == "--volume") {
            parsed.volume = RecorderArguments::parseInteger(value, 0, 100);
            if (!parsed.volume) {
                problem = "--volume takes a scale from 0 to 100; got " + inQuotes(value);
            }
        } else {
            const std::optional<int> ms =
                RecorderArguments::parseInteger(value, 0, std::numeric_limits<int>::max());
            if (!ms) {
                problem = "--start takes milliseconds (0 or more); got " + inQuotes(value);
            }
            parsed.start = ms;
        }
    }
    if (problem.empty() && parsed.file.empty()) {
        problem = "play needs a file";
    }
    if (error != nullptr) {
        *error = problem;
    }
    return parsed;
}

std::string PlayCommand::usage() {
    return R"(
  orvel-rec play FILE [--volume SCALE] [--start MS]
                        play a media file to the speakers until its end (or Ctrl+C);
                        volume 0..100 is -50..0 dB (default 100), start in milliseconds
record with background music (16-bit recordings; other values from the stored settings):
  --background FILE     mix this sound file into the recording
  --background-scale S  0..100: background gain 2S/100, recording gain 2(100-S)/100
  --background-channel N, --recording-channel N
                        0 both channels, 1 left only, 2 right only
  --remove-voice        remove the voice from the background (see --vocal-channel)
  --vocal-channel N     0 both become left - right, 1 both the right, 2 both the left
  --background-action N at the end of the file: 0 repeat it, 1 stop the recording,
                        2 stop the background only
)";
}

void PlayCommand::refuse(const char* messageKey, const std::string& detail) {
    if (messageKey != nullptr) {
        const std::string message = command::languageMessage(m_settings, messageKey);
        if (!message.empty()) {
            m_err << kPrefix << message << "\n";
        }
    }
    m_err << kPrefix << detail << "\n";
}

int PlayCommand::run(const std::vector<std::string>& arguments) {
    std::string error;
    const PlayArguments parsed = parse(arguments, &error);
    if (!error.empty()) {
        m_err << kPrefix << error << "\n"
              << "Try orvel-rec --help for the commands and options.\n";
        return 2;
    }
    return play(parsed);
}

int PlayCommand::play(const PlayArguments& arguments) {
    StopSignals stopSignals({SIGINT, SIGTERM, SIGHUP});
    std::string error;
    std::unique_ptr<platform::SoundServer> server = m_connect ? m_connect(&error) : nullptr;
    if (server == nullptr) {
        refuse("DeviceAvailabity",
               "no sound server answers" + (error.empty() ? std::string() : ": " + error));
        return 1;
    }
    MediaPlayer player(MediaPlayer::streamsOf(*server));
    const MediaError opened = player.open(arguments.file);
    if (opened != MediaError::None) {
        refuse("InvalidFile", inQuotes(arguments.file) +
                                  " cannot be played: " + std::string(mediaErrorText(opened)));
        return 1;
    }
    player.setVolume(arguments.volume.value_or(100));
    std::int64_t length = -1;
    const std::string lengthText = MediaPlayer::durationText(arguments.file, &length);
    m_err << kPrefix << "playing " << inQuotes(arguments.file) << " " << lengthText << "\n";

    QEventLoop loop;
    bool ended = false;
    bool stopped = false;
    std::string failure;
    connect(&player, &MediaPlayer::endOfStream, &loop, [&] {
        ended = true;
        loop.quit();
    });
    connect(&player, &MediaPlayer::failed, &loop, [&](const QString& reason) {
        failure = reason.toStdString();
        loop.quit();
    });
    connect(&stopSignals, &StopSignals::received, &loop, [&] {
        stopped = true;
        loop.quit();
    });
    if (!player.startAt(arguments.start.value_or(0))) {
        refuse(nullptr, "the sound output could not start");
        return 1;
    }
    loop.exec();
    const std::int64_t at = player.position();
    player.close();
    if (!failure.empty()) {
        refuse(nullptr, "playing " + inQuotes(arguments.file) + " stopped: " + failure);
        return 1;
    }
    if (stopped) {
        m_out << "stopped " << arguments.file << " at " << MediaPlayer::formatDuration(at) << "\n";
        return 0;
    }
    m_out << "played " << arguments.file << " " << lengthText << (ended ? "" : " (stopped)")
          << "\n";
    return 0;
}

}  // namespace orvel
