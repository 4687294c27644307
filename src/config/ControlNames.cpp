#include "config/ControlNames.h"

#include <array>

namespace orvel {

namespace {

// By id - kFirstId; an empty text marks an id without a control and is never a name. Two names
// for one id, or an id outside the table, fail the build (a name listed twice fails ControlId).
constexpr std::array<std::string_view, ControlNames::kCount> kNames = [] {
    std::array<std::string_view, ControlNames::kCount> names{};
    const auto place = [&names](int id, std::string_view name) {
        std::string_view& slot = names.at(static_cast<std::size_t>(id - ControlNames::kFirstId));
        if (!slot.empty()) {
            throw "two names for one id";
        }
        slot = name;
    };
#define ORVEL_CONTROL_NAME(id, name) place(id, #name);
    ORVEL_NAMED_CONTROLS(ORVEL_CONTROL_NAME)
#undef ORVEL_CONTROL_NAME
    return names;
}();

}  // namespace

std::optional<std::string_view> ControlNames::NameOf(int id) {
    if (id < kFirstId || id >= kFirstId + kCount) {
        return std::nullopt;
    }
    const std::string_view name = kNames[static_cast<std::size_t>(id - kFirstId)];
    if (name.empty()) {
        return std::nullopt;
    }
    return name;
}

int ControlNames::IdOf(std::string_view name) {
    if (name.empty()) {
        return 0;
    }
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (kNames[i] == name) {
            return kFirstId + static_cast<int>(i);
        }
    }
    return 0;
}

}  // namespace orvel
