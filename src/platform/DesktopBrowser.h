#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ViewerLauncher.h"

namespace orvel::platform {

// A program and its arguments, started without a shell.
struct ViewerCommand {
    std::string program;
    std::vector<std::string> arguments;
    bool operator==(const ViewerCommand&) const = default;
};

// The desktop's default web browser as the HTML viewer. Its command comes from the desktop
// entry that `xdg-mime query default text/html` names, found in the applications folders of
// the XDG data folders, with the target put in place of the Exec line's file or URL field code
// (or appended when there is none); when no entry gives a command, or it cannot be started,
// from $BROWSER, whose first word is the program.
//
// A target that starts with "-" is refused: a viewer would read it as an option of its own.
//
// Thread contract: open() and commandsFor() are called on one thread at a time and wait for
// xdg-mime (up to seconds): not on the GUI thread. The parsers are pure and may run on any
// thread.
class DesktopBrowser : public ViewerLauncher {
public:
    // The desktop entry id of the default HTML viewer ("firefox-esr.desktop"), empty when none.
    using EntryQuery = std::function<std::string()>;

    // The query defaults to running xdg-mime (queryDefaultEntry).
    explicit DesktopBrowser(EntryQuery query = {});

    std::unique_ptr<ViewerProcess> open(const std::string& target) override;

    // The commands to try for the target, in order: the default entry's, then $BROWSER's.
    std::vector<ViewerCommand> commandsFor(const std::string& target) const;

    // Runs `xdg-mime query default text/html` (no shell, bounded in time); its first line.
    static std::string queryDefaultEntry();
    // $XDG_DATA_HOME/applications, then the applications folder of each $XDG_DATA_DIRS entry,
    // with the standard defaults for unset variables.
    static std::vector<std::string> applicationFolders();
    // The file of a desktop entry id in those folders: the first folder holding it wins; within
    // a folder an id "vendor-app.desktop" also names "vendor/app.desktop".
    static std::optional<std::string> findDesktopEntry(std::string_view id);
    // The Exec value of a desktop entry file's [Desktop Entry] group, with the string escapes
    // (\s \n \t \r \\) resolved.
    static std::optional<std::string> execValue(std::string_view entryText);
    // An Exec value split into program and arguments by its quoting rules, with %f %F %u %U
    // replaced by the target, "%%" by "%", and every other field code dropped. No command when
    // the value is empty or its quoting is broken.
    static std::optional<ViewerCommand> parseExec(std::string_view exec, const std::string& target);
    // $BROWSER's command: its first word is the program, further words are arguments, and the
    // target replaces "%s" in them or is appended.
    static std::optional<ViewerCommand> browserCommand(std::string_view browser,
                                                       const std::string& target);

private:
    EntryQuery m_query;
};

}  // namespace orvel::platform
