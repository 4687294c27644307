#include "platform/ViewerProcess.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <csignal>
#include <fstream>
#include <sstream>

#include "StandIn.h"

namespace orvel::platform {
namespace {

using namespace std::chrono_literals;
using test::publish;
using test::waitForFile;
using test::writeScript;

// Whether a process still runs: it exists and is not a zombie waiting for its parent.
bool alive(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return false;
    }
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

bool gone(int pid) {
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (alive(pid)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

TEST(ViewerProcess, StartsWithExactArgumentsAndEndsOnRequest) {
    test::TempDir dir;
    const std::string viewer = writeScript(
        dir, "viewer", publish(dir, "printf '%s\\n' \"$@\"", "args") + "exec sleep 60\n");
    // No shell reads the arguments: blanks, quotes and shell syntax arrive unchanged.
    auto process = ViewerProcess::start(viewer, {"--new", "a b", "$(touch x)'\";|&", ""});
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(waitForFile(dir.file("args")), "--new\na b\n$(touch x)'\";|&\n\n");
    EXPECT_TRUE(process->isRunning());

    const int pid = process->pid();
    const auto before = std::chrono::steady_clock::now();
    process->end();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 900ms);  // SIGTERM sufficed
    EXPECT_FALSE(process->isRunning());
    EXPECT_FALSE(alive(pid));
    process->end();  // a second end does nothing
}

TEST(ViewerProcess, GetsNoHandleOfTheRecorderBeyondStandardOutput) {
    test::TempDir dir;
    // A descriptor left inheritable on purpose, at a number nothing else uses.
    const int opened = open("/dev/null", O_RDONLY);
    const int leaked = dup2(opened, 57);
    close(opened);
    ASSERT_EQ(leaked, 57);
    const std::string viewer =
        writeScript(dir, "viewer",
                    publish(dir, "readlink /proc/self/fd/0", "stdin") +
                        publish(dir, "ls -1 /proc/self/fd", "fds") + "exec sleep 60\n");
    auto process = ViewerProcess::start(viewer, {});
    ASSERT_NE(process, nullptr);
    const std::string fds = waitForFile(dir.file("fds"));
    close(leaked);
    EXPECT_EQ(dir.read("stdin"), "/dev/null\n");
    // ls sees its standard streams and the folder it lists, nothing inherited.
    std::istringstream lines(fds);
    std::string fd;
    int count = 0;
    while (std::getline(lines, fd)) {
        EXPECT_NE(fd, "57");
        ++count;
    }
    EXPECT_LE(count, 4);
    EXPECT_GE(count, 3);
}

TEST(ViewerProcess, EndReachesTheWholeGroupAndKillsWhatIgnoresTheRequest) {
    test::TempDir dir;
    // A viewer that leaves a helper behind in its group.
    const std::string parent =
        writeScript(dir, "parent", "sleep 60 &\n" + publish(dir, "echo $!", "child") + "wait\n");
    auto process = ViewerProcess::start(parent, {});
    ASSERT_NE(process, nullptr);
    const int child = std::stoi("0" + waitForFile(dir.file("child")));
    ASSERT_GT(child, 0);
    EXPECT_TRUE(alive(child));
    process->end();
    EXPECT_TRUE(gone(child));

    // A viewer that ignores SIGTERM is killed after the grace time.
    const std::string stubborn = writeScript(dir, "stubborn",
                                             "trap '' TERM\necho ready > '" + dir.file("ready") +
                                                 "'\n"
                                                 "while :; do sleep 1; done\n");
    process = ViewerProcess::start(stubborn, {});
    ASSERT_NE(process, nullptr);
    ASSERT_FALSE(waitForFile(dir.file("ready")).empty());
    const int pid = process->pid();
    const auto before = std::chrono::steady_clock::now();
    process->end(200ms);
    const auto took = std::chrono::steady_clock::now() - before;
    EXPECT_GE(took, 200ms);
    EXPECT_LT(took, 2s);
    EXPECT_FALSE(alive(pid));
}

TEST(ViewerProcess, ProgramsThatCannotStartGiveNoProcess) {
    test::TempDir dir;
    EXPECT_EQ(ViewerProcess::start("orvel-no-such-viewer", {"x"}), nullptr);
    EXPECT_EQ(ViewerProcess::start(dir.file("missing"), {}), nullptr);
    EXPECT_EQ(ViewerProcess::start("", {}), nullptr);
    dir.write("plain", "not a program");
    EXPECT_EQ(ViewerProcess::start(dir.file("plain"), {}), nullptr);
}

TEST(ViewerProcess, AViewerThatLeftByItselfIsNoticed) {
    test::TempDir dir;
    auto process = ViewerProcess::start(writeScript(dir, "quick", "exit 0\n"), {});
    ASSERT_NE(process, nullptr);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (process->isRunning() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_FALSE(process->isRunning());
    const auto before = std::chrono::steady_clock::now();
    process.reset();  // ending an ended viewer does not wait for the grace time
    EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms);
}

}  // namespace
}  // namespace orvel::platform
