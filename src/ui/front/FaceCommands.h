#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "config/ControlId.h"

// The front face's commands, one per control: what the control does, its name, and what its
// button shows (enabled, latched). Every way of giving a control's command ends here: the
// button's clicks (the user's own, and the clicks posted for the hot keys and the command
// line's presses, which a button that is disabled or hidden by then does not take) and the
// menus' entries that stand for the control (FaceMenu), which run the command whatever the
// button shows.
//
// The table keeps the controls' states and hands each change to the face, which shows it on
// the control's button; it holds no widgets. Commands are bound while the face is built, before
// anything is shown.
//
// Thread contract: GUI thread only.
namespace orvel {

struct FaceState;

class FaceCommands {
public:
    struct Command {
        ControlId control = ControlId::BTN_RECORD;
        std::string_view name;  // the control's name; empty for the controls without one
        std::function<void()> run;
        bool enabled = true;
        bool latched = false;
    };
    using Shown = std::function<void(const Command&)>;

    // Called with a control's command each time its state changes.
    void setShown(Shown shown) { m_shown = std::move(shown); }

    // The control's command; binding a control again replaces it.
    void bind(ControlId control, std::function<void()> run);
    // Runs the control's command now; false when the control has none.
    bool run(ControlId control) const;

    const Command* find(ControlId control) const;
    const std::vector<Command>& commands() const { return m_commands; }

    // A control without a command keeps no state: these ignore it.
    void setEnabled(ControlId control, bool enabled);
    void setLatched(ControlId control, bool latched);
    bool latched(ControlId control) const;

    // What the controller's state means for the controls: the keys that are down and those
    // that take no press now.
    void show(const FaceState& state);

private:
    void change(ControlId control, bool Command::*flag, bool value);

    std::vector<Command> m_commands;
    Shown m_shown;
};

}  // namespace orvel
