#pragma once

// Maps the keys that Qt reports (Qt::Key, plus whether the key event carries the keypad
// modifier) to the codes of the hot-key key table (config/KeyNames.h). Keys the table does not
// name map to 0. Qt's Meta key is not Ctrl, and Qt does not tell left from right Shift,
// Control or Alt, so those six table rows are never produced.
//
// Thread contract: any thread (constant tables only).
namespace orvel::keys {

int CodeOfQtKey(int qtKey, bool keypad);

}  // namespace orvel::keys
