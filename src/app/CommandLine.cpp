#include "app/CommandLine.h"

#include <QLoggingCategory>
#include <array>

#include "config/FormatTables.h"
#include "config/Text.h"

namespace orvel {

namespace {

Q_LOGGING_CATEGORY(lcCommandLine, "orvel.app.commandline")

struct Switch {
    std::string_view text;
    AutoAction action;
};

// Tested in this order: the longer switches first, since "/r" occurs in each of them.
constexpr std::array<Switch, 4> kRecordSwitches = {{
    {"/rst", AutoAction::SignalAndSchedule},
    {"/rs", AutoAction::Signal},
    {"/rt", AutoAction::Schedule},
    {"/r", AutoAction::RecordNow},
}};

// Where an option's value lies in the line: after the option word (which ends in a blank) up
// to the next "-" or the end. Positions are the same in the line and in its lower-cased copy.
struct Span {
    std::size_t begin = 0;
    std::size_t length = 0;
};

bool findValue(std::string_view lowered, std::string_view option, Span& span) {
    const std::size_t at = lowered.find(option);
    if (at == std::string_view::npos) {
        return false;
    }
    span.begin = at + option.size();
    const std::size_t dash = lowered.find('-', span.begin);
    span.length = (dash == std::string_view::npos ? lowered.size() : dash) - span.begin;
    return true;
}

// The value as its tests see it: leading white space removed.
std::string_view valueAt(std::string_view text, const Span& span) {
    return text::trimLeadingSpace(text.substr(span.begin, span.length));
}

template <std::size_t N>
int indexOf(const std::array<int, N>& table, int value, std::size_t first, int notFound) {
    for (std::size_t i = first; i < N; ++i) {
        if (table[i] == value) {
            return static_cast<int>(i);
        }
    }
    return notFound;
}

std::string fileNameValue(std::string_view value) {
    if (value.empty()) {
        return {};
    }
    if (!text::endsWithIgnoreCaseAscii(value, ".wav") &&
        !text::endsWithIgnoreCaseAscii(value, ".mp3")) {
        return {};
    }
    // A shortened path would name another file: refuse it whole.
    if (value.size() > StartupOptions::kFileNameMaxBytes) {
        qCWarning(lcCommandLine) << "file name of" << value.size() << "bytes is longer than"
                                 << StartupOptions::kFileNameMaxBytes << "bytes and is ignored";
        return {};
    }
    return std::string(value);
}

}  // namespace

StartupOptions parseCommandLine(std::string_view line) {
    StartupOptions options;
    const std::string_view original = text::cutBytes(line, kCommandLineMaxBytes);
    if (original.empty()) {
        return options;
    }
    // ASCII lower-casing keeps every byte where it was, so a position found in the lowered copy
    // also marks the original text.
    const std::string lowered = text::toLowerAscii(original);

    options.hide = lowered.find("/hide") != std::string::npos;

    for (const Switch& s : kRecordSwitches) {
        if (lowered.find(s.text) != std::string::npos) {
            options.autoRecord = true;
            options.autoAction = s.action;
            break;
        }
    }
    if (!options.autoRecord) {
        return options;
    }

    Span span;
    if (findValue(lowered, "-filename ", span)) {
        options.fileName = fileNameValue(valueAt(original, span));
    }
    if (findValue(lowered, "-frequency ", span)) {
        const std::string_view value = valueAt(lowered, span);
        if (!value.empty()) {
            options.rateIndex =
                indexOf(format::kCommandLineKiloHertz, text::leadingNumber(value), 0, -1);
        }
    }
    if (findValue(lowered, "-bit ", span)) {
        const std::string_view value = valueAt(lowered, span);
        if (!value.empty()) {
            options.bitsChoice = text::leadingNumber(value) == 16 ? 1 : 0;
        }
    }
    if (findValue(lowered, "-channels ", span)) {
        const std::string_view value = valueAt(lowered, span);
        if (!value.empty()) {
            options.channelsChoice = text::leadingNumber(value) == 1 ? 0 : 1;
        }
    }
    if (findValue(lowered, "-mp3bitrate ", span)) {
        const std::string_view value = valueAt(lowered, span);
        options.mp3BitrateIndex =
            value.empty() ? -1 : indexOf(format::kMp3Bitrates, text::leadingNumber(value), 1, 0);
    }
    return options;
}

std::string commandLineFromArguments(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc && argv != nullptr && argv[i] != nullptr; ++i) {
        if (i > 1) {
            line += ' ';
        }
        line += argv[i];
    }
    return line;
}

}  // namespace orvel
