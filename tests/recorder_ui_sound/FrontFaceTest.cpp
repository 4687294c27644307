#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QTime>
#include <QTimer>
#include <QToolTip>
#include <map>
#include <set>

#include "../platform_sound/SoundTestSupport.h"
#include "FaceHarness.h"
#include "audio/WavReader.h"
#include "recorder/CommandLine.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"
#include "skin/TrayIcon.h"
#include "ui/front/FaceMenu.h"
#include "ui/front/StartupFace.h"
#include "ui/history/HistoryPanel.h"
#include "ui/settings/Mp3Window.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::FaceHarness;
using test::TestFace;

// Controls of the front face.

QString plain(const QString& tooltip) {
    QTextDocument document;
    document.setHtml(tooltip);
    return document.toPlainText();
}

std::string info(const TestFace& face) {
    return face.displays().info1().toStdString();
}

// The recording display as the face shows it.
std::string recordingShown(FaceHarness& h) {
    return h.face().displays().recordingText().toStdString();
}

// Runs `act` on the modal window of type T once it is open. Settings windows run their own
// modal loop, so the test acts from inside it.
template <class T>
void whenOpen(std::function<void(T*)> act) {
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (T* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(window);
        }
    });
    poll->start();
}

// A point of bare face: no control, slider or display.
const QPoint kBareFace(200, 300);

// Record, pause, stop and play by clicks, with the info line, the buttons that may be pressed,
// the level meter as painted, and the player left alone by clicks elsewhere on the face.
TEST(FrontFace, TransportRecordsPausesStopsAndPlaysWithItsInfoLine) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    EXPECT_EQ(info(face), "Ready to record");
    h.click(ControlId::BTN_SHOWSWITCH);  // the numeric meter

    h.click(ControlId::BTN_RECORD);
    EXPECT_EQ(info(face), "Recording");
    EXPECT_TRUE(face.button(ControlId::BTN_RECORD)->latched());
    EXPECT_TRUE(face.button(ControlId::BTN_RECORD)->isEnabled());  // lit, not greyed
    for (ControlId id : {ControlId::BTN_PLAY, ControlId::BTN_EJECT, ControlId::BTN_MULTIFILE}) {
        EXPECT_FALSE(face.button(id)->isEnabled()) << static_cast<int>(id);
    }
    EXPECT_FALSE(face.slider(skin::SliderId::Rate)->isEnabled());
    // The steady tone lights the meter: its level, and lit segments painted in the strip.
    ASSERT_TRUE(h.waitFor([&] { return face.levels() && face.levels()->rows[0].level < 30; }, 5s));
    EXPECT_FALSE(face.levels()->animated);
    const QImage grab = face.grab().toImage();
    int lit = 0;
    for (int x = 257; x < 257 + 145; ++x) {
        const QColor c = grab.pixelColor(x, 36);
        lit += c.green() >= 153 && c.blue() <= 51 ? 1 : 0;
    }
    EXPECT_GT(lit, 20);

    h.click(ControlId::BTN_PAUSE);
    EXPECT_TRUE(face.button(ControlId::BTN_PAUSE)->latched());
    h.run(300ms);
    const std::string paused = recordingShown(h);
    h.run(1200ms);
    EXPECT_EQ(recordingShown(h), paused);  // the recorded time stands still
    h.click(ControlId::BTN_PAUSE);
    h.run(1500ms);
    EXPECT_NE(recordingShown(h), paused);

    h.click(ControlId::BTN_STOP);
    EXPECT_EQ(info(face), "Ready to record");
    EXPECT_FALSE(face.levels().has_value());
    ASSERT_TRUE(h.waitFor([&] { return !face.files.empty(); }, 10s));
    EXPECT_TRUE(face.files[0].ok);
    EXPECT_GT(face.files[0].bytes, 100000u);
    EXPECT_TRUE(face.button(ControlId::BTN_PLAY)->isEnabled());

    h.click(ControlId::BTN_PLAY);
    EXPECT_EQ(info(face), "Playing");
    EXPECT_TRUE(face.button(ControlId::BTN_PLAY)->latched());
    ASSERT_TRUE(h.waitFor([&] { return h.parts().player().position() > 1200; }, 5s));
    // A click elsewhere on the face applies no slider: the player is not sought back.
    const std::int64_t before = h.parts().player().position();
    h.clickAt(kBareFace);
    h.run(200ms);
    EXPECT_GE(h.parts().player().position(), before);
    h.click(ControlId::BTN_STOP);
    EXPECT_EQ(info(face), "Ready to record");
    EXPECT_FALSE(face.button(ControlId::BTN_PLAY)->latched());
}

