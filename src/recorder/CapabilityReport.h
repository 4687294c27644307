#pragma once

#include <functional>
#include <string>

namespace orvel {

// The report written when a recording's format is refused: which of the 36 format codes the
// capture side accepts, as a text the desktop opens for the user.
//
// Thread contract: pure functions (write touches only its file), any thread.
class CapabilityReport {
public:
    static constexpr char kFileName[] = "OrvelAbility.txt";

    // Whether the capture side accepts a format code (rate index x 4 + 2 for stereo + 1 for 16
    // bits).
    using Accepts = std::function<bool(int formatCode)>;

    static std::string text(const Accepts& accepts);
    // Writes the text into the folder; the file's path, empty when it could not be written.
    static std::string write(const std::string& folder, const Accepts& accepts);
};

}  // namespace orvel
