#include "ui/front/FaceCommands.h"

#include <gtest/gtest.h>

#include <vector>

#include "recorder/FaceState.h"

namespace orvel {
namespace {

// The table keeps what each control shows and tells the face of every change, and of nothing
// else: a change it kept to itself would leave a button showing an old state, a change of a
// control without a command would reach no button.
TEST(FaceCommands, ShowsEachChangeOfAControlsStateOnce) {
    using enum ControlId;
    FaceCommands commands;
    for (const ControlId id : {BTN_RECORD, BTN_PLAY, BTN_EJECT, BTN_16BIT, BTN_8BIT, BTN_LOWPASS,
                               BTN_MULTIFILE, kMicrophone}) {
        commands.bind(id, [] {});
    }
    std::vector<FaceCommands::Command> shown;
    commands.setShown([&](const FaceCommands::Command& c) { shown.push_back(c); });

    FaceState recording;
    recording.transport = Transport::Recording;
    recording.recordDown = true;
    recording.transportEnabled = false;
    recording.sixteenBits = false;
    commands.show(recording);
    const FaceCommands::Command* record = commands.find(BTN_RECORD);
    EXPECT_TRUE(record->latched && record->enabled);  // lit, not greyed
    for (const ControlId id : {BTN_PLAY, BTN_EJECT, BTN_MULTIFILE, BTN_LOWPASS}) {
        EXPECT_FALSE(commands.find(id)->enabled) << static_cast<int>(id);
    }
    EXPECT_TRUE(commands.latched(BTN_8BIT));
    EXPECT_FALSE(commands.latched(BTN_16BIT));
    // 8-bit and record latched, multi-file, eject, play and low-pass disabled: one call each.
    EXPECT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown.front().name, "BTN_8BIT");

    shown.clear();
    commands.show(recording);
    commands.setLatched(BTN_STOP, true);  // no command: no state
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(commands.find(BTN_STOP), nullptr);
    EXPECT_TRUE(commands.find(kMicrophone)->name.empty());
}

// A command runs whatever its control shows (the menus' entries are not the button), and a
// control bound again runs only its new command.
TEST(FaceCommands, RunsTheBoundCommandWhateverTheControlShows) {
    FaceCommands commands;
    int first = 0;
    int second = 0;
    commands.bind(ControlId::BTN_STOP, [&] { ++first; });
    commands.setEnabled(ControlId::BTN_STOP, false);
    EXPECT_TRUE(commands.run(ControlId::BTN_STOP));
    commands.bind(ControlId::BTN_STOP, [&] { ++second; });
    EXPECT_TRUE(commands.run(ControlId::BTN_STOP));
    EXPECT_FALSE(commands.run(ControlId::BTN_PLAY));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(commands.commands().size(), 1u);
    EXPECT_FALSE(commands.find(ControlId::BTN_STOP)->enabled);
}

}  // namespace
}  // namespace orvel
