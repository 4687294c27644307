#include "recorder/InfoLine.h"

#include <gtest/gtest.h>

#include "InfoView.h"

namespace orvel {
namespace {

using Sound = InfoLine::Sound;
using Lines = test::InfoView::Lines;

class InfoLineTest : public ::testing::Test {
protected:
    Lines lines() const { return {info.line1(), info.line2()}; }

    LanguageTable language;
    test::InfoView view;
    InfoLine info{view, language};
};

// The recording's text follows the sound and keeps the schedule's second line; a message stays
// whatever the sound does, and once signal mode is over only its waiting text gives way.
TEST_F(InfoLineTest, TheRecordingsTextFollowsTheSoundAndAMessageStays) {
    info.load();
    info.show(InfoLine::kRecordingText, "Recording will stop at 10:00:05");
    info.follow(Sound::Awaited);
    EXPECT_EQ(lines(), Lines("Waiting for sound", "Recording will stop at 10:00:05"));
    info.follow(Sound::Heard);
    EXPECT_EQ(info.line1(), InfoLine::kRecordingText);
    const std::size_t before = view.shown.size();
    info.follow(Sound::Heard);
    EXPECT_EQ(view.shown.size(), before);  // nothing to repaint
    info.follow(Sound::Over);
    EXPECT_EQ(info.line1(), InfoLine::kRecordingText);  // a stopped recording says so itself

    info.message("RecordNotFinished");
    const Lines message = lines();
    for (const Sound sound : {Sound::Heard, Sound::Awaited, Sound::Over}) {
        info.follow(sound);
        EXPECT_EQ(lines(), message);
    }

    info.show(info.recordingText(true), "");
    info.follow(Sound::Over);
    EXPECT_EQ(lines(), Lines(InfoLine::kReadyText, ""));
}

// A stop whose cause is on the line already leaves it there, whatever it showed meanwhile.
TEST_F(InfoLineTest, KeptLinesAreShownAgainAfterTheWorkThatKeptThem) {
    info.show("Recording device not available", "Please check the device");
    {
        const InfoLine::Kept kept(info, true);
        info.message("RecordNotFinished");
    }
    EXPECT_EQ(lines(), Lines("Recording device not available", "Please check the device"));
    EXPECT_EQ(view.shown.back(), lines());
    {
        const InfoLine::Kept notKept(info, false);
        info.show(InfoLine::kReadyText, "");
    }
    EXPECT_EQ(lines(), Lines(InfoLine::kReadyText, ""));
}

}  // namespace
}  // namespace orvel
