#include "recorder/CommandLine.h"

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

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The file name runs to the next option or switch (a blank followed by "-" or "/"), so that a
// hyphen inside the name is kept and options may follow it in any order.
std::string_view fileNameAt(std::string_view text, std::size_t begin) {
    const std::string_view rest = text::trimLeadingSpace(text.substr(begin));
    if (!rest.empty() && rest.front() == '-') {
        return {};  // the next option: no name was given
    }
    std::size_t end = rest.size();
    for (std::size_t i = 0; i + 1 < rest.size(); ++i) {
        if (isBlank(rest[i]) && (rest[i + 1] == '-' || rest[i + 1] == '/')) {
            end = i;
            break;
        }
    }
    return text::trimTrailingSpace(rest.substr(0, end));
}

// Takes the value as the file name, or records why it cannot be used.
void takeFileName(std::string_view value, StartupOptions& options) {
    std::string refusal;
    if (value.empty()) {
        refusal = "no file name follows -filename";
    } else if (!formatOfFileName(value)) {
        refusal = kWrittenExtensionsText;
    } else if (value.size() > StartupOptions::kFileNameMaxBytes) {
        // A shortened path would name another file: refuse it whole.
        refusal = "the name is longer than " + std::to_string(StartupOptions::kFileNameMaxBytes) +
                  " bytes";
    }
    if (refusal.empty()) {
        options.fileName = std::string(value);
        return;
    }
    options.refusedFileName = std::string(value);
    options.fileNameRefusal = std::move(refusal);
    options.hide = false;
    qCWarning(lcCommandLine).noquote() << QString::fromStdString(options.refusalText());
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

    if (const std::size_t at = lowered.find("-filename "); at != std::string::npos) {
        takeFileName(fileNameAt(original, at + std::string_view("-filename ").size()), options);
    }
    Span span;
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
