#include "config/HotKeyScript.h"

#include <gtest/gtest.h>

#include <vector>

#include "config/ControlNames.h"
#include "config/KeyNames.h"
#include "config/LanguageTable.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using Modifiers = HotKeyScript::Modifiers;
using Gesture = HotKeyScript::Gesture;
constexpr Modifiers kNone{};
constexpr Modifiers kCtrl{true, false, false};
constexpr Modifiers kCtrlShift{true, true, false};
constexpr Modifiers kCtrlAlt{true, false, true};
constexpr Modifiers kAll{true, true, true};

int key(std::string_view name) {
    return keys::CodeOf(name);
}

std::string script(const std::string& enable, const std::string& front) {
    return "<ORVELDOC><HOTKEYSCRIPT><ENABLEHOTKEY>" + enable + "</ENABLEHOTKEY><FRONTFACE>" +
           front + "</FRONTFACE></HOTKEYSCRIPT></ORVELDOC>";
}

// The built-in script: each name with its chords, in document order.
struct Binding {
    const char* name;
    const char* chords;
};
// clang-format off
constexpr Binding kFrontBindings[] = {
    {"BTN_STOP", "F5,ESC,CTRL+S"}, {"BTN_PAUSE", "F6,CTRL+U,PAGEDOWN"},
    {"BTN_PLAY", "F7,SPACEBAR,CTRL+P"}, {"BTN_RECORD", "F8,ENTER,CTRL+R"},
    {"BTN_EJECT", "F9,CTRL+E"}, {"BTN_CLOCKFILE", "CTRL+T"}, {"BTN_SIGNALFILE", "CTRL+V"},
    {"BTN_HELP", "CTRL+SHIFT+H"}, {"BTN_DETECT", "CTRL+SHIFT+C"},
    {"BTN_MUSICSET", "CTRL+SHIFT+M"}, {"BTN_SIGNALSET", "CTRL+SHIFT+V"},
    {"BTN_CLOCKSET", "CTRL+SHIFT+T"}, {"BTN_WMASET", "CTRL+SHIFT+A"},
    {"BTN_BACKGROUNDSET", "CTRL+SHIFT+B"}, {"BTN_NOISESETTING", "CTRL+SHIFT+N"},
    {"BTN_MULTIFILE", "SHIFT+M"}, {"BTN_TIMESTAMPEDFILE", "SHIFT+T"}, {"BTN_MP3FILE", "SHIFT+F"},
    {"BTN_WAVFILE", "SHIFT+W"}, {"BTN_WMAFILE", "SHIFT+A"}, {"BTN_BACKGROUNDENABLE", "SHIFT+B"},
    {"BTN_NOISEGATE", "SHIFT+G"}, {"BTN_LOWPASS", "SHIFT+L"}, {"BTN_HIGHPASS", "SHIFT+H"},
    {"BTN_AUDIT", "SHIFT+P"}, {"BTN_SHOWSWITCH", "SHIFT+I"}, {"BTN_STEREO", "CTRL+ALT+S"},
    {"BTN_MONO", "CTRL+ALT+M"}, {"BTN_16BIT", "CTRL+ALT+9"}, {"BTN_8BIT", "CTRL+ALT+8"},
    {"BTN_MINUTEINC", "CTRL+ALT+F1"}, {"BTN_MINUTEDEC", "CTRL+ALT+F2"},
    {"BTN_SECONDINC", "CTRL+ALT+F3"}, {"BTN_SECONDDEC", "CTRL+ALT+F4"},
    {"BTN_TIMEINC", "CTRL+ALT+I"}, {"BTN_TIMEDEC", "CTRL+ALT+D"}, {"BTN_TIMERESET", "CTRL+ALT+R"},
    {"BTN_RECORDINGCTRL", "CTRL+ALT+W"}, {"BTN_AUTODETECT", "CTRL+ALT+A"},
    {"BTN_CLOSEAUDIOBOX", "CTRL+ALT+C"}, {"BTN_DEVICE", "CTRL+ALT+S"}, {"BTN_SYSHELP", "CTRL+H"},
    {"BTN_SYSMIN", "CTRL+M"}, {"BTN_SYSTRAY", "CTRL+B"}, {"BTN_SYSCLOSE", "CTRL+C"},
    {"SLD_VOLUMEUP", "CTRL+UPARROW"}, {"SLD_VOLUMEDOWN", "CTRL+DOWNARROW"},
    {"SLD_FREQUENCYUP", "SHIFT+UPARROW"}, {"SLD_FREQUENCYDOWN", "SHIFT+DOWNARROW"},
    {"BTN_ARCHIVE", "CTRL+A"}, {"BTN_ARCHIVECLOSE", "CTRL+F"}, {"BTN_EDITID3TAG", "CTRL+E"},
};
constexpr Binding kBackBindings[] = {
    {"BTN_OK", "CTRL+SHIFT+ALT+O"}, {"BTN_CANCEL", "CTRL+SHIFT+ALT+C"},
    {"BTN_HELPBOOK", "CTRL+SHIFT+ALT+H"}, {"BTN_HOME", "CTRL+SHIFT+ALT+W"},
    {"BTN_DEFAULT", "CTRL+SHIFT+ALT+S"}, {"BTN_DELETE", "CTRL+SHIFT+ALT+R"},
    {"BTN_ADDTIME", "CTRL+SHIFT+ALT+A"},
};
// clang-format on

