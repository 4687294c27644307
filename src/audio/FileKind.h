#pragma once

#include <string>

// What a path names, found without opening it: opening a FIFO for reading waits until a writer
// comes (for ever if none does), and a device may never end. Sound, background and tag files
// are checked with it before they are opened.
//
// Thread contract: pure functions, any thread.
namespace orvel::file {

enum class Kind {
    Regular,  // a plain file (or a link to one)
    Missing,  // nothing at the path, or a part of it cannot be searched
    Folder,
    Special,  // a FIFO, a socket or a device
};

Kind kindOf(const std::string& path);
// Why a path of that kind cannot be read as a file ("is a FIFO, a socket or a device"); empty
// for a regular file.
std::string kindProblem(Kind kind);

}  // namespace orvel::file
