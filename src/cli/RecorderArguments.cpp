#include "cli/RecorderArguments.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <string_view>

#include "config/FormatTables.h"
#include "config/Text.h"
#include "encoders/GenreTable.h"
#include "encoders/WmaProfile.h"

namespace orvel {

namespace {

constexpr int kMaxInt = std::numeric_limits<int>::max();
constexpr int kNoGenre = 255;
constexpr double kYearSeconds = 366.0 * 24 * 3600;

// One option of a command: its name without the leading "--", whether it takes a value, and
// what it does with it (an error text when the value cannot be used).
struct Option {
    std::string_view name;
    bool takesValue;
    std::function<std::string(const std::string& value)> apply;
};

std::string inQuotes(const std::string& text) {
    return "\"" + text + "\"";
}

Option integer(std::string_view name, std::optional<int>& target, int low, int high,
               std::string what) {
    return {name, true, [&target, name, low, high, what](const std::string& value) {
                target = RecorderArguments::parseInteger(value, low, high);
                return target
                           ? std::string()
                           : "--" + std::string(name) + ": " + inQuotes(value) + " is not " + what;
            }};
}

Option text(std::string_view name, std::optional<std::string>& target) {
    return {name, true, [&target](const std::string& value) {
                target = value;
                return std::string();
            }};
}

Option flag(std::string_view name, bool& target) {
    return {name, false, [&target](const std::string&) {
                target = true;
                return std::string();
            }};
}

// "--name" sets the switch, "--no-name" clears it.
void toggle(std::vector<Option>& options, std::string_view name, std::string_view negated,
            std::optional<bool>& target) {
    options.push_back({name, false, [&target](const std::string&) {
                           target = true;
                           return std::string();
                       }});
    options.push_back({negated, false, [&target](const std::string&) {
                           target = false;
                           return std::string();
                       }});
}

Option genreOption(std::string_view name, std::optional<int>& target, bool allowNone) {
    return {name, true, [&target, name, allowNone](const std::string& value) {
                std::optional<int> number = RecorderArguments::parseInteger(value, 0, kNoGenre);
                if (number && *number >= genre::kCount && !(allowNone && *number == kNoGenre)) {
                    number.reset();
                }
                target = number;
                if (target) {
                    return std::string();
                }
                return "--" + std::string(name) + ": " + inQuotes(value) +
                       " is not a genre number (0.." + std::to_string(genre::kCount - 1) +
                       (allowNone ? ", or 255 for none)" : ")");
            }};
}

std::vector<Option> recordOptions(RecordArguments& r, bool copyrightIsText) {
    const int profiles = static_cast<int>(WmaProfile::all().size());
    std::vector<Option> options = {
        integer("device", r.device, 0, kMaxInt, "a device number (0 or more)"),
        integer("line", r.line, 0, kMaxInt, "a line number (0 or more)"),
        integer("rate", r.rate, 1, kMaxInt, "a sample rate in Hz"),
        integer("bits", r.bits, 1, kMaxInt, "a number of bits (8 or 16)"),
        integer("channels", r.channels, 1, kMaxInt, "a number of channels (1 or 2)"),
        {"seconds", true,
         [&r](const std::string& value) {
             r.seconds = RecorderArguments::parseSeconds(value);
             return r.seconds ? std::string()
                              : "--seconds: " + inQuotes(value) +
                                    " is not a length in seconds above 0 (at most a year)";
         }},
        integer("signal-threshold", r.signalThreshold, 0, 47, "a threshold step (0..47)"),
        flag("gate", r.gate),
        flag("lowpass", r.lowPass),
        flag("highpass", r.highPass),
        flag("monitor", r.monitor),
        integer("mp3-bitrate", r.mp3Bitrate, 0, 15, "an MP3 bit-rate index (0..15)"),
        integer("mp3-mode", r.mp3Mode, 0, 2,
                "an MP3 mode (0 the recording's channels, 1 mono, 2 stereo)"),
        text("artist", r.artist),
        text("author", r.artist),
        text("title", r.title),
        text("album", r.album),
        text("year", r.year),
        genreOption("genre", r.genre, true),
        text("composer", r.composer),
        text("description", r.description),
        integer("wma-profile", r.wmaProfile, 0, profiles - 1,
                "a WMA profile index (0.." + std::to_string(profiles - 1) +
                    "; see orvel-rec profiles)"),
        text("wma-author", r.wmaAuthor),
        text("wma-title", r.wmaTitle),
        text("wma-album", r.wmaAlbum),
        text("wma-composer", r.wmaComposer),
        text("wma-copyright", r.wmaCopyright),
        text("wma-description", r.wmaDescription),
        genreOption("wma-genre", r.wmaGenre, false),
    };
    toggle(options, "crc", "no-crc", r.crc);
    if (copyrightIsText) {
        options.push_back(text("copyright", r.copyrightText));
        options.push_back({"no-copyright", false, [&r](const std::string&) {
                               r.copyright = false;
                               return std::string();
                           }});
    } else {
        toggle(options, "copyright", "no-copyright", r.copyright);
    }
    toggle(options, "original", "no-original", r.original);
    toggle(options, "private", "no-private", r.privateBit);
    toggle(options, "id3", "no-id3", r.id3);
    return options;
}

std::vector<Option> tagOptions(TagArguments& t) {
    return {
        text("artist", t.artist),       text("title", t.title),
        text("album", t.album),         text("year", t.year),
        text("composer", t.composer),   text("description", t.description),
        text("copyright", t.copyright), genreOption("genre", t.genre, true),
    };
}

// Reads the options and the one file name of a command.
std::string parseCommand(const std::vector<std::string>& arguments, std::string_view command,
                         std::vector<Option> options, std::string& file) {
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool isOption = !optionsEnded && argument.size() > 1 && argument[0] == '-';
        if (!isOption) {
            if (!file.empty()) {
                return std::string(command) + " takes one file; got " + inQuotes(file) + " and " +
                       inQuotes(argument);
            }
            if (argument.empty()) {
                return std::string(command) + ": the file name is empty";
            }
            file = argument;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument.rfind("--", 0) != 0) {
            return std::string(command) + ": unknown option " + inQuotes(argument);
        }
        const std::size_t equals = argument.find('=');
        const std::string name =
            argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const Option* option = nullptr;
        for (const Option& candidate : options) {
            if (candidate.name == name) {
                option = &candidate;
                break;
            }
        }
        if (option == nullptr) {
            return std::string(command) + ": unknown option --" + name;
        }
        std::string value;
        if (option->takesValue) {
            if (equals != std::string::npos) {
                value = argument.substr(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                return "--" + name + " needs a value";
            }
        } else if (equals != std::string::npos) {
            return "--" + name + " takes no value";
        }
        if (std::string error = option->apply(value); !error.empty()) {
            return error;
        }
    }
    if (file.empty()) {
        return std::string(command) + " needs a FILE";
    }
    return {};
}

}  // namespace

bool TagArguments::changes() const {
    return artist || title || album || year || composer || description || copyright || genre;
}

std::optional<int> RecorderArguments::parseInteger(const std::string& text, int low, int high) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
        if (!digits.empty() && digits.front() == '-') {
            return std::nullopt;
        }
    }
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> RecorderArguments::parseSeconds(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value) ||
        value <= 0 || value > kYearSeconds) {
        return std::nullopt;
    }
    return value;
}