// The format and channel keys choose the next recording's format: a key already down does
// nothing, 8 bits disable what needs 16-bit samples, and the data-rate meter follows.
TEST(FrontFace, FormatKeysAndTheDataRateMeter) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    const std::size_t published = face.states.size();
    h.click(ControlId::BTN_16BIT);
    h.click(ControlId::BTN_16BIT);
    EXPECT_EQ(face.states.size(), published);
    EXPECT_TRUE(face.button(ControlId::BTN_16BIT)->latched());

    h.click(ControlId::BTN_8BIT);
    EXPECT_FALSE(face.state().sixteenBits);
    EXPECT_TRUE(face.button(ControlId::BTN_8BIT)->latched());
    EXPECT_FALSE(face.button(ControlId::BTN_16BIT)->latched());
    for (ControlId id :
         {ControlId::BTN_LOWPASS, ControlId::BTN_HIGHPASS, ControlId::BTN_BACKGROUNDENABLE}) {
        EXPECT_FALSE(face.button(id)->isEnabled()) << static_cast<int>(id);
    }
    h.click(ControlId::BTN_MONO);
    face.slider(skin::SliderId::Rate)->applyValue(7);
    EXPECT_EQ(face.state().dataRateText, "43KB/S");

    h.click(ControlId::BTN_16BIT);
    h.click(ControlId::BTN_STEREO);
    face.slider(skin::SliderId::Rate)->applyValue(8);
    EXPECT_EQ(face.state().dataRateText, "187KB/S");
    for (ControlId id :
         {ControlId::BTN_LOWPASS, ControlId::BTN_HIGHPASS, ControlId::BTN_BACKGROUNDENABLE}) {
        EXPECT_TRUE(face.button(id)->isEnabled()) << static_cast<int>(id);
    }
}

// A press on a dashboard line makes its file the play source while nothing runs, and only then.
TEST(FrontFace, DashboardLinesChooseThePlaySourceOnlyWhileIdle) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    const QPoint background(300, 90);
    const QPoint playing(300, 104);
    h.clickAt(background);
    EXPECT_EQ(face.state().playSource, 1);
    h.clickAt(playing);
    EXPECT_EQ(face.state().playSource, 2);
    EXPECT_EQ(face.pos(), QPoint(200, 200));  // the press did not move the face

    h.click(ControlId::BTN_RECORD);
    h.clickAt(background);
    EXPECT_EQ(face.state().playSource, 2);
    h.click(ControlId::BTN_STOP);
    h.clickAt(background);
    EXPECT_EQ(face.state().playSource, 1);

    // A file chosen in the history is the playing file, and the one play plays.
    const std::string chosen = h.file("chosen.wav");
    face.historyPanel().showFiles({QString::fromStdString(chosen)});
    EXPECT_EQ(face.state().playSource, 2);
    EXPECT_EQ(face.displays().fileLine(2).toStdString(), chosen);
    EXPECT_EQ(h.settings().readText(setting::kPlayFile), chosen);
}