// The section's children, each as "name=chord", against the table's rows spelt out.
template <std::size_t N>
void expectSection(const HotKeyScript& hotKeys, std::string_view section,
                   const Binding (&bindings)[N]) {
    std::vector<std::string> expected;
    for (const Binding& binding : bindings) {
        std::string_view chords = binding.chords;
        for (std::size_t comma; (comma = chords.find(',')) != std::string_view::npos;
             chords.remove_prefix(comma + 1)) {
            expected.push_back(std::string(binding.name) + "=" +
                               std::string(chords.substr(0, comma)));
        }
        expected.push_back(std::string(binding.name) + "=" + std::string(chords));
        // Every bound name is a control of the name table or one of the eight gestures.
        const std::string_view name = binding.name;
        EXPECT_TRUE(HotKeyScript::IdOf(name) != 0 || name.rfind("SLD_", 0) == 0 ||
                    name.find("MINUTE") != std::string_view::npos ||
                    name.find("SECOND") != std::string_view::npos)
            << name;
    }
    const TagDocument& doc = hotKeys.Document();
    std::vector<std::string> actual;
    for (int i = 0; i < doc.CountChildren(section); ++i) {
        const auto child = doc.Child(section, i, 100);
        actual.push_back(child->name + "=" + child->content);
    }
    EXPECT_EQ(actual, expected) << section;
}

TEST(HotKeyScriptBuiltin, HoldsTheDefaultBindingsInOrder) {
    const HotKeyScript hotKeys;
    EXPECT_TRUE(hotKeys.Enabled());
    EXPECT_EQ(hotKeys.Document().FirstText("ENABLEHOTKEY", 100), "YES");
    expectSection(hotKeys, HotKeyScript::kFrontFace, kFrontBindings);
    expectSection(hotKeys, HotKeyScript::kBackFace, kBackBindings);
}

TEST(HotKeyScriptTooltips, AppendTheChordsOfTheControl) {
    const HotKeyScript hotKeys;
    const LanguageTable language;
    EXPECT_EQ(hotKeys.ControlTooltip(ControlId::BTN_STOP, language),
              "Stop - Hot Key :[F5,ESC,CTRL+S]");
    // Doubly bound chords still show on both names.
    EXPECT_EQ(hotKeys.ControlTooltip(ControlId::BTN_DEVICE, language),
              "Select audio capture device - Hot Key :[CTRL+ALT+S]");
    EXPECT_EQ(hotKeys.ControlTooltip(ControlId::BTN_EXIT, language), "Exit");
    EXPECT_EQ(hotKeys.ControlTooltip(ControlId{999}, language), std::nullopt);
    EXPECT_EQ(hotKeys.ControlTooltip(ControlId::kAutoConfigure, language), std::nullopt);
    EXPECT_EQ(hotKeys.ControlTooltip(ControlId{1002}, language), std::nullopt);

    EXPECT_EQ(hotKeys.AreaTooltip(HotKeyScript::FaceArea::Minute, language),
              "Click this area to change minute - Hot Key :[CTRL+ALT+F1 , CTRL+ALT+F2]");
    EXPECT_EQ(hotKeys.AreaTooltip(HotKeyScript::FaceArea::Volume, language),
              "Set Volume for recording - Hot Key :[CTRL+UPARROW , CTRL+DOWNARROW]");
}

