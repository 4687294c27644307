#include "config/KeyNames.h"

#include <array>

namespace orvel::keys {

namespace {

struct KeyRow {
    int code;
    std::string_view name;
};

// In the table's own order; CodeOf() returns the first row of a name.
// clang-format off
constexpr std::array<KeyRow, kKeyCount> kKeys{{
    {8, "BACKSPACE"}, {9, "TAB"}, {12, "CLEAR"}, {13, "ENTER"},
    {16, "SHIFT"}, {17, "CTRL"}, {18, "ALT"}, {19, "PAUSE"}, {20, "CAPSLOCK"},
    {27, "ESC"},
    {32, "SPACEBAR"}, {33, "PAGEUP"}, {34, "PAGEDOWN"}, {35, "END"}, {36, "HOME"},
    {37, "LEFTARROW"}, {38, "UPARROW"}, {39, "RIGHTARROW"}, {40, "DOWNARROW"},
    {41, "SELECT"}, {42, "PRINT"}, {43, "EXECUTE"}, {44, "PRINTSCREEN"}, {45, "INS"},
    {46, "DEL"}, {47, "HELP"},
    {48, "0"}, {49, "1"}, {50, "2"}, {51, "3"}, {52, "4"}, {53, "5"}, {54, "6"}, {55, "7"},
    {56, "8"}, {57, "9"},
    {65, "A"}, {66, "B"}, {67, "C"}, {68, "D"}, {69, "E"}, {70, "F"}, {71, "G"}, {72, "H"},
    {73, "I"}, {74, "J"}, {75, "K"}, {76, "L"}, {77, "M"}, {78, "N"}, {79, "O"}, {80, "P"},
    {81, "Q"}, {82, "R"}, {83, "S"}, {84, "T"}, {85, "U"}, {86, "V"}, {87, "W"}, {88, "X"},
    {89, "Y"}, {90, "Z"},
    {95, "SLEEP"},
    {96, "NUMPAD0"}, {97, "NUMPAD1"}, {98, "NUMPAD2"}, {99, "NUMPAD3"}, {100, "NUMPAD4"},
    {101, "NUMPAD5"}, {102, "NUMPAD6"}, {103, "NUMPAD7"}, {104, "NUMPAD8"}, {105, "NUMPAD9"},
    {106, "MULTIPLY"}, {107, "ADD"}, {108, "SEPARATOR"}, {109, "SUBTRACT"}, {110, "DECIMAL"},
    {111, "DIVIDE"},
    {112, "F1"}, {113, "F2"}, {114, "F3"}, {115, "F4"}, {116, "F5"}, {117, "F6"},
    {118, "F7"}, {119, "F8"}, {120, "F9"}, {121, "F10"}, {122, "F11"}, {123, "F12"},
    {124, "F13"}, {125, "F14"}, {126, "F15"}, {127, "F16"}, {128, "F17"}, {129, "F18"},
    {130, "F19"}, {131, "F20"}, {132, "F21"}, {133, "F22"}, {134, "F23"}, {135, "F24"},
    {144, "NUMLOCK"}, {145, "SCROLLLOCK"},
    {160, "LEFTSHIFT"}, {161, "RIGHTSHIFT"}, {162, "LEFTCONTROL"}, {163, "RIGHTCONTROL"},
    {164, "LEFTMENU"}, {165, "RIGHTMENU"},
}};
// clang-format on

}  // namespace

std::string_view NameOf(int code) {
    for (const KeyRow& row : kKeys) {
        if (row.code == code) {
            return row.name;
        }
    }
    return {};
}

int CodeOf(std::string_view name) {
    for (const KeyRow& row : kKeys) {
        if (row.name == name) {
            return row.code;
        }
    }
    return 0;
}

int CodeAt(int row) {
    if (row < 0 || row >= kKeyCount) {
        return 0;
    }
    return kKeys[static_cast<std::size_t>(row)].code;
}

std::string SpellChord(int code, bool ctrl, bool shift, bool alt) {
    const std::string_view name = NameOf(code);
    if (name.empty()) {
        return {};
    }
    std::string chord;
    if (ctrl) {
        chord += "CTRL+";
    }
    if (shift) {
        chord += "SHIFT+";
    }
    if (alt) {
        chord += "ALT+";
    }
    chord += name;
    return chord;
}

}  // namespace orvel::keys
