#pragma once

#include <pulse/pulseaudio.h>

#include <QLoggingCategory>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "audio/AudioFormat.h"

Q_DECLARE_LOGGING_CATEGORY(lcPulse)

namespace orvel::platform {

// One connection to the sound server: a threaded main loop (the server's own thread, where
// every callback runs with the loop's lock held) and a context on it. Shared by the server
// object and by every stream made from it, so that a stream outliving the server object stays
// valid (it then only reports failure).
//
// Thread contract: open and the destructor on the owner thread. Every other method is called
// with the lock held: from a thread other than the loop's (waits) or from a loop callback
// (signal, isReady). isReady may also be read without the lock.
class PulseConnection {
public:
    // Time the owner thread waits for one answer of the server before giving up.
    static constexpr std::chrono::milliseconds answerTimeout{2000};
    static constexpr std::chrono::milliseconds connectTimeout{5000};

    // Connects to the server named by the environment (PULSE_SERVER, else the user's default);
    // never starts a server. nullptr with a reason when none answers in time.
    static std::shared_ptr<PulseConnection> open(const std::string& clientName, std::string* error);
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // Holds the loop's lock for a scope. Never taken on the loop's own thread.
    class Lock {
    public:
        explicit Lock(const PulseConnection& connection);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* m_loop;
    };

    pa_context* context() const { return m_context; }
    bool isReady() const { return m_ready.load(); }
    // The server's latest error as text.
    std::string lastError() const;

    // Waits (lock held, not on the loop thread) until done() holds or the timeout passed;
    // returns done(). Loop callbacks that change what done() looks at call signal().
    template <class Done>
    bool waitFor(Done done, std::chrono::milliseconds timeout) {
        if (done()) {
            return true;
        }
        WakeTimer timer(*this, timeout);
        while (!done() && !timer.expired()) {
            pa_threaded_mainloop_wait(m_loop);
        }
        return done();
    }
    // Waits for an operation to finish; cancels it (its callbacks never run then) when it does
    // not finish in time. Takes over the reference. True when it completed.
    bool await(pa_operation* operation, std::chrono::milliseconds timeout = answerTimeout);
    // Lets an operation run on without waiting for it (its callbacks still run).
    static void detach(pa_operation* operation);
    // Cancels a pending operation kept by its owner (its callbacks never run) and forgets it.
    static void cancel(pa_operation*& operation);
    // Ends a stream made by this program: no callback of it runs any more, it leaves the
    // server, the reference is dropped and the pointer cleared. Lock held or loop thread.
    static void close(pa_stream*& stream);
    // Wakes every waiter. Loop thread or lock held.
    void signal() const { pa_threaded_mainloop_signal(m_loop, 0); }

    // Called on the loop thread, once, when the connection fails or ends. Set with the lock held.
    void setLostHandler(std::function<void()> handler) { m_lostHandler = std::move(handler); }

    // The server's sample format and channel map for a recorder format; false when the
    // format is not one the recorder uses (1 or 2 channels, 8 or 16 bits, a positive rate).
    static bool describe(const AudioFormat& format, pa_sample_spec* spec, pa_channel_map* map);
    // A new stream playing to the default sink (connected, not yet ready), asking the server to
    // keep about `latency` of sound queued (zero leaves the server's defaults) and to start
    // playing once `startAfter` is queued (zero: when the queue is full); nullptr when the
    // server refuses. Lock held.
    pa_stream* connectPlayback(const char* name, const pa_sample_spec& spec,
                               const pa_channel_map& map, std::chrono::milliseconds latency,
                               std::chrono::milliseconds startAfter = std::chrono::milliseconds(0));
    // Whole frames of the given duration in that format.
    static std::uint32_t bytesFor(std::chrono::microseconds duration, const pa_sample_spec& spec);

private:
    PulseConnection() = default;
    static void onContextState(pa_context* context, void* self);

    // Wakes the waiter at the deadline, since the loop's wait itself has no timeout.
    class WakeTimer {
    public:
        WakeTimer(const PulseConnection& connection, std::chrono::milliseconds timeout);
        ~WakeTimer();
        WakeTimer(const WakeTimer&) = delete;
        WakeTimer& operator=(const WakeTimer&) = delete;
        bool expired() const;

    private:
        static void onTime(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self);
        const PulseConnection& m_connection;
        std::chrono::steady_clock::time_point m_deadline;
        pa_time_event* m_event = nullptr;
        bool m_fired = false;
    };

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    std::atomic<bool> m_ready{false};
    std::atomic<bool> m_lost{false};
    std::function<void()> m_lostHandler;
};

}  // namespace orvel::platform