// The command line's presses are clicks posted to the buttons after everything before them:
// "/rst" switches signal mode on, then schedule mode; its format options apply first; "/hide"
// hides the face after them.
TEST(FrontFace, CommandLinePressesArePostedInOrder) {
    FaceHarness h;
    // A schedule window away from now, so that schedule mode has a list and waits.
    const bool morning = QTime::currentTime().hour() < 12;
    h.writeFile("install/TimeSchedule.txt",
                morning ? "18:00:00 - 19:00:00\n" : "03:00:00 - 04:00:00\n");
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    face.pressStartupButtons(parseCommandLine("/rst -frequency 22 -bit 8 -channels 1 /hide"));
    EXPECT_FALSE(face.state().signalDown);  // nothing until the posted clicks are handled
    ASSERT_TRUE(h.waitFor([&] { return face.state().scheduleDown; }, 5s));
    EXPECT_TRUE(face.state().signalDown);
    auto first = [&](auto down) {
        return std::find_if(face.states.begin(), face.states.end(), down) - face.states.begin();
    };
    EXPECT_LT(first([](const FaceState& s) { return s.signalDown; }),
              first([](const FaceState& s) { return s.scheduleDown; }));
    EXPECT_EQ(face.state().rateIndex, 4);
    EXPECT_FALSE(face.state().sixteenBits);
    EXPECT_FALSE(face.state().stereo);
    EXPECT_TRUE(h.waitFor([&] { return face.isHidden(); }, 2s));
    h.click(ControlId::BTN_STOP);
}

// A file name the recorder cannot write is refused on the info line: nothing records, the
// stored name is not recorded into instead, and the face stays in sight to say why.
TEST(FrontFace, CommandLineNameThatCannotBeWrittenIsRefusedOnTheInfoLine) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    face.pressStartupButtons(parseCommandLine("/r /hide -filename " + h.file("talk.flac")));
    h.run(500ms);
    EXPECT_TRUE(face.shown("-filename refused: nothing started"));
    EXPECT_FALSE(face.state().recordDown);
    EXPECT_FALSE(face.isHidden());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(h.file("Orvel.wav"))));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(h.file("talk.flac"))));
}