RecorderCommand RecorderArguments::parse(const std::vector<std::string>& arguments) {
    RecorderCommand command;
    for (const std::string& argument : arguments) {
        if (argument == "--") {
            break;
        }
        if (argument == "--help" || argument == "-h") {
            return command;
        }
    }
    if (arguments.empty()) {
        command.error = "no command given";
        return command;
    }
    const std::string& name = arguments.front();
    if (name == "help") {
        return command;
    }
    if (name == "devices" || name == "profiles") {
        command.kind =
            name == "devices" ? RecorderCommand::Kind::Devices : RecorderCommand::Kind::Profiles;
        if (arguments.size() > 1) {
            command.error = name + " takes no arguments; got " + inQuotes(arguments[1]);
        }
        return command;
    }
    if (name == "record") {
        command.kind = RecorderCommand::Kind::Record;
        // "--copyright" read both ways: a text for a WMA file or where only that reading works.
        RecordArguments withText;
        const std::string textError =
            parseCommand(arguments, name, recordOptions(withText, true), withText.file);
        command.error = parseCommand(arguments, name, recordOptions(command.record, false),
                                     command.record.file);
        const bool wma = text::endsWithIgnoreCaseAscii(withText.file, ".wma");
        if (textError.empty() && (wma || !command.error.empty())) {
            command.record = std::move(withText);
            command.error.clear();
        }
        if (command.ok() && !formatOfFileName(command.record.file)) {
            command.error =
                "record: " + inQuotes(command.record.file) + ": " + kWrittenExtensionsText;
        }
        return command;
    }
    if (name == "tags") {
        command.kind = RecorderCommand::Kind::Tags;
        command.error = parseCommand(arguments, name, tagOptions(command.tags), command.tags.file);
        return command;
    }
    command.error = "unknown command " + inQuotes(name);
    return command;
}

