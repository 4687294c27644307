#pragma once

#include <string>
#include <string_view>

// The check a folder typed or chosen for recordings must pass, the creation of a missing one
// and the three fixed messages of the folder dialog.
//
// A valid folder is an absolute path: "/" alone, or "/" followed by components separated by
// single "/", without a "/" at the end. No component starts or ends with a blank, a tab or a
// ".", and none contains any of " * : < > ? \ | (names the recorder's files must be able to
// carry to other systems).
//
// Thread contract: pure functions and self-contained file-system calls, any thread.
namespace orvel {

class FolderCheck {
public:
    enum class Verdict { Invalid, Exists, Missing };

    static bool isValid(std::string_view folder);
    // Invalid, or whether a valid folder exists (a file of that name counts as missing: it
    // cannot be created and says so).
    static Verdict check(std::string_view folder);
    // Creates the folder and every missing one above it, from the root down. True when the
    // folder exists afterwards.
    static bool create(std::string_view folder);

    static std::string invalidMessage(std::string_view folder);
    static std::string missingQuestion(std::string_view folder);
    static std::string notCreatedMessage(std::string_view folder);
};

}  // namespace orvel
