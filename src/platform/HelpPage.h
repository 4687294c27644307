#pragma once

#include <QUrl>
#include <string>

namespace orvel {

// The program's help page, index.html, installed in the data folder beside the program
// (<prefix>/share/orvel/help/ for <prefix>/bin/orvel). The help buttons open url() with the
// desktop's browser. A build tree holds a copy at the same place relative to its programs, so
// the page opens from a build too. Elsewhere the desktop's data folders are searched.
//
// Thread contract: stateless, any thread once the application object exists.
class HelpPage {
public:
    // The page's path relative to a data folder.
    static constexpr char kRelativePath[] = "orvel/help/index.html";

    // The page of the running program, or empty when none is installed.
    static std::string path();
    // The page beside a program in `programFolder` (<folder>/../share/...), when it is there.
    static std::string besideProgram(const std::string& programFolder);
    // A file URL of path(); invalid when there is no page.
    static QUrl url();
};

}  // namespace orvel
