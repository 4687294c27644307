#include "cli/RecorderArguments.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace orvel {
namespace {

using Kind = RecorderCommand::Kind;

RecorderCommand parse(std::vector<std::string> arguments) {
    return RecorderArguments::parse(arguments);
}

TEST(RecorderArguments, CommandsWithoutOptions) {
    EXPECT_EQ(parse({"devices"}).kind, Kind::Devices);
    EXPECT_TRUE(parse({"devices"}).ok());
    EXPECT_EQ(parse({"profiles"}).kind, Kind::Profiles);
    EXPECT_EQ(parse({"help"}).kind, Kind::Help);
    EXPECT_TRUE(parse({"help"}).ok());
    EXPECT_FALSE(parse({"devices", "x"}).ok());
    EXPECT_FALSE(parse({}).ok());
    EXPECT_EQ(parse({"recrod", "x.wav"}).error, "unknown command \"recrod\"");
}

TEST(RecorderArguments, HelpWinsAnywhereBeforeTheEndOfOptions) {
    EXPECT_EQ(parse({"record", "--rate", "x", "--help"}).kind, Kind::Help);
    EXPECT_TRUE(parse({"record", "-h"}).ok());
    // After "--" it is a file name.
    const RecorderCommand c = parse({"record", "--", "--help"});
    EXPECT_EQ(c.kind, Kind::Record);
    EXPECT_EQ(c.record.file, "--help");
}

TEST(RecorderArguments, RecordTakesValuesSeparateOrAfterEqualsInAnyOrder) {
    const RecorderCommand c =
        parse({"record", "--rate=11025", "out.wav", "--bits", "8", "--channels", "1", "--seconds",
               "2.5", "--line=3", "--device", "0", "--monitor", "--gate"});
    ASSERT_TRUE(c.ok()) << c.error;
    const RecordArguments& r = c.record;
    EXPECT_EQ(r.file, "out.wav");
    EXPECT_EQ(r.rate, 11025);
    EXPECT_EQ(r.bits, 8);
    EXPECT_EQ(r.channels, 1);
    EXPECT_EQ(r.seconds, 2.5);
    EXPECT_EQ(r.line, 3);
    EXPECT_EQ(r.device, 0);
    EXPECT_TRUE(r.monitor);
    EXPECT_TRUE(r.gate);
    EXPECT_FALSE(r.lowPass);
    EXPECT_FALSE(r.signalThreshold);
}

TEST(RecorderArguments, OptionsNotGivenStayUnset) {
    const RecorderCommand c = parse({"record", "a.mp3"});
    ASSERT_TRUE(c.ok());
    RecordArguments expected;
    expected.file = "a.mp3";
    EXPECT_EQ(c.record, expected);
}

TEST(RecorderArguments, EncoderOptionsAndSwitchesBothWays) {
    const RecorderCommand c = parse(
        {"record",        "a.mp3", "--mp3-bitrate", "15",      "--mp3-mode",  "1",       "--crc",
         "--no-original", "--id3", "--artist",      "Ann Lee", "--title=",    "--genre", "255",
         "--wma-profile", "3",     "--wma-author",  "Bo",      "--wma-genre", "79"});
    ASSERT_TRUE(c.ok()) << c.error;
    const RecordArguments& r = c.record;
    EXPECT_EQ(r.mp3Bitrate, 15);
    EXPECT_EQ(r.mp3Mode, 1);
    EXPECT_EQ(r.crc, true);
    EXPECT_EQ(r.original, false);
    EXPECT_FALSE(r.copyright);
    EXPECT_EQ(r.id3, true);
    EXPECT_EQ(r.artist, "Ann Lee");
    EXPECT_EQ(r.title, "");  // given empty: clears the stored title
    EXPECT_EQ(r.genre, 255);
    EXPECT_EQ(r.wmaProfile, 3);
    EXPECT_EQ(r.wmaAuthor, "Bo");
    EXPECT_EQ(r.wmaGenre, 79);
}

// "--copyright" is the MPEG flag, or a text where only that reading works or the file is WMA.
TEST(RecorderArguments, CopyrightIsAFlagOrATextAsTheLineReads) {
    struct Case {
        std::vector<std::string> arguments;
        std::optional<bool> flag;
        std::optional<std::string> text;
        std::string file;
    };
    const Case cases[] = {
        {{"record", "--copyright", "a.mp3"}, true, {}, "a.mp3"},
        {{"record", "--copyright", "a.wma"}, true, {}, "a.wma"},
        {{"record", "--copyright", "(c) Ann", "a.wma"}, {}, "(c) Ann", "a.wma"},
        {{"record", "a.wma", "--copyright=(c) Ann", "--no-copyright"}, false, "(c) Ann", "a.wma"},
        {{"record", "--copyright", "(c) Ann", "a.mp3"}, {}, "(c) Ann", "a.mp3"},
    };
    for (const Case& c : cases) {
        const RecorderCommand command = parse(c.arguments);
        ASSERT_TRUE(command.ok()) << command.error;
        EXPECT_EQ(command.record.copyright, c.flag) << c.arguments[2];
        EXPECT_EQ(command.record.copyrightText, c.text) << c.arguments[2];
        EXPECT_EQ(command.record.file, c.file);
    }
    EXPECT_EQ(parse({"record", "--author", "Bo", "a.wma"}).record.artist, "Bo");
    EXPECT_EQ(parse({"record", "--copyright", "2024", "x", "a.mp3"}).error,
              "record takes one file; got \"2024\" and \"x\"");
}

struct BadLine {
    std::vector<std::string> arguments;
    std::string error;
};

void PrintTo(const BadLine& c, std::ostream* out) {
    for (const std::string& a : c.arguments) {
        *out << a << " ";
    }
}

class BadRecordLine : public ::testing::TestWithParam<BadLine> {};

TEST_P(BadRecordLine, IsRefusedWithItsReason) {
    const RecorderCommand c = parse(GetParam().arguments);
    EXPECT_FALSE(c.ok());
    EXPECT_EQ(c.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadRecordLine,
    ::testing::Values(
        BadLine{{"record"}, "record needs a FILE"},
        BadLine{{"record", "a.wav", "b.wav"}, "record takes one file; got \"a.wav\" and \"b.wav\""},
        BadLine{{"record", "a.wav", "--rate"}, "--rate needs a value"},
        BadLine{{"record", "a.wav", "--rate", "fast"},
                "--rate: \"fast\" is not a sample rate in Hz"},
        BadLine{{"record", "a.wav", "--rate", "44100Hz"},
                "--rate: \"44100Hz\" is not a sample rate in Hz"},
        BadLine{{"record", "a.wav", "--line", "-1"},
                "--line: \"-1\" is not a line number (0 or more)"},
        BadLine{{"record", "a.wav", "--seconds", "0"},
                "--seconds: \"0\" is not a length in seconds above 0 (at most a year)"},
        BadLine{{"record", "a.wav", "--signal-threshold", "48"},
                "--signal-threshold: \"48\" is not a threshold step (0..47)"},
        BadLine{{"record", "a.wav", "--mp3-bitrate", "16"},
                "--mp3-bitrate: \"16\" is not an MP3 bit-rate index (0..15)"},
        BadLine{{"record", "a.wav", "--genre", "80"},
                "--genre: \"80\" is not a genre number (0..79, or 255 for none)"},
        BadLine{{"record", "a.wav", "--wma-genre", "255"},
                "--wma-genre: \"255\" is not a genre number (0..79)"},
        BadLine{{"record", "a.wav", "--gate=1"}, "--gate takes no value"},
        BadLine{{"record", "a.wav", "--frequency", "44"}, "record: unknown option --frequency"},
        BadLine{{"record", "a.wav", "-r"}, "record: unknown option \"-r\""},
        BadLine{{"record", ""}, "record: the file name is empty"},
        BadLine{{"record", "--seconds", "3", "take.flac"},
                "record: \"take.flac\": only .wav, .mp3 and .wma files are written (any letter "
                "case)"},
        BadLine{{"tags", "a.mp3", "--crc"}, "tags: unknown option --crc"}));

TEST(RecorderArguments, TagsPrintsWithoutChangesAndRewritesWithThem) {
    const RecorderCommand print = parse({"tags", "a.wma"});
    ASSERT_TRUE(print.ok());
    EXPECT_EQ(print.kind, Kind::Tags);
    EXPECT_FALSE(print.tags.changes());
    const RecorderCommand change = parse({"tags", "--copyright", "(c) Ann", "a.wma", "--genre=3"});
    ASSERT_TRUE(change.ok()) << change.error;
    EXPECT_TRUE(change.tags.changes());
    EXPECT_EQ(change.tags.file, "a.wma");
    EXPECT_EQ(change.tags.copyright, "(c) Ann");
    EXPECT_EQ(change.tags.genre, 3);
}

TEST(RecorderArguments, IntegersAreWholeDecimalNumbersWithinTheirRange) {
    EXPECT_EQ(RecorderArguments::parseInteger("42", 0, 100), 42);
    EXPECT_EQ(RecorderArguments::parseInteger("+7", 0, 100), 7);
    EXPECT_EQ(RecorderArguments::parseInteger("-3", -5, 0), -3);
    EXPECT_FALSE(RecorderArguments::parseInteger("+-3", -5, 0));
    EXPECT_FALSE(RecorderArguments::parseInteger("", 0, 100));
    EXPECT_FALSE(RecorderArguments::parseInteger(" 5", 0, 100));
    EXPECT_FALSE(RecorderArguments::parseInteger("5 ", 0, 100));
    EXPECT_FALSE(RecorderArguments::parseInteger("0x10", 0, 100));
    EXPECT_FALSE(RecorderArguments::parseInteger("2147483648", 0, 2147483647));
    EXPECT_FALSE(RecorderArguments::parseInteger("101", 0, 100));
}

TEST(RecorderArguments, SecondsArePositiveDecimalsUpToAYear) {
    EXPECT_EQ(RecorderArguments::parseSeconds("3"), 3.0);
    EXPECT_EQ(RecorderArguments::parseSeconds("0.25"), 0.25);
    EXPECT_FALSE(RecorderArguments::parseSeconds("-1"));
    EXPECT_FALSE(RecorderArguments::parseSeconds("1e3"));
    EXPECT_FALSE(RecorderArguments::parseSeconds("nan"));
    EXPECT_FALSE(RecorderArguments::parseSeconds("3s"));
    EXPECT_FALSE(RecorderArguments::parseSeconds("99999999"));
}

}  // namespace
}  // namespace orvel
