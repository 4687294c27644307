#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

class SettingsStore;

// Small pieces shared by the headless recorder's commands.
//
// Thread contract: optionValue is a pure function (any thread); languageMessage reads the
// settings store and the language file (as SettingsStore).
namespace command {

// The value of the option at arguments[index]: after its "=" ("--volume=40"), or the next
// argument ("--volume 40", index then moves onto it). nullopt when there is none.
std::optional<std::string> optionValue(const std::vector<std::string>& arguments,
                                       std::size_t& index);

// The language table's message (both lines, as the recorder window shows them on one line).
std::string languageMessage(const SettingsStore& settings, std::string_view key);

// What the headless recorder tells when captured sound was lost: how much, and why.
std::string lostSoundText(std::uint64_t milliseconds);

}  // namespace command
}  // namespace orvel
