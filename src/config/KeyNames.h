#pragma once

#include <string>
#include <string_view>

// The names under which keys are written in hot-key chords, keyed by the virtual-key codes of
// the recorder's key table (111 keys; for example 13 "ENTER", 65 "A", 112 "F1"). A key whose
// code is not in the table has no name and cannot be bound.
//
// Thread contract: any thread (constant tables only).
namespace orvel::keys {

inline constexpr int kBackspace = 8;
inline constexpr int kEnter = 13;
inline constexpr int kShift = 16;
inline constexpr int kCtrl = 17;
inline constexpr int kAlt = 18;
inline constexpr int kEscape = 27;

// Number of rows in the key table.
inline constexpr int kKeyCount = 111;

// The name of a key code, empty when the code has none.
std::string_view NameOf(int code);

// The code of a key name (exact, upper case), 0 when no key bears it.
int CodeOf(std::string_view name);

// The key of row i (0..kKeyCount-1) of the table, in the table's order; 0 outside.
int CodeAt(int row);

// The chord held when the key goes down: "CTRL+" when Ctrl is down, then "SHIFT+", then
// "ALT+", then the key's name. Empty when the key has no name.
std::string SpellChord(int code, bool ctrl, bool shift, bool alt);

}  // namespace orvel::keys
