#include "platform/ViewerProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QLoggingCategory>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>

extern char** environ;

Q_LOGGING_CATEGORY(lcViewer, "orvel.viewer")

namespace orvel::platform {

namespace {

// Spawn settings released however start() leaves.
class SpawnSettings {
public:
    SpawnSettings() {
        m_ok = posix_spawn_file_actions_init(&m_actions) == 0;
        m_ok = posix_spawnattr_init(&m_attributes) == 0 && m_ok;
    }
    ~SpawnSettings() {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSettings(const SpawnSettings&) = delete;
    SpawnSettings& operator=(const SpawnSettings&) = delete;

    bool prepare() {
        if (!m_ok) {
            return false;
        }
        sigset_t none;
        sigemptyset(&none);
        sigset_t all;
        sigfillset(&all);
        sigdelset(&all, SIGKILL);
        sigdelset(&all, SIGSTOP);
        return posix_spawn_file_actions_addopen(&m_actions, STDIN_FILENO, "/dev/null", O_RDONLY,
                                                0) == 0 &&
               posix_spawn_file_actions_addclosefrom_np(&m_actions, STDERR_FILENO + 1) == 0 &&
               posix_spawnattr_setsigmask(&m_attributes, &none) == 0 &&
               posix_spawnattr_setsigdefault(&m_attributes, &all) == 0 &&
               posix_spawnattr_setpgroup(&m_attributes, 0) == 0 &&
               posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSIGMASK |
                                                           POSIX_SPAWN_SETSIGDEF |
                                                           POSIX_SPAWN_SETPGROUP) == 0;
    }

    const posix_spawn_file_actions_t* actions() const { return &m_actions; }
    const posix_spawnattr_t* attributes() const { return &m_attributes; }

private:
    bool m_ok = false;
    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
};

// Waits for the process, retrying when a signal interrupts. Returns whether it was collected.
bool collect(pid_t pid, int flags) {
    for (;;) {
        const pid_t result = waitpid(pid, nullptr, flags);
        if (result == pid) {
            return true;
        }
        if (result == 0) {
            return false;
        }
        if (errno != EINTR) {
            return errno == ECHILD;  // someone else collected it: it is gone either way
        }
    }
}

void signalGroup(pid_t pid, int signal) {
    if (kill(-pid, signal) != 0) {
        kill(pid, signal);
    }
}

}  // namespace

std::unique_ptr<ViewerProcess> ViewerProcess::start(const std::string& program,
                                                    const std::vector<std::string>& arguments) {
    if (program.empty()) {
        return nullptr;
    }
    SpawnSettings settings;
    if (!settings.prepare()) {
        qCWarning(lcViewer) << "cannot prepare the viewer's start";
        return nullptr;
    }
    std::vector<std::string> texts;
    texts.reserve(arguments.size() + 1);
    texts.push_back(program);
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(texts.size() + 1);
    for (std::string& text : texts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int error = posix_spawnp(&pid, program.c_str(), settings.actions(), settings.attributes(),
                                   argv.data(), environ);
    if (error != 0) {
        qCWarning(lcViewer) << "cannot start" << program.c_str() << ":" << std::strerror(error);
        return nullptr;
    }
    return std::unique_ptr<ViewerProcess>(new ViewerProcess(pid));
}

ViewerProcess::~ViewerProcess() {
    end();
}

bool ViewerProcess::isRunning() const {
    if (m_collected) {
        return false;
    }
    siginfo_t info;
    std::memset(&info, 0, sizeof info);
    if (waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
        return false;
    }
    return info.si_pid == 0;
}

void ViewerProcess::end(std::chrono::milliseconds grace) {
    if (m_collected) {
        return;
    }
    signalGroup(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (!(m_collected = collect(m_pid, WNOHANG))) {
        if (std::chrono::steady_clock::now() >= deadline) {
            qCWarning(lcViewer) << "viewer" << m_pid << "did not end in time: killed";
            signalGroup(m_pid, SIGKILL);
            m_collected = collect(m_pid, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // The rest of the group may outlive its leader's SIGTERM for a moment; it has been told.
    m_collected = true;
}

}  // namespace orvel::platform
