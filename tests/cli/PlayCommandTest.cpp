#include "cli/PlayCommand.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/RecordingBackground.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

PlayArguments parsed(const std::vector<std::string>& arguments, std::string* error) {
    return PlayCommand::parse(arguments, error);
}

TEST(PlayCommandLine, TakesAFileAVolumeAndAStart) {
    std::string error;
    EXPECT_EQ(parsed({"play", "a.mp3"}, &error), (PlayArguments{"a.mp3", {}, {}}));
    EXPECT_EQ(error, "");
    EXPECT_EQ(parsed({"play", "--volume", "40", "--start=1500", "b c.wma"}, &error),
              (PlayArguments{"b c.wma", 40, 1500}));
    EXPECT_EQ(parsed({"play", "--", "-dash.wav"}, &error).file, "-dash.wav");
    EXPECT_EQ(error, "");
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"play"},
                                                {"play", "a", "b"},
                                                {"play", "--volume", "101", "a"},
                                                {"play", "--volume", "x", "a"},
                                                {"play", "--start", "-5", "a"},
                                                {"play", "a", "--start"},
                                                {"play", "--loud", "a"}}) {
        parsed(bad, &error);
        EXPECT_FALSE(error.empty()) << bad.back();
    }
}

TEST(PlayCommandLine, RefusesAFileThatCannotBePlayedWithoutASoundServer) {
    std::ostringstream out;
    std::ostringstream err;
    PlayCommand command(out, err, [](std::string* error) {
        *error = "nobody home";
        return std::unique_ptr<platform::SoundServer>();
    });
    EXPECT_EQ(command.run({"play", "/nowhere/x.wav"}), 1);
    EXPECT_NE(err.str().find("nobody home"), std::string::npos);
    EXPECT_EQ(command.run({"play"}), 2);
}

TEST(RecordingBackgroundOptions, AreTakenOutOfARecordCommandLine) {
    test::TempDir dir(test::TempDir::Xdg::Redirect);
    std::ostringstream err;
    RecordingBackground background(err);
    std::vector<std::string> arguments{"record",
                                       "--seconds",
                                       "2",
                                       "--background",
                                       "music.mp3",
                                       "--background-scale=30",
                                       "--remove-voice",
                                       "--vocal-channel",
                                       "1",
                                       "--background-action",
                                       "2",
                                       "take.wav"};
    EXPECT_EQ(background.takeOptions(arguments), "");
    EXPECT_EQ(arguments, (std::vector<std::string>{"record", "--seconds", "2", "take.wav"}));
    ASSERT_TRUE(background.options());
    const BackgroundSettings s = background.settings();
    EXPECT_EQ(s.file, "music.mp3");
    EXPECT_EQ(s.scale, 30);
    EXPECT_TRUE(s.removeVoice);
    EXPECT_EQ(s.vocalChannel, 1);
    EXPECT_EQ(s.action, 2);
    // Not given: the stored values.
    EXPECT_EQ(s.backgroundChannel, 0);
    EXPECT_TRUE(s.preview);
}

TEST(RecordingBackgroundOptions, BadValuesAndOtherCommandsAreLeftAlone) {
    test::TempDir dir(test::TempDir::Xdg::Redirect);
    std::ostringstream err;
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"record", "--background-scale", "101", "--background", "m", "f"},
          {"record", "--background-channel", "3", "--background", "m", "f"},
          {"record", "--remove-voice", "f"},
          {"record", "f", "--background"},
          {"record", "--background=", "f"}}) {
        RecordingBackground background(err);
        std::vector<std::string> arguments = bad;
        EXPECT_FALSE(background.takeOptions(arguments).empty()) << bad[1];
    }
    RecordingBackground background(err);
    std::vector<std::string> tags{"tags", "--background", "x"};
    EXPECT_EQ(background.takeOptions(tags), "");
    EXPECT_EQ(tags.size(), 3u);
    std::vector<std::string> plain{"record", "f.wav", "--", "--background"};
    EXPECT_EQ(background.takeOptions(plain), "");
    EXPECT_EQ(plain.size(), 4u);
    EXPECT_FALSE(background.options());
}

}  // namespace
}  // namespace orvel
