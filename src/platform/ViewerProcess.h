#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace orvel::platform {

// A viewer program the recorder started (the HTML viewer of a schedule item's streaming URL),
// held so that it can be ended when its time is over.
//
// The program is started directly, never through a shell: the arguments reach it exactly as
// given. It gets standard input from /dev/null, the recorder's standard output and error, no
// other open file of the recorder, default signal handling, and a process group of its own,
// so that ending it also ends the helper processes it started in that group. A viewer that
// handed its work to an already running instance and left ends nothing of that instance.
//
// Thread contract: used by one thread at a time, which may change hands; end() (and the
// destructor) wait at most the grace time plus the moment a killed process needs to go, so the
// schedule ends viewers on a worker thread.
class ViewerProcess {
public:
    static constexpr std::chrono::milliseconds kDefaultGrace{1000};

    // Starts program (searched in PATH when it holds no "/") with the arguments; null when it
    // could not be started.
    static std::unique_ptr<ViewerProcess> start(const std::string& program,
                                                const std::vector<std::string>& arguments);

    ~ViewerProcess();  // ends the process when it has not been ended
    ViewerProcess(const ViewerProcess&) = delete;
    ViewerProcess& operator=(const ViewerProcess&) = delete;

    int pid() const { return m_pid; }
    // Whether the started process has not ended yet (its end is noticed, not collected, so
    // that end() can still reach the rest of its group).
    bool isRunning() const;
    // Asks the process group to end (SIGTERM), waits up to grace for the process, then kills
    // the group (SIGKILL); the process is collected either way. Later calls do nothing.
    void end(std::chrono::milliseconds grace = kDefaultGrace);

private:
    explicit ViewerProcess(int pid) : m_pid(pid) {}

    int m_pid;
    bool m_collected = false;
};

}  // namespace orvel::platform
