#include "ui/front/FaceCommands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../recorder_ui_sound/FaceHarness.h"
#include "config/ControlNames.h"
#include "config/KeyNames.h"
#include "recorder/FaceState.h"
#include "skin/SkinButton.h"
#include "skin/TrayIcon.h"
#include "ui/history/HistoryPanel.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::FaceHarness;
using test::TestFace;

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

// What the menus' entries stand for, by the texts the user reads.
const std::map<QString, ControlId> kPopupEntries = {
    {"Select Audio Device", ControlId::BTN_DEVICE},
    {"MP3 Settings", ControlId::BTN_MUSICSET},
    {"Chang File Name", ControlId::BTN_EJECT},
    {"Record", ControlId::BTN_RECORD},
    {"Signal Record", ControlId::BTN_SIGNALFILE},
    {"Schedule Record", ControlId::BTN_CLOCKFILE},
    {"Stop", ControlId::BTN_STOP},
    {"Play", ControlId::BTN_PLAY},
    {"Pause", ControlId::BTN_PAUSE},
    {"Exit", ControlId::BTN_SYSCLOSE},
};
const std::map<QString, ControlId> kTrayEntries = {
    {"record", ControlId::BTN_RECORD}, {"Stop", ControlId::BTN_STOP},
    {"Pause", ControlId::BTN_PAUSE},   {"Play", ControlId::BTN_PLAY},
    {"Exit", ControlId::BTN_SYSCLOSE},
};

// The chord of the i-th binding of the test's script, and the key press that gives it.
std::string chordOf(int i) {
    return keys::SpellChord('A' + i % 26, true, i >= 26, true);
}
void pressChord(QWidget& face, int i) {
    Qt::KeyboardModifiers held = Qt::ControlModifier | Qt::AltModifier;
    if (i >= 26) {
        held |= Qt::ShiftModifier;
    }
    QTest::keyClick(&face, static_cast<Qt::Key>(Qt::Key_A + i % 26), held);
}

// A control as failures name it.
std::string labelOf(ControlId id) {
    const std::optional<std::string_view> name = ControlNames::NameOf(id);
    return name ? std::string(*name) : std::to_string(static_cast<int>(id));
}
std::vector<std::string> labelsOf(const std::vector<ControlId>& ids) {
    std::vector<std::string> labels;
    for (const ControlId id : ids) {
        labels.push_back(labelOf(id));
    }
    return labels;
}

std::string scriptOf(const std::vector<std::string>& names) {
    std::string front;
    for (std::size_t i = 0; i < names.size(); ++i) {
        front += "<" + names[i] + ">" + chordOf(static_cast<int>(i)) + "</" + names[i] + ">";
    }
    return "<ORVELDOC><HOTKEYSCRIPT><ENABLEHOTKEY>YES</ENABLEHOTKEY><FRONTFACE>" + front +
           "</FRONTFACE></HOTKEYSCRIPT></ORVELDOC>";
}

