#pragma once

#include "cli/RecorderArguments.h"

namespace orvel {

class CommandContext;

// `orvel-rec tags FILE [options]`: prints the tag of a recording, or rewrites the fields given
// and prints what the file then holds. An MP3 file (named ".mp3") keeps an ID3v1 tag, a WMA file
// (".wma") its attributes; a field the format cannot keep is told and left out. A file of
// another name, one that cannot be read, and anything but a plain file (a FIFO would wait for a
// writer for ever) are refused.
//
// Thread contract: called on the GUI thread of a QCoreApplication (as CommandContext).
class TagsCommand {
public:
    explicit TagsCommand(const CommandContext& context) : m_context(context) {}

    // Returns the exit status.
    int run(const TagArguments& arguments) const;

private:
    int rewrite(const TagArguments& arguments, bool mp3) const;

    const CommandContext& m_context;
};

}  // namespace orvel