TEST(HotKeyScriptTooltips, AreaSuffixNeedsBothChordLists) {
    HotKeyScript hotKeys;
    LanguageTable language;
    language.LoadText(
        "<AREA_SECOND>Sec</AREA_SECOND><AREA_FREQUENCY>Freq</AREA_FREQUENCY>"
        "<BTN_STOP>" +
        std::string(150, 's') + "</BTN_STOP>");
    hotKeys.LoadText(script("YES",
                            "<BTN_SECONDINC>F1</BTN_SECONDINC>"
                            "<SLD_FREQUENCYUP>F2</SLD_FREQUENCYUP>"
                            "<SLD_FREQUENCYDOWN>F3</SLD_FREQUENCYDOWN>"
                            "<SLD_FREQUENCYDOWN>F4</SLD_FREQUENCYDOWN>"
                            "<BTN_STOP>F5</BTN_STOP>"));
    EXPECT_EQ(hotKeys.AreaTooltip(HotKeyScript::FaceArea::Second, language), "Sec");
    EXPECT_EQ(hotKeys.AreaTooltip(HotKeyScript::FaceArea::Frequency, language),
              "Freq - Hot Key :[F2 , F3,F4]");
    // The language text is cut to 99 bytes before the chords are added.
    EXPECT_EQ(hotKeys.ControlTooltip(ControlId::BTN_STOP, language),
              std::string(99, 's') + " - Hot Key :[F5]");
}

TEST(HotKeyScriptEnable, OnlyExactlyNoDisables) {
    HotKeyScript hotKeys;
    const LanguageTable language;
    for (const std::string enable : {"no", "No", "", "NO!"}) {
        hotKeys.LoadText(script(enable, "<BTN_STOP>F5</BTN_STOP>"));
        EXPECT_TRUE(hotKeys.Enabled()) << enable;
        EXPECT_EQ(hotKeys.OnKeyDown(key("F5"), kNone, HotKeyScript::kFrontFace).name, "BTN_STOP");
    }
    hotKeys.LoadText("<FRONTFACE><BTN_STOP>F5</BTN_STOP></FRONTFACE>");
    EXPECT_TRUE(hotKeys.Enabled());

    // The element's text is cleaned like any other before it is compared.
    hotKeys.LoadText(script(" NO\n", "<BTN_STOP>F5</BTN_STOP><BTN_STOP>ESC</BTN_STOP>"));
    EXPECT_FALSE(hotKeys.Enabled());
    EXPECT_EQ(hotKeys.ChordsOf("BTN_STOP"), "");
    EXPECT_EQ(hotKeys.ControlTooltip(ControlId::BTN_STOP, language), "Stop");
    const HotKeyScript::KeyAction esc =
        hotKeys.OnKeyDown(keys::kEscape, kNone, HotKeyScript::kFrontFace);
    EXPECT_EQ(esc.gesture, Gesture::None);
    EXPECT_FALSE(esc.goOn);
}

TEST(HotKeyScriptKeys, DefaultScriptDecisions) {
    const HotKeyScript hotKeys;
    auto onKey = [&](int code, Modifiers held, std::string_view section) {
        return hotKeys.OnKeyDown(code, held, section);
    };
    const std::string_view front = HotKeyScript::kFrontFace;
    const std::string_view back = HotKeyScript::kBackFace;

    // Modifier keys alone do nothing, and every key but Enter and Escape goes on.
    for (int modifier : {keys::kCtrl, keys::kShift, keys::kAlt}) {
        const HotKeyScript::KeyAction action = onKey(modifier, kAll, front);
        EXPECT_EQ(action.gesture, Gesture::None);
        EXPECT_TRUE(action.goOn);
    }
    const HotKeyScript::KeyAction help = onKey(key("H"), kCtrlShift, front);
    EXPECT_EQ(help.gesture, Gesture::Click);
    EXPECT_EQ(help.name, "BTN_HELP");
    EXPECT_TRUE(help.goOn);

    EXPECT_EQ(onKey(key("O"), kAll, back).name, "BTN_OK");
    EXPECT_EQ(onKey(key("O"), kAll, front).name, "");
    EXPECT_EQ(onKey(key("F5"), kNone, back).name, "");

    const HotKeyScript::KeyAction enter = onKey(keys::kEnter, kNone, front);
    EXPECT_EQ(enter.name, "BTN_RECORD");
    EXPECT_FALSE(enter.goOn);
    EXPECT_FALSE(onKey(keys::kEscape, kNone, back).goOn);

    // Named but unbound, and outside the key table.
    EXPECT_EQ(onKey(key("F10"), kNone, front).gesture, Gesture::None);
    EXPECT_TRUE(onKey(key("F10"), kNone, front).goOn);
    EXPECT_EQ(onKey(173, kNone, front).gesture, Gesture::None);
    EXPECT_EQ(onKey(0, kCtrl, front).gesture, Gesture::None);

    // Doubly bound chords act as the first binding.
    EXPECT_EQ(onKey(key("E"), kCtrl, front).name, "BTN_EJECT");
    EXPECT_EQ(onKey(key("S"), kCtrlAlt, front).name, "BTN_STEREO");
}

