#include "recorder/CommandLine.h"
#include "recorder/StartupActions.h"

#include <gtest/gtest.h>

#include <QString>
#include <QtGlobal>
#include <ostream>
#include <string>
#include <vector>

namespace orvel {
namespace {

// The record switches are found by substring, in the order "/rst", "/rs", "/rt", "/r".
struct SwitchCase {
    const char* label;
    const char* line;
    bool autoRecord;
    AutoAction action;
    bool hide;
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << '"' << c.line << '"';
}

class CommandLineSwitches : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(CommandLineSwitches, SelectWhatStartsAtOnce) {
    const SwitchCase& c = GetParam();
    const StartupOptions o = parseCommandLine(c.line);
    EXPECT_EQ(o.autoRecord, c.autoRecord);
    EXPECT_EQ(o.autoAction, c.action);
    EXPECT_EQ(o.hide, c.hide);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineSwitches,
    ::testing::Values(
        SwitchCase{"Empty", "", false, AutoAction::RecordNow, false},
        SwitchCase{"SignalAndSchedule", "/rst", true, AutoAction::SignalAndSchedule, false},
        SwitchCase{"Autostart", "/rs /hide", true, AutoAction::Signal, true},
        SwitchCase{"Schedule", "/rt", true, AutoAction::Schedule, false},
        SwitchCase{"RecordNow", "/r", true, AutoAction::RecordNow, false},
        // "/rt" and "/rs" both occur: "/rs" is tested first.
        SwitchCase{"SignalBeforeSchedule", "/rt /rs", true, AutoAction::Signal, false},
        SwitchCase{"UpperCase", "/RST /Hide", true, AutoAction::SignalAndSchedule, true},
        SwitchCase{"HideAlone", "/hide", false, AutoAction::RecordNow, true},
        // A forward-slash path holds switches too.
        SwitchCase{"RecordInPath", "-filename /home/rec/a.wav", true, AutoAction::RecordNow, false},
        SwitchCase{"SignalAndScheduleInPath", "-filename /srv/rst/a.wav", true,
                   AutoAction::SignalAndSchedule, false},
        SwitchCase{"NoSwitch", "record hidden", false, AutoAction::RecordNow, false}),
    [](const ::testing::TestParamInfo<SwitchCase>& p) { return std::string(p.param.label); });

TEST(CommandLineOptions, AreIgnoredWithoutARecordSwitch) {
    StartupOptions expected;
    expected.hide = true;
    EXPECT_EQ(parseCommandLine("/hide -filename /tmp/a.wav -frequency 44 -bit 16 -channels 1 "
                               "-mp3bitrate 192"),
              expected);
}

TEST(CommandLineOptions, AbsentOptionsKeepTheirUnsetValues) {
    const StartupOptions o = parseCommandLine("/r");
    EXPECT_EQ(o.fileName, "");
    EXPECT_EQ(o.rateIndex, -1);
    EXPECT_EQ(o.bitsChoice, -1);
    EXPECT_EQ(o.channelsChoice, -1);
    EXPECT_EQ(o.mp3BitrateIndex, 0);
}

TEST(CommandLineOptions, FrequencyIsGivenInKiloHertz) {
    EXPECT_EQ(parseCommandLine("/r -frequency 44").rateIndex, 7);
    EXPECT_EQ(parseCommandLine("/r -frequency 8").rateIndex, 0);
    EXPECT_EQ(parseCommandLine("/r -frequency 11").rateIndex, 1);
    EXPECT_EQ(parseCommandLine("/r -frequency 48").rateIndex, 8);
    EXPECT_EQ(parseCommandLine("/r -frequency 44100").rateIndex, -1);
    EXPECT_EQ(parseCommandLine("/r -frequency 45").rateIndex, -1);
    EXPECT_EQ(parseCommandLine("/r -frequency abc").rateIndex, -1);
    EXPECT_EQ(parseCommandLine("/r -frequency ").rateIndex, -1);
    EXPECT_EQ(parseCommandLine("/r -FREQUENCY \t 22").rateIndex, 4);
}

TEST(CommandLineOptions, BitsAndChannelsTreatUnknownNumbersAsTheOtherChoice) {
    EXPECT_EQ(parseCommandLine("/r -bit 16").bitsChoice, 1);
    EXPECT_EQ(parseCommandLine("/r -bit 8").bitsChoice, 0);
    EXPECT_EQ(parseCommandLine("/r -bit 24").bitsChoice, 0);
    EXPECT_EQ(parseCommandLine("/r -bit ").bitsChoice, -1);
    EXPECT_EQ(parseCommandLine("/r -channels 1").channelsChoice, 0);
    EXPECT_EQ(parseCommandLine("/r -channels 2").channelsChoice, 1);
    EXPECT_EQ(parseCommandLine("/r -channels 0").channelsChoice, 1);
    EXPECT_EQ(parseCommandLine("/r -channels   ").channelsChoice, -1);
}

TEST(CommandLineOptions, Mp3BitrateLooksUpTheChoicesAfterTheDefault) {
    EXPECT_EQ(parseCommandLine("/r -mp3bitrate 8").mp3BitrateIndex, 1);
    EXPECT_EQ(parseCommandLine("/r -mp3bitrate 128").mp3BitrateIndex, 11);
    EXPECT_EQ(parseCommandLine("/r -mp3bitrate 320").mp3BitrateIndex, 15);
    EXPECT_EQ(parseCommandLine("/r -mp3bitrate 100").mp3BitrateIndex, 0);
    EXPECT_EQ(parseCommandLine("/r -mp3bitrate ").mp3BitrateIndex, -1);
}

TEST(CommandLineOptions, AValueEndsAtTheNextDash) {
    const StartupOptions o = parseCommandLine("/r -bit 16 -channels 1-frequency 32 -mp3bitrate -1");
    EXPECT_EQ(o.bitsChoice, 1);
    EXPECT_EQ(o.channelsChoice, 0);
    EXPECT_EQ(o.rateIndex, 6);
    // The value of "-mp3bitrate " ends at once, at the dash of "-1": it is given empty.
    EXPECT_EQ(o.mp3BitrateIndex, -1);
}

// The name runs to the next option or switch, in whatever order they come, keeps the hyphens
// and blanks inside it and loses those at its end.
TEST(CommandLineFileName, RunsToTheNextOptionOrSwitch) {
    EXPECT_EQ(parseCommandLine("/r -filename /tmp/my-talk.wav").fileName, "/tmp/my-talk.wav");
    EXPECT_EQ(parseCommandLine("/r -filename   /tmp/take.wav  ").fileName, "/tmp/take.wav");
    EXPECT_EQ(parseCommandLine("/r -filename /tmp/take.wma").fileName, "/tmp/take.wma");

    StartupOptions o = parseCommandLine("/r -filename /tmp/re-take 2.mp3 -bit 16 -channels 1");
    EXPECT_EQ(o.fileName, "/tmp/re-take 2.mp3");
    EXPECT_EQ(o.bitsChoice, 1);
    EXPECT_EQ(o.channelsChoice, 0);

    o = parseCommandLine("-filename my talk.wav /rs /hide");
    EXPECT_EQ(o.fileName, "my talk.wav");
    EXPECT_EQ(o.autoAction, AutoAction::Signal);
    EXPECT_TRUE(o.hide);
    EXPECT_TRUE(o.fileNameRefusal.empty());
}

// A name that cannot be used is never dropped unsaid: the reason is kept for the info line and
// the terminal, nothing starts, and the window is not hidden away from the user.
TEST(CommandLineFileName, ARefusedNameSaysWhyAndStartsNothing) {
    StartupOptions o = parseCommandLine("/r /hide -filename /tmp/take.flac -bit 16");
    EXPECT_EQ(o.fileName, "");
    EXPECT_EQ(o.refusedFileName, "/tmp/take.flac");
    EXPECT_EQ(o.refusalText(),
              "-filename \"/tmp/take.flac\": only .wav, .mp3 and .wma files are "
              "written (any letter case)");
    EXPECT_FALSE(o.hide);
    EXPECT_TRUE(startupPresses(o).empty());
    EXPECT_EQ(o.bitsChoice, 1);

    EXPECT_EQ(parseCommandLine("/r -filename /tmp/take").refusedFileName, "/tmp/take");
    o = parseCommandLine("/r -filename  -bit 16");
    EXPECT_EQ(o.fileNameRefusal, "no file name follows -filename");
    EXPECT_TRUE(startupPresses(o).empty());
    // Without a record switch the options are not read, and nothing is refused either.
    EXPECT_TRUE(parseCommandLine("/hide -filename take.flac").refusalText().empty());
}

TEST(CommandLineFileName, KeepsTheLetterCaseItWasGivenIn) {
    EXPECT_EQ(parseCommandLine("/r -filename /home/Ann/Take.WAV").fileName, "/home/Ann/Take.WAV");
    EXPECT_EQ(parseCommandLine("/RS -FILENAME /home/Ann/Take.Mp3").fileName, "/home/Ann/Take.Mp3");
    EXPECT_EQ(parseCommandLine("/r -filename /home/\xC3\x85sa/T\xC3\xB6n.wav").fileName,
              "/home/\xC3\x85sa/T\xC3\xB6n.wav");
}

int g_warnings = 0;
void countWarnings(QtMsgType type, const QMessageLogContext& context, const QString&) {
    if (type == QtWarningMsg && QString::fromLatin1(context.category).startsWith("orvel.")) {
        ++g_warnings;
    }
}

TEST(CommandLineFileName, LongerThanTheRecordHoldsIsRefusedWithAWarning) {
    const std::string fits = "/" + std::string(StartupOptions::kFileNameMaxBytes - 5, 'a') + ".wav";
    ASSERT_EQ(fits.size(), StartupOptions::kFileNameMaxBytes);
    EXPECT_EQ(parseCommandLine("/r -filename " + fits).fileName, fits);

    g_warnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler(countWarnings);
    const std::string tooLong = "/a" + fits;
    const std::string parsed = parseCommandLine("/r -filename " + tooLong).fileName;
    qInstallMessageHandler(previous);
    EXPECT_EQ(parsed, "");
    EXPECT_EQ(g_warnings, 1);
    EXPECT_EQ(parseCommandLine("/r -filename " + tooLong).fileNameRefusal,
              "the name is longer than 506 bytes");
}

TEST(CommandLineLength, OnlyTheFirst1024BytesAreRead) {
    const std::string padding(1000, 'x');
    // "-bit 16" starts inside the limit but its value lies beyond it.
    const std::string cut = "/r " + padding + std::string(1024 - 3 - 1000 - 5, ' ') + "-bit 16";
    ASSERT_EQ(cut.find("-bit ") + 5, kCommandLineMaxBytes);
    EXPECT_EQ(parseCommandLine(cut).bitsChoice, -1);

    const std::string fits = "/r " + padding + std::string(1024 - 3 - 1000 - 7, ' ') + "-bit 16";
    ASSERT_EQ(fits.size(), kCommandLineMaxBytes);
    EXPECT_EQ(parseCommandLine(fits).bitsChoice, 1);

    EXPECT_FALSE(parseCommandLine(std::string(1024, ' ') + "/r").autoRecord);
}

TEST(CommandLineArguments, AreJoinedWithSingleBlanks) {
    const char* argv[] = {"orvel", "/r", "-filename", "/home/ann/my take.wav", nullptr};
    const std::string line = commandLineFromArguments(4, argv);
    EXPECT_EQ(line, "/r -filename /home/ann/my take.wav");
    EXPECT_EQ(parseCommandLine(line).fileName, "/home/ann/my take.wav");
    EXPECT_EQ(commandLineFromArguments(1, argv), "");
    EXPECT_EQ(commandLineFromArguments(0, nullptr), "");
}

}  // namespace
}  // namespace orvel