// Every control of the face that has a command is reached the same way from each place that
// gives it: a click on its button, its hot key (a posted click) and each menu entry standing
// for it run that control's command once and nothing else. A menu entry wired to the wrong
// control, a button connected to another's command, a hot key clicking by a wrong id or twice
// all show here. Ids and names the face has no command for run nothing.
TEST(FaceCommands, ButtonHotKeyAndMenuEntriesRunTheControlsOneCommand) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    // The line window's buttons and the log panel's show while they are open.
    h.controller().openLineWindow();
    h.click(ControlId::BTN_ARCHIVE);
    ASSERT_TRUE(face.state().lineWindowOpen && face.historyPanel().isOpen());

    FaceCommands& table = face.commandTable();
    std::vector<ControlId> controls;
    for (const FaceCommands::Command& command : table.commands()) {
        controls.push_back(command.control);
    }
    ASSERT_GE(controls.size(), 39u);
    std::vector<ControlId> ran;
    for (const ControlId id : controls) {
        table.bind(id, [&ran, id] { ran.push_back(id); });
    }
    // Each named control gets a chord of its own; two names without a command follow: none
    // at all, and a control of another window.
    std::vector<std::string> names;
    std::map<ControlId, int> chords;
    for (const ControlId id : controls) {
        if (!table.find(id)->name.empty()) {
            chords[id] = static_cast<int>(names.size());
            names.emplace_back(table.find(id)->name);
        }
    }
    const int unknownChords = static_cast<int>(names.size());
    names.emplace_back("BTN_NOSUCHCONTROL");
    names.emplace_back("BTN_OK");
    h.keys().LoadText(scriptOf(names));

    auto expectOnly = [&](std::optional<ControlId> control, const std::string& way) {
        if (control) {
            h.waitFor([&] { return !ran.empty(); }, 2s);
        }
        h.run(20ms);  // a second run, or a late one, would be there by now
        EXPECT_EQ(labelsOf(ran),
                  labelsOf(control ? std::vector{*control} : std::vector<ControlId>{}))
            << way;
        ran.clear();
    };

    std::vector<ControlId> hidden;
    for (const ControlId id : controls) {
        const std::string name = labelOf(id);
        SkinButton* button = face.button(id);
        ASSERT_NE(button, nullptr) << name;
        const bool shown = button->isVisible();
        if (!shown) {
            hidden.push_back(id);
        } else {
            ASSERT_TRUE(button->isEnabled()) << name;
            h.click(id);
            expectOnly(id, "click on " + name);
        }
        // A hidden control takes no hot key either.
        if (const auto chord = chords.find(id); chord != chords.end()) {
            pressChord(face, chord->second);
            expectOnly(shown ? std::optional(id) : std::nullopt,
                       chordOf(chord->second) + " for " + name);
        }
    }
    // The help book's key is made hidden by the layout and never shows.
    EXPECT_EQ(hidden, std::vector<ControlId>{ControlId::BTN_HELPBOOK});
    const std::pair<QMenu*, const std::map<QString, ControlId>*> menus[] = {
        {&face.popupMenu(), &kPopupEntries}, {face.trayIcon().menu(), &kTrayEntries}};
    for (const auto& [menu, entries] : menus) {
        std::size_t found = 0;
        for (QAction* action : menu->actions()) {
            const auto entry = entries->find(action->text());
            if (entry != entries->end()) {
                ++found;
                action->trigger();
                expectOnly(entry->second, "menu entry " + action->text().toStdString());
            }
        }
        EXPECT_EQ(found, entries->size());
    }

    // An id of neither menu (a control's own number is none) and the chords bound to names
    // without a command run nothing.
    for (const int id : {0, static_cast<int>(ControlId::BTN_RECORD), 40000}) {
        face.runCommand(id);
    }
    pressChord(face, unknownChords);
    pressChord(face, unknownChords + 1);
    expectOnly(std::nullopt, "unknown ids and names");
    EXPECT_FALSE(table.run(ControlId::BTN_OK));
}

// While a recording runs in 8 bits, the controls that take no press now do nothing, whichever
// way they are given: their buttons are greyed, their hot keys (the built-in script's) are not
// taken, and the menus' entries for them leave it to the controller, which refuses. The
// recording goes on untouched and no window opens over it.
TEST(FaceCommands, DisabledControlsDoNothingByButtonHotKeyOrMenu) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    h.click(ControlId::BTN_8BIT);
    h.click(ControlId::BTN_RECORD);
    ASSERT_TRUE(h.waitFor([&] { return face.state().transport == Transport::Recording; }, 5s));
    const FaceState before = face.state();

    struct Disabled {
        ControlId control;
        Qt::Key key;
        Qt::KeyboardModifiers held;
    };
    const Disabled disabled[] = {
        {ControlId::BTN_MULTIFILE, Qt::Key_M, Qt::ShiftModifier},
        {ControlId::BTN_TIMESTAMPEDFILE, Qt::Key_T, Qt::ShiftModifier},
        {ControlId::BTN_EJECT, Qt::Key_F9, {}},
        {ControlId::BTN_PLAY, Qt::Key_F7, {}},
        {ControlId::BTN_LOWPASS, Qt::Key_L, Qt::ShiftModifier},
        {ControlId::BTN_HIGHPASS, Qt::Key_H, Qt::ShiftModifier},
        {ControlId::BTN_BACKGROUNDENABLE, Qt::Key_B, Qt::ShiftModifier},
    };
    for (const Disabled& d : disabled) {
        EXPECT_FALSE(face.commands().find(d.control)->enabled) << labelOf(d.control);
        EXPECT_FALSE(face.button(d.control)->isEnabled()) << labelOf(d.control);
        h.click(d.control);
        QTest::keyClick(&face, d.key, d.held);
    }
    for (QAction* action : face.popupMenu().actions()) {
        if (action->text() == "Play" || action->text() == "Chang File Name") {
            action->trigger();
        }
    }
    face.trayIcon().choose(TrayIcon::kPlay);
    h.run(300ms);

    const FaceState& now = face.state();
    EXPECT_EQ(now.transport, Transport::Recording);
    EXPECT_FALSE(now.playDown);
    EXPECT_EQ(now.multiFileDown, before.multiFileDown);
    EXPECT_EQ(now.timeStampedDown, before.timeStampedDown);
    EXPECT_EQ(now.backgroundOn, before.backgroundOn);
    EXPECT_FALSE(face.commands().latched(ControlId::BTN_LOWPASS));
    EXPECT_FALSE(face.commands().latched(ControlId::BTN_HIGHPASS));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    h.click(ControlId::BTN_STOP);
    EXPECT_TRUE(h.waitFor([&] { return face.state().transport == Transport::Idle; }, 5s));
}

}  // namespace
}  // namespace orvel