// Keys of the default script click the buttons and drag the sliders through posted presses:
// Enter records and Escape stops with the face still open; a key bound to a disabled button
// does nothing; a volume drag moves the speakers' volume, never the face.
TEST(FrontFace, HotKeysOfTheDefaultScript) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    test::VolumeRestorer restore(test::VolumeRestorer::Kind::Sink, "speakers");
    TestFace& face = h.face();
    auto key = [&](Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(&face, k, modifiers);
        h.run(100ms);
    };

    // A hidden button takes no key (the line search's, with the line window closed); the log
    // panel's own buttons take theirs as the face's do.
    key(Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(h.controller().lineTest().running());
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(face.size(), QSize(592, 608));
    key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(face.size(), QSize(592, 392));

    key(Qt::Key_M, Qt::ShiftModifier);
    EXPECT_TRUE(face.state().multiFileDown);
    key(Qt::Key_8, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(face.state().sixteenBits);
    key(Qt::Key_9, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(face.state().sixteenBits);

    key(Qt::Key_Return);
    EXPECT_TRUE(face.state().recordDown);
    key(Qt::Key_M, Qt::ShiftModifier);  // multi-file is disabled while recording
    EXPECT_TRUE(face.state().multiFileDown);
    face.infos.clear();
    key(Qt::Key_Escape);
    EXPECT_FALSE(face.state().recordDown);
    EXPECT_TRUE(face.shown("Ready to record"));
    EXPECT_TRUE(face.isVisible());

    h.server().setDefaultSinkVolume(30000);
    ASSERT_TRUE(h.waitFor(
        [&] { return std::abs(face.slider(skin::SliderId::Volume)->value() - 30000) < 1000; }, 3s));
    const QPoint place = face.pos();
    key(Qt::Key_Up, Qt::ControlModifier);
    const int raised = face.slider(skin::SliderId::Volume)->value();
    EXPECT_GT(raised, 35000);
    EXPECT_TRUE(h.waitFor(
        [&] { return std::abs(h.server().defaultSinkVolume().value_or(0) - raised) < 700; }, 3s));
    EXPECT_EQ(face.pos(), place);
}

// Tooltips carry the chords of the hot-key script, for the buttons and for the slider areas.
TEST(FrontFace, TooltipsCarryTheirChords) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    EXPECT_EQ(plain(face.button(ControlId::BTN_RECORD)->toolTip()),
              "Record - Hot Key :[F8,ENTER,CTRL+R]");
    const QPoint volume = face.slider(skin::SliderId::Volume)->trackRect().center();
    QHelpEvent help(QEvent::ToolTip, volume, face.mapToGlobal(volume));
    QApplication::sendEvent(&face, &help);
    EXPECT_EQ(plain(QToolTip::text()),
              "Set Volume for recording - Hot Key :[CTRL+UPARROW , CTRL+DOWNARROW]");
    QToolTip::hideText();
}

// The window's outline follows the panels: the line window widens the face, the log panel
// lengthens it, and with both open the face is tall and keeps the side panel.
TEST(FrontFace, OutlineFollowsThePanels) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    EXPECT_EQ(face.size(), QSize(592, 392));
    h.click(ControlId::BTN_DETECT);
    EXPECT_EQ(face.size(), QSize(949, 392));
    EXPECT_FALSE(face.button(ControlId::BTN_DEVICE)->isHidden());
    h.click(ControlId::BTN_ARCHIVE);
    EXPECT_EQ(face.size(), QSize(949, 608));
    EXPECT_FALSE(face.button(ControlId::BTN_DEVICE)->isHidden());
    EXPECT_TRUE(face.mask().contains(QPoint(900, 200)));  // the side panel
    EXPECT_TRUE(face.mask().contains(QPoint(300, 500)));  // the log panel
    EXPECT_TRUE(face.button(ControlId::BTN_ARCHIVE)->isHidden());
    h.click(ControlId::BTN_CLOSEAUDIOBOX);
    EXPECT_EQ(face.size(), QSize(592, 608));
    h.click(ControlId::BTN_ARCHIVECLOSE);
    EXPECT_EQ(face.size(), QSize(592, 392));
    EXPECT_FALSE(face.button(ControlId::BTN_ARCHIVE)->isHidden());
}

// The speakers' volume follows changes made by other programs, except while the user holds
// the thumb; and a slider applies its value only on the release of its own press.
TEST(FrontFace, VolumeFollowsOtherProgramsAndAppliesOnlyOnItsOwnRelease) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    test::VolumeRestorer restore(test::VolumeRestorer::Kind::Sink, "speakers");
    TestFace& face = h.face();
    SkinSlider* volume = face.slider(skin::SliderId::Volume);
    auto near = [](int a, int b) { return std::abs(a - b) < 1000; };

    ASSERT_TRUE(test::pactl({"set-sink-volume", "speakers", "40%"}));
    ASSERT_TRUE(h.waitFor([&] { return near(volume->value(), 26214); }, 3s));

    // Held: another program's change does not move the thumb under the hand.
    const QPoint thumb = volume->thumbRect().center();
    QTest::mousePress(&face, Qt::LeftButton, {}, thumb);
    ASSERT_TRUE(test::pactl({"set-sink-volume", "speakers", "70%"}));
    h.run(500ms);
    EXPECT_TRUE(near(volume->value(), 26214));
    QTest::mouseRelease(&face, Qt::LeftButton, {}, thumb);
    EXPECT_TRUE(
        h.waitFor([&] { return near(h.server().defaultSinkVolume().value_or(0), 26214); }, 3s));

    // A press and release elsewhere applies no slider.
    ASSERT_TRUE(test::pactl({"set-sink-volume", "speakers", "55%"}));
    ASSERT_TRUE(h.waitFor([&] { return near(volume->value(), 36045); }, 3s));
    ASSERT_TRUE(test::pactl({"set-sink-volume", "speakers", "20%"}));
    QTest::mousePress(&face, Qt::LeftButton, {}, kBareFace);
    QTest::mouseRelease(&face, Qt::LeftButton, {}, kBareFace);
    h.run(500ms);
    EXPECT_TRUE(near(h.server().defaultSinkVolume().value_or(0), 13107));
}

