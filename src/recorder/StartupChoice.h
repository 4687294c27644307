#pragma once

#include <string>

namespace orvel {

// The first-run window's logic: two exclusive choices (configure the recording line
// automatically, or not) and the result it closes with. The window only draws it and forwards
// presses.
//
// Thread contract: a plain value, any thread.
class StartupChoice {
public:
    enum Result : int { Exit = 0, ContinueAutomatic = 1, ContinueManual = 2 };

    // The version text the window shows.
    static std::string versionText();

    // A choice pressed while off turns on and the other off; pressed while on, nothing happens.
    void pressAutomatic() { m_automatic = true; }
    void pressManual() { m_automatic = false; }
    bool automatic() const { return m_automatic; }

    // Continue: 1 with the first choice on, else 2. Exit and every other way of closing: 0.
    Result continuePressed() const { return m_automatic ? ContinueAutomatic : ContinueManual; }
    static Result closed() { return Exit; }

private:
    bool m_automatic = true;
};

}  // namespace orvel