TEST(HotKeyScriptKeys, GesturesSayHowToAct) {
    const HotKeyScript hotKeys;
    const std::string_view front = HotKeyScript::kFrontFace;
    const HotKeyScript::KeyAction up = hotKeys.OnKeyDown(key("UPARROW"), kCtrl, front);
    EXPECT_EQ(up.name, "SLD_VOLUMEUP");
    EXPECT_EQ(up.gesture, Gesture::VolumeUp);
    EXPECT_EQ(hotKeys.OnKeyDown(key("DOWNARROW"), {false, true, false}, front).gesture,
              Gesture::FrequencyDown);

    const HotKeyScript::KeyAction minute = hotKeys.OnKeyDown(key("F1"), kCtrlAlt, front);
    EXPECT_EQ(minute.name, "BTN_MINUTEINC");
    EXPECT_EQ(minute.gesture, Gesture::SelectField);
    EXPECT_EQ(minute.fieldPress.x, 28);
    EXPECT_EQ(minute.fieldPress.y, 80);
    EXPECT_EQ(minute.thenName, "BTN_TIMEINC");
    const HotKeyScript::KeyAction second = hotKeys.OnKeyDown(key("F4"), kCtrlAlt, front);
    EXPECT_EQ(second.fieldPress.x, 50);
    EXPECT_EQ(second.thenName, "BTN_TIMEDEC");

    // Half heights round toward zero: a thumb 7 high moves 3 beyond its edge.
    const HotKeyScript::Drag drag = HotKeyScript::SliderDrag({10, 20, 18, 27}, true);
    EXPECT_EQ(drag.press.x, 12);
    EXPECT_EQ(drag.press.y, 22);
    EXPECT_EQ(drag.move.y, 17);
    EXPECT_EQ(drag.release.y, 22);
    EXPECT_EQ(HotKeyScript::SliderDrag({10, 20, 18, 27}, false).move.y, 30);
}

TEST(HotKeyScriptKeys, ChordsMatchOnlyInTheirOwnOrderAndCase) {
    HotKeyScript hotKeys;
    hotKeys.LoadText(script("YES",
                            "<BTN_HELP>SHIFT+CTRL+H</BTN_HELP><BTN_PLAY>ctrl+p</BTN_PLAY>"
                            "<BTN_STOP> ALT+S </BTN_STOP><NO_SUCH>F2</NO_SUCH>"));
    const std::string_view front = HotKeyScript::kFrontFace;
    EXPECT_EQ(hotKeys.OnKeyDown(key("H"), kCtrlShift, front).name, "");
    EXPECT_EQ(hotKeys.OnKeyDown(key("P"), kCtrl, front).name, "");
    EXPECT_EQ(hotKeys.OnKeyDown(key("S"), {false, false, true}, front).name, "BTN_STOP");
    // A name the control table lacks comes back as a click that no control receives.
    EXPECT_EQ(hotKeys.OnKeyDown(key("F2"), kNone, front).name, "NO_SUCH");
    EXPECT_EQ(HotKeyScript::IdOf("NO_SUCH"), 0);
}

TEST(HotKeyScriptLoad, ReadsTheFolderFileOrFallsBack) {
    test::TempDir dir;
    HotKeyScript hotKeys;
    EXPECT_FALSE(hotKeys.Load(dir.path()));
    EXPECT_EQ(hotKeys.ChordsOf("BTN_STOP"), "F5,ESC,CTRL+S");

    dir.write("HotKey.XML", script("YES", "<BTN_STOP>F12</BTN_STOP>"));
    EXPECT_TRUE(hotKeys.Load(dir.path()));
    EXPECT_EQ(hotKeys.ChordsOf("BTN_STOP"), "F12");
    EXPECT_TRUE(hotKeys.Load(dir.path() + "/"));
    EXPECT_EQ(hotKeys.ControlFor(HotKeyScript::kFrontFace, "F12"), "BTN_STOP");

    // Chords of one name are cut to 99 bytes.
    std::string many;
    for (int i = 1; i <= 24; ++i) {
        many += "<BTN_PLAY>CTRL+F" + std::to_string(i) + "</BTN_PLAY>";
    }
    hotKeys.LoadText(script("YES", many));
    EXPECT_EQ(hotKeys.ChordsOf("BTN_PLAY").size(), 99u);
}

}  // namespace
}  // namespace orvel
