#include "config/KeyNames.h"

#include <gtest/gtest.h>

#include <QtCore/qnamespace.h>
#include <set>

#include "config/QtKeyMap.h"

namespace orvel::keys {
namespace {

TEST(KeyNames, TableHoldsEachKeyOnceInCodeOrder) {
    std::set<std::string_view> names;
    int previous = 0;
    for (int row = 0; row < kKeyCount; ++row) {
        const int code = CodeAt(row);
        EXPECT_GT(code, previous) << row;
        previous = code;
        const std::string_view name = NameOf(code);
        EXPECT_FALSE(name.empty()) << code;
        EXPECT_TRUE(names.insert(name).second) << name;
        EXPECT_EQ(CodeOf(name), code) << name;
    }
    EXPECT_EQ(CodeAt(kKeyCount), 0);
    EXPECT_EQ(CodeAt(-1), 0);
}

TEST(KeyNames, NamesTheTableKeysOnly) {
    const std::pair<int, std::string_view> known[] = {
        {8, "BACKSPACE"},    {12, "CLEAR"},      {20, "CAPSLOCK"},    {27, "ESC"},
        {32, "SPACEBAR"},    {40, "DOWNARROW"},  {44, "PRINTSCREEN"}, {47, "HELP"},
        {48, "0"},           {90, "Z"},          {95, "SLEEP"},       {105, "NUMPAD9"},
        {108, "SEPARATOR"},  {111, "DIVIDE"},    {121, "F10"},        {135, "F24"},
        {145, "SCROLLLOCK"}, {160, "LEFTSHIFT"}, {165, "RIGHTMENU"},
    };
    for (const auto& [code, name] : known) {
        EXPECT_EQ(NameOf(code), name);
    }
    for (int code : {0, -1, 1, 10, 28, 58, 64, 91, 93, 136, 143, 146, 166, 173, 255, 1000}) {
        EXPECT_EQ(NameOf(code), "") << code;
    }
    EXPECT_EQ(CodeOf("esc"), 0);
    EXPECT_EQ(CodeOf(""), 0);
}

TEST(KeyNames, ChordsSpellModifiersInFixedOrder) {
    EXPECT_EQ(SpellChord(79, true, true, true), "CTRL+SHIFT+ALT+O");
    EXPECT_EQ(SpellChord(79, false, true, true), "SHIFT+ALT+O");
    EXPECT_EQ(SpellChord(116, false, false, false), "F5");
    EXPECT_EQ(SpellChord(173, true, false, false), "");
}

TEST(QtKeyMap, KeypadKeysHaveCodesOfTheirOwn) {
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_0, true)), "NUMPAD0");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_7, true)), "NUMPAD7");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_7, false)), "7");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Asterisk, true)), "MULTIPLY");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Plus, true)), "ADD");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Minus, true)), "SUBTRACT");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Period, true)), "DECIMAL");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Slash, true)), "DIVIDE");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Enter, true)), "ENTER");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Return, false)), "ENTER");
    // With Num Lock off the keypad sends navigation keys, which keep their own names.
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Home, true)), "HOME");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Clear, true)), "CLEAR");
    // The same symbols on the main keyboard have no key-table name.
    EXPECT_EQ(CodeOfQtKey(Qt::Key_Plus, false), 0);
    EXPECT_EQ(CodeOfQtKey(Qt::Key_Slash, false), 0);
}

TEST(QtKeyMap, MapsTheMainKeys) {
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Z, false)), "Z");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_F24, false)), "F24");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Up, false)), "UPARROW");
    // Qt reports Shift+Tab as a key of its own, and Print Screen as Key_Print.
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Backtab, false)), "TAB");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Print, false)), "PRINTSCREEN");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Printer, false)), "PRINT");
    EXPECT_EQ(NameOf(CodeOfQtKey(Qt::Key_Control, false)), "CTRL");
    for (int qtKey : {int(Qt::Key_Meta), int(Qt::Key_Super_L), int(Qt::Key_VolumeUp),
                      int(Qt::Key_MediaPlay), int(Qt::Key_F25), int(Qt::Key_unknown), 0}) {
        EXPECT_EQ(CodeOfQtKey(qtKey, false), 0) << qtKey;
    }
}

}  // namespace
}  // namespace orvel::keys