std::string RecorderArguments::usage() {
    return R"(Usage:
  orvel-rec devices                  list the devices and their lines with their numbers
  orvel-rec record [options] FILE    record a line into FILE
  orvel-rec play FILE [options]      play a media file to the speakers
  orvel-rec run [ARGS]               the recorder as its window runs it, without the window
  orvel-rec profiles                 list the WMA profiles with their numbers
  orvel-rec tags FILE [options]      print the tag of a recording, or change it
  orvel-rec --help                   show this text (orvel-rec run --help: run's own)
  orvel-rec --version                show the version

The recording's format follows FILE's extension: .wav WAV, .mp3 MP3, .wma WMA, in any letter
case; a name ending in anything else is refused. A recording runs for --seconds or until the
program receives SIGINT (Ctrl+C), SIGTERM or SIGHUP (a closed terminal); the file is complete
either way. Options not given take the recorder's stored settings.

record options:
  --device N            device number (orvel-rec devices)
  --line N              line number on that device
  --rate HZ             8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100 or 48000
  --bits 8|16           bits per sample
  --channels 1|2        mono or stereo
  --seconds S           stop after S seconds of sound (decimals allowed)
  --signal-threshold N  record only while the sound is above step N (0..47 = -48..-1 dB)
  --gate                noise gate (threshold and release time from the settings)
  --lowpass             low-pass filter, 16-bit recordings (cut-off from the settings)
  --highpass            high-pass filter, 16-bit recordings (cut-off from the settings)
  --monitor             hear the recording on the speakers
Tags (MP3: an ID3v1 tag, written when artist, title and album are known; WMA: attributes;
WAV files hold none; what the format cannot hold is told and left out):
  --title T  --artist T (or --author T)  --album T  --genre N (0..79, 255 none)
  --year T (MP3)  --composer T  --description T  --copyright T (WMA)
MP3 (the recording is raised to 32000 Hz or more and 16 bits where needed):
  --mp3-bitrate N       bit-rate index 0..15: 0 = 128 (default), 8, 16, 24, 32, 40, 48, 64,
                        80, 96, 112, 128, 160, 192, 256, 320 kbit/s
  --mp3-mode N          0 the recording's channels, 1 mono, 2 stereo
  --crc, --copyright, --original, --private   MPEG header flags (--no-crc... clear them);
                        --copyright followed by a text is the WMA attribute instead
  --id3, --no-id3       append an ID3v1 tag or not (tags given on the command line ask
                        for one)
WMA:
  --wma-profile N       profile number (orvel-rec profiles); default: the first that fits
  --wma-author T  --wma-title T  --wma-album T  --wma-composer T  --wma-copyright T
  --wma-description T  --wma-genre N (0..79): as the tags above, for WMA only

tags options (none: print the tag):
  --artist T  --title T  --album T  --year T (MP3)  --genre N
  --composer T  --description T  --copyright T (WMA)

Exit status: 0 done, 1 refused or failed (the message says why), 2 bad command line.
)";
}

}  // namespace orvel