// While a capture runs, the device window and the line search are refused with a word on the
// info line, not started under the recording.
TEST(FrontFace, DeviceWindowAndLineSearchAreRefusedWhileACaptureRuns) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    h.click(ControlId::BTN_DETECT);
    h.click(ControlId::BTN_RECORD);
    ASSERT_TRUE(face.state().recordDown);
    // Sound arrives (a line's first sound may take two seconds), for a file to play below.
    ASSERT_TRUE(h.waitFor([&] { return face.levels() && face.levels()->rows[0].level < 30; }, 5s));
    h.run(500ms);
    h.click(ControlId::BTN_AUTODETECT);
    EXPECT_EQ(info(face), RecorderController::kBusyText);
    EXPECT_FALSE(h.controller().lineTest().running());
    h.click(ControlId::BTN_STOP);
    // Once the file is complete the device may change.
    ASSERT_TRUE(h.waitFor([&] { return !face.files.empty(); }, 10s));
    h.click(ControlId::BTN_DEVICE);
    EXPECT_NE(info(face), RecorderController::kBusyText);
    h.click(ControlId::BTN_PLAY);
    ASSERT_TRUE(face.state().playDown);
    h.click(ControlId::BTN_DEVICE);
    EXPECT_EQ(info(face), RecorderController::kBusyText);
    h.click(ControlId::BTN_STOP);
}

// A file whose length reads as 0 keeps the position thumb at the start: nothing divides by
// its length and nothing is sought.
TEST(FrontFace, AFileOfNoLengthKeepsThePositionAtTheStart) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    // A WAV file past the unfinished size whose data chunk holds nothing.
    std::string wav("RIFF\0\0\0\0WAVEJUNK", 16);
    const std::uint32_t junk = 8000;
    wav.append(reinterpret_cast<const char*>(&junk), 4).append(junk, '\0');
    const char fmt[] =
        "fmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0data\0\0\0\0";
    wav.append(fmt, sizeof fmt - 1);
    h.writeFile("empty.wav", wav);
    h.controller().setFieldText(h.file("empty.wav"));
    SkinSlider* position = face.slider(skin::SliderId::Play);
    position->applyValue(60);
    EXPECT_EQ(position->value(), 0);
    h.click(ControlId::BTN_PLAY);
    h.run(500ms);
    position->applyValue(60);
    h.run(200ms);
    EXPECT_EQ(position->value(), 0);
    h.click(ControlId::BTN_STOP);
}

// Every entry of the pop-up and tray menus stands for a control the face has a command for, or
// is one of the menus' own; an entry runs its control's command.
TEST(FrontFace, MenuEntriesRunTheirControlsCommands) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    const std::set<int> own = {TrayIcon::kOpen, FaceMenu::kConfigLine, FaceMenu::kAddToStartup,
                               FaceMenu::kAbout};
    std::map<QString, QAction*> popup;
    for (QMenu* menu : {&face.popupMenu(), face.trayIcon().menu()}) {
        for (QAction* action : menu->actions()) {
            if (action->isSeparator()) {
                continue;
            }
            const int id = action->data().toInt();
            const std::optional<ControlId> control = FaceMenu::controlOf(id);
            EXPECT_TRUE(control ? face.commands().find(*control) != nullptr : own.count(id) == 1)
                << action->text().toStdString();
            if (menu == &face.popupMenu()) {
                popup[action->text()] = action;
            }
        }
    }
    ASSERT_EQ(popup.size(), 13u);
    popup["Record"]->trigger();
    EXPECT_TRUE(face.state().recordDown);
    popup["Pause"]->trigger();
    EXPECT_TRUE(face.state().pauseDown);
    popup["Stop"]->trigger();
    EXPECT_FALSE(face.state().recordDown);
    // Into a file of its own (no overwrite question), once the stopped one is complete.
    h.controller().setFieldText(h.file("signal.wav"));
    popup["Signal Record"]->trigger();
    EXPECT_TRUE(h.waitFor([&] { return face.state().signalDown; }, 10s));
    popup["Signal Record"]->trigger();
    EXPECT_TRUE(h.waitFor([&] { return !face.state().signalDown; }, 10s));
}

