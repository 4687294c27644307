#include "platform/DesktopBrowser.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "ScopedEnv.h"
#include "StandIn.h"

namespace orvel::platform {
namespace {

using test::waitForFile;
using test::writeScript;

const std::string kTarget = "/tmp/page with blank \"and quote\".htm";

ViewerCommand command(std::string program, std::vector<std::string> arguments) {
    return ViewerCommand{std::move(program), std::move(arguments)};
}

TEST(DesktopBrowserExec, FieldCodesAndQuoting) {
    const auto parse = [](std::string_view exec) {
        return DesktopBrowser::parseExec(exec, kTarget);
    };
    EXPECT_EQ(parse("firefox %u"), command("firefox", {kTarget}));
    EXPECT_EQ(parse("/usr/bin/chromium --new-window %U"),
              command("/usr/bin/chromium", {"--new-window", kTarget}));
    EXPECT_EQ(parse("viewer %F"), command("viewer", {kTarget}));
    EXPECT_EQ(parse("viewer  --file=%f  "), command("viewer", {"--file=" + kTarget}));
    // Codes the viewer needs nothing for are dropped with their word.
    EXPECT_EQ(parse("viewer %i --name %c %k %u"), command("viewer", {"--name", kTarget}));
    // "%%" is a percent sign, and a value without a file code gets the target appended.
    EXPECT_EQ(parse("viewer --zoom=100%% %%u"), command("viewer", {"--zoom=100%", "%u", kTarget}));
    EXPECT_EQ(parse("viewer"), command("viewer", {kTarget}));
    // Quoted words keep their blanks; inside double quotes a backslash escapes.
    EXPECT_EQ(parse("\"/opt/My Browser/run\" \"say \\\"hi\\\" \\$HOME\" 'a b' %u"),
              command("/opt/My Browser/run", {"say \"hi\" $HOME", "a b", kTarget}));
    EXPECT_EQ(parse("viewer \"\" %u"), command("viewer", {"", kTarget}));

    EXPECT_EQ(parse(""), std::nullopt);
    EXPECT_EQ(parse("   "), std::nullopt);
    EXPECT_EQ(parse("%i %u"), std::nullopt);  // the program never comes from a field code
    EXPECT_EQ(parse("%u"), std::nullopt);
    EXPECT_EQ(parse("\"unterminated %u"), std::nullopt);
}

TEST(DesktopBrowserExec, ExecValueComesFromTheMainGroup) {
    const std::string entry =
        "# a comment\n"
        "[Desktop Action new-window]\n"
        "Exec=wrong --window %u\n"
        "[Desktop Entry]\r\n"
        "Name=Browser\r\n"
        "Exec[de]=falsch %u\n"
        "Exec = /opt/b\\sc/run \\\\x %u\r\n"
        "Exec=second\n";
    EXPECT_EQ(DesktopBrowser::execValue(entry), "/opt/b c/run \\x %u");
    EXPECT_EQ(DesktopBrowser::execValue("[Desktop Entry]\nName=x\n"), std::nullopt);
    EXPECT_EQ(DesktopBrowser::execValue("Exec=outside %u\n"), std::nullopt);
}

TEST(DesktopBrowserExec, BrowserVariable) {
    EXPECT_EQ(DesktopBrowser::browserCommand("  lynx ", kTarget), command("lynx", {kTarget}));
    EXPECT_EQ(DesktopBrowser::browserCommand("w3m -o x=1", kTarget),
              command("w3m", {"-o", "x=1", kTarget}));
    EXPECT_EQ(DesktopBrowser::browserCommand("open --url=%s", "%s"), command("open", {"--url=%s"}));
    EXPECT_EQ(DesktopBrowser::browserCommand(" \t", kTarget), std::nullopt);
}

// Private XDG data and config folders holding the test's desktop entries.
class DesktopBrowserTest : public ::testing::Test {
protected:
    DesktopBrowserTest() {
        env.set("XDG_DATA_DIRS", dir.file("system") + ":relative/ignored:" + dir.file("vendor"));
        env.unset("BROWSER");
        for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                 "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID",
                                 "XDG_MENU_PREFIX", "DISPLAY", "WAYLAND_DISPLAY"}) {
            env.unset(name);
        }
    }

    void entry(const std::string& folder, const std::string& path, const std::string& exec) {
        const QString file = QString::fromStdString(dir.file(folder + "/applications/" + path));
        QDir().mkpath(QFileInfo(file).absolutePath());
        dir.write(folder + "/applications/" + path,
                  "[Desktop Entry]\nType=Application\nName=Stand-in\nExec=" + exec + "\n");
    }

