#include "platform/StopSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QLoggingCategory>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>

Q_LOGGING_CATEGORY(lcSignals, "orvel.app.signals")

namespace orvel {

namespace {

// The pipe of the one live instance: [0] read by the event loop, [1] written by the handler.
std::atomic<int> g_writeEnd{-1};
int g_pipe[2] = {-1, -1};
std::atomic<bool> g_inUse{false};
// Signals received and not yet taken from the pipe by the event loop, one bit per number.
std::atomic<std::uint64_t> g_pending{0};

std::uint64_t bitOf(int signalNumber) {
    return signalNumber > 0 && signalNumber < 64 ? std::uint64_t{1} << signalNumber : 0;
}

extern "C" void onStopSignal(int signalNumber) {
    const int savedErrno = errno;
    const std::uint64_t bit = bitOf(signalNumber);
    if (bit != 0 && (g_pending.fetch_or(bit) & bit) != 0) {
        // A hang-up comes twice as a matter of course (the terminal's, then the shell's to its
        // jobs): it never asks for more than the close order already under way.
        if (signalNumber == SIGHUP) {
            errno = savedErrno;
            return;
        }
        // The same signal again before the event loop took the first one: the loop is stuck
        // in a wait, and the user must still be able to end the program. The signal is blocked
        // while this handler runs, so the default action follows right after it.
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
        errno = savedErrno;
        return;
    }
    const int fd = g_writeEnd.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signalNumber);
        // A full pipe already holds a wake-up; losing this byte loses nothing.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

}  // namespace

struct StopSignals::Saved {
    int number;
    struct sigaction previous;
};

StopSignals::StopSignals(std::initializer_list<int> signalNumbers, QObject* parent)
    : QObject(parent) {
    if (g_inUse.exchange(true)) {
        qCWarning(lcSignals) << "only one signal handler object may exist at a time";
        return;
    }
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(lcSignals) << "no pipe for signals:" << std::strerror(errno);
        g_inUse = false;
        return;
    }
    m_owner = true;
    g_pending = 0;
    g_writeEnd = g_pipe[1];
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &StopSignals::readPipe);
    m_active = true;
    for (const int number : signalNumbers) {
        struct sigaction action {};
        action.sa_handler = &onStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        Saved saved{number, {}};
        if (::sigaction(number, &action, &saved.previous) != 0) {
            qCWarning(lcSignals) << "cannot handle signal" << number;
            m_active = false;
            continue;
        }
        m_saved.push_back(saved);
    }
}

StopSignals::~StopSignals() {
    for (const Saved& saved : m_saved) {
        ::sigaction(saved.number, &saved.previous, nullptr);
    }
    if (!m_owner) {
        return;
    }
    m_notifier.reset();
    g_writeEnd = -1;
    ::close(g_pipe[1]);
    ::close(g_pipe[0]);
    g_pipe[0] = g_pipe[1] = -1;
    g_inUse = false;
}

void StopSignals::ignoreWriteSignals() {
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

void StopSignals::readPipe() {
    unsigned char bytes[64];
    for (;;) {
        const ssize_t n = ::read(g_pipe[0], bytes, sizeof bytes);
        if (n > 0) {
            for (ssize_t i = 0; i < n; ++i) {
                g_pending.fetch_and(~bitOf(bytes[i]));
                emit received(bytes[i]);
            }
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        break;
    }
}

}  // namespace orvel