// Tray commands do not act behind a modal face: its entries are disabled but "Open Orvel",
// and a command that still comes is dropped; after the face closes they work again.
TEST(FrontFace, TrayCommandsWaitWhileAModalFaceIsOpen) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    face.runCommand(FaceMenu::kAbout);
    QWidget* about = QApplication::activeModalWidget();
    ASSERT_NE(about, nullptr);
    TrayIcon& tray = face.trayIcon();
    emit tray.menu()->aboutToShow();
    EXPECT_TRUE(tray.action(TrayIcon::kOpen)->isEnabled());
    EXPECT_FALSE(tray.action(TrayIcon::kRecord)->isEnabled());
    EXPECT_FALSE(tray.action(TrayIcon::kExit)->isEnabled());
    tray.choose(TrayIcon::kRecord);
    tray.choose(TrayIcon::kExit);
    EXPECT_FALSE(face.state().recordDown);
    EXPECT_FALSE(face.isClosed());

    about->close();
    ASSERT_TRUE(h.waitFor([] { return QApplication::activeModalWidget() == nullptr; }, 2s));
    emit tray.menu()->aboutToShow();
    EXPECT_TRUE(tray.action(TrayIcon::kRecord)->isEnabled());
    tray.choose(TrayIcon::kRecord);
    EXPECT_TRUE(face.state().recordDown);
    h.click(ControlId::BTN_STOP);
}

// The first run: the start-up window comes first and the face shows its start-up texts and
// keys; the command line's press waits for the choice and the line search it asks for, then
// records on the line found.
TEST(FrontFace, FirstRunGoesThroughTheStartupWindowAndTheLineSearch) {
    FaceHarness h;
    // The search sets the level of each line it tests.
    const test::VolumeRestorer tone(test::VolumeRestorer::Kind::Source, "tone");
    const test::VolumeRestorer silence(test::VolumeRestorer::Kind::Source, "silence");
    const test::VolumeRestorer monitor(test::VolumeRestorer::Kind::Source, "speakers.monitor");
    ASSERT_TRUE(h.make({std::nullopt}));
    TestFace& face = h.face();
    face.pressStartupButtons(parseCommandLine("/r"));
    StartupFace* startup = nullptr;
    ASSERT_TRUE(h.waitFor(
        [&] { return (startup = qobject_cast<StartupFace*>(QApplication::activeModalWidget())); },
        3s));
    EXPECT_TRUE(face.state().startupFace);
    EXPECT_FALSE(face.state().recordDown);
    QTest::mouseClick(startup->button(ControlId::BTN_CONTINUE), Qt::LeftButton);
    ASSERT_TRUE(h.waitFor([&] { return face.state().lineWindowOpen; }, 5s));
    EXPECT_EQ(face.size(), QSize(949, 392));
    ASSERT_TRUE(h.waitFor([&] { return face.state().recordDown; }, 30s));
    EXPECT_TRUE(face.shown("Record Line Found"));
    EXPECT_FALSE(face.state().startupFace);
    h.click(ControlId::BTN_STOP);
}

