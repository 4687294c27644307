#pragma once

#include <optional>
#include <string_view>

#include "config/ControlId.h"

// The names that tie a control's window id, its tooltip in the language file and its key
// chords in the hot-key script together, made from the list of ControlId. Entry i of the table
// is the control whose id is kFirstId + i; ids that have no control in the recorder, and the
// recorder's own controls beyond the table, have no name.
//
// Thread contract: immutable table, any thread.
namespace orvel {

class ControlNames {
public:
    static constexpr int kFirstId = 1000;
    static constexpr int kCount = 184;

    // The name of the control with this id, or none for an id outside kFirstId..kFirstId +
    // kCount - 1 and for the ids without a control.
    static std::optional<std::string_view> NameOf(int id);
    static std::optional<std::string_view> NameOf(ControlId id) {
        return NameOf(static_cast<int>(id));
    }
    // The id of the first entry equal to the name (exact, case-sensitive), or 0 when none is.
    static int IdOf(std::string_view name);
};

}  // namespace orvel