    // A viewer that records its arguments and waits to be ended.
    std::string recordingViewer(const std::string& name) {
        return writeScript(
            dir, name,
            test::publish(dir, "printf '%s\\n' \"$@\"", name + ".args") + "exec sleep 60\n");
    }

    test::TempDir dir{test::TempDir::Xdg::Redirect};
    test::ScopedEnv env;
};

TEST_F(DesktopBrowserTest, EntriesAreFoundInTheDataFoldersInOrder) {
    entry("data", "browser.desktop", "user-browser %u");
    entry("system", "browser.desktop", "system-browser %u");
    entry("system", "other.desktop", "other %u");
    entry("vendor", "acme/web-view.desktop", "acme %u");
    EXPECT_EQ(DesktopBrowser::findDesktopEntry("browser.desktop"),
              dir.file("data/applications/browser.desktop"));
    EXPECT_EQ(DesktopBrowser::findDesktopEntry("other.desktop"),
              dir.file("system/applications/other.desktop"));
    // An id joins subfolders with "-".
    EXPECT_EQ(DesktopBrowser::findDesktopEntry("acme-web-view.desktop"),
              dir.file("vendor/applications/acme/web-view.desktop"));
    EXPECT_EQ(DesktopBrowser::findDesktopEntry("missing.desktop"), std::nullopt);
    EXPECT_EQ(DesktopBrowser::findDesktopEntry("../data/applications/browser.desktop"),
              std::nullopt);
    EXPECT_EQ(DesktopBrowser::findDesktopEntry(""), std::nullopt);

    const std::vector<std::string> folders = DesktopBrowser::applicationFolders();
    const std::vector<std::string> expected = {dir.file("data/applications"),
                                               dir.file("system/applications"),
                                               dir.file("vendor/applications")};
    EXPECT_EQ(folders, expected);
}

TEST_F(DesktopBrowserTest, CommandsComeFromTheEntryThenFromBrowserVariable) {
    entry("data", "standin.desktop", "standin --new %u");
    env.set("BROWSER", "fallback --tab");
    DesktopBrowser browser([] { return std::string("standin.desktop"); });
    const std::vector<ViewerCommand> expected = {command("standin", {"--new", kTarget}),
                                                 command("fallback", {"--tab", kTarget})};
    EXPECT_EQ(browser.commandsFor(kTarget), expected);

    DesktopBrowser unknown([] { return std::string("nowhere.desktop"); });
    EXPECT_EQ(unknown.commandsFor(kTarget),
              std::vector<ViewerCommand>{command("fallback", {"--tab", kTarget})});
    env.unset("BROWSER");
    EXPECT_TRUE(unknown.commandsFor(kTarget).empty());
    EXPECT_EQ(unknown.open(kTarget), nullptr);
}

TEST_F(DesktopBrowserTest, AnEntryThatCannotStartFallsBackToBrowserVariable) {
    entry("data", "broken.desktop", dir.file("no-such-program") + " %u");
    env.set("BROWSER", recordingViewer("fallback"));
    DesktopBrowser browser([] { return std::string("broken.desktop"); });
    auto viewer = browser.open("https://radio.example/");
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(waitForFile(dir.file("fallback.args")), "https://radio.example/\n");
    viewer->end();
}

TEST_F(DesktopBrowserTest, TargetsThatReadAsOptionsAreRefused) {
    env.set("BROWSER", recordingViewer("viewer"));
    DesktopBrowser browser([] { return std::string(); });
    EXPECT_EQ(browser.open("--remote-debugging-port=1"), nullptr);
    EXPECT_EQ(browser.open(""), nullptr);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("viewer.args"))));
}

TEST_F(DesktopBrowserTest, TheDesktopsDefaultViewerOpensThePage) {
    // xdg-mime itself reads the default from mimeapps.list in the private config folder.
    const std::string viewer = recordingViewer("standin");
    entry("data", "orvel-standin.desktop", viewer + " --new-window %u");
    dir.write("config/mimeapps.list", "[Default Applications]\ntext/html=orvel-standin.desktop\n");
    ASSERT_EQ(DesktopBrowser::queryDefaultEntry(), "orvel-standin.desktop");

    DesktopBrowser browser;
    auto process = browser.open(kTarget);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(waitForFile(dir.file("standin.args")), "--new-window\n" + kTarget + "\n");
    EXPECT_TRUE(process->isRunning());
    process->end();
    EXPECT_FALSE(process->isRunning());
}

}  // namespace
}  // namespace orvel::platform