// Closing during an MP3 recording: the program ends only once the file is complete (the
// encoder's tag frame counts every byte) and its log line is written; the settings follow.
TEST(FrontFace, CloseWaitsForTheFileAndItsLogLine) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    h.controller().setFieldText(h.file("take.wav"));
    h.click(ControlId::BTN_MP3FILE);
    h.click(ControlId::BTN_RECORD);
    ASSERT_TRUE(face.state().recordDown);
    h.run(2s);
    QSignalSpy closed(&face, &FrontFace::programClosed);
    bool completeAtClose = false;
    std::size_t logAtClose = 0;
    QObject::connect(&face, &FrontFace::programClosed, [&] {
        completeAtClose = h.parts().engine().state() == CaptureEngine::State::Idle;
        logAtClose = h.logLines().size();
    });
    h.click(ControlId::BTN_SYSCLOSE);
    ASSERT_TRUE(h.waitFor([&] { return closed.count() == 1; }, 15s));
    EXPECT_TRUE(completeAtClose);
    EXPECT_EQ(logAtClose, 1u);
    // The format key gave the name its extension.
    const std::string path = h.settings().readLastName();
    EXPECT_EQ(path, h.file("take.MP3"));
    EXPECT_TRUE(test::mp3Complete(path));
    EXPECT_TRUE(face.isHidden());
}

// The face's keys and sliders store their choices as they are used, not at close.
TEST(FrontFace, ChoicesReachTheSettingsBeforeTheProgramCloses) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    test::VolumeRestorer restore(test::VolumeRestorer::Kind::Sink, "speakers");
    TestFace& face = h.face();
    h.controller().setFieldText(h.file("face.wav"));
    h.click(ControlId::BTN_8BIT);
    h.click(ControlId::BTN_MONO);
    face.slider(skin::SliderId::Rate)->applyValue(2);
    h.click(ControlId::BTN_MP3FILE);
    h.click(ControlId::BTN_MULTIFILE);
    h.click(ControlId::BTN_SHOWSWITCH);
    face.slider(skin::SliderId::Volume)->applyValue(30000);

    const SettingsStore& s = h.settings();
    EXPECT_EQ(s.readBit(), 0);
    EXPECT_EQ(s.readChannel(), 0);
    EXPECT_EQ(s.readFreq(), 2);
    EXPECT_EQ(s.readLastName(), h.file("face.MP3"));
    EXPECT_EQ(s.readMultiFileStatus(), 1);
    EXPECT_EQ(s.readShowSwitch(), 1);
    EXPECT_EQ(s.readVolume(), face.slider(skin::SliderId::Volume)->value());
}

// The MP3 window opens from its key (not under a recording), and the bit rate chosen there is
// the recorder's own from then on: closing the program keeps it instead of writing back the
// bit rate it had at start-up.
TEST(FrontFace, Mp3WindowsChoiceOutlivesTheCloseOrder) {
    FaceHarness h;
    ASSERT_TRUE(h.make());
    TestFace& face = h.face();
    h.click(ControlId::BTN_RECORD);
    h.click(ControlId::BTN_MUSICSET);
    h.run(300ms);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    h.click(ControlId::BTN_STOP);

    bool opened = false;
    whenOpen<Mp3Window>([&](Mp3Window* window) {
        opened = true;
        window->combo(ControlId::COMBO_BITRATE)->setCurrentIndex(13);
        QTest::mouseClick(window->button(ControlId::BTN_OK), Qt::LeftButton);
    });
    h.click(ControlId::BTN_MUSICSET);
    ASSERT_TRUE(h.waitFor([&] { return opened && !QApplication::activeModalWidget(); }, 5s));
    QSignalSpy closed(&face, &FrontFace::programClosed);
    h.click(ControlId::BTN_SYSCLOSE);
    ASSERT_TRUE(h.waitFor([&] { return closed.count() == 1; }, 15s));
    EXPECT_EQ(h.settings().readMp3Bitrate(), 13);
}

}  // namespace
}  // namespace orvel
