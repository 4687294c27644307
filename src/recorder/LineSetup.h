#pragma once

#include <QObject>
#include <functional>

#include "audio/StartResult.h"
#include "recorder/LineSearch.h"
#include "recorder/LineTest.h"
#include "recorder/RecorderServices.h"

namespace orvel {

class CaptureEngine;
class MixerControl;
class RecorderView;
class TickSource;

// The line search carried out: the test recordings LineSearch asks for (a test played back to
// the user starts with the speakers silent, so the start of the line does not sound through
// them), each test's end reported back, the search's next test once the face has shown the step,
// the wait of the automatic configuration for its tick, and the devices changing under a search.
// And the first run, which has no line yet: the start-up window, whose choice starts the
// automatic configuration or not.
//
// The owner decides when the recorder is idle enough for a test (`idle`: the tests share the one
// capture engine with the recordings), sends the face its state after each step (`shown`), and
// runs what the first run's search held once it is over (`released`).
//
// Thread contract: called on the GUI thread; the hooks are called on it, `released` and the next
// test from the event loop.
class LineSetup : public QObject {
public:
    // How long after the automatic configuration is asked for the search starts.
    static constexpr int kAutoConfigDelayMs = 150;

    struct Hooks {
        std::function<bool()> idle;
        std::function<void()> shown;
        std::function<void()> released;
    };

    LineSetup(LineSearch& search, CaptureEngine& engine, MixerControl& mixer,
              platform::SoundServer& server, CaptureSourceFactory sources, TickSource& ticks,
              RecorderView& view, Hooks hooks, QObject* parent = nullptr);

    // The first run: the start-up window opens once the event loop runs.
    void openStartup();
    // The start-up window has closed with a StartupChoice::Result: false when it did not go on,
    // and the program is to close.
    bool startupClosed(int result);
    bool startupOpen() const { return m_startupOpen; }
    // The first run holds the commands: its window is open, or the search it asked for runs.
    bool firstRunHolds() const { return m_startupOpen || m_search.firstRunSearch(); }

    // "AutoConfig": the search starts at the automatic configuration's tick (TickSource's
    // Timer1), when the recorder is idle now.
    void autoConfigure();
    // A Timer1 tick: true when the automatic configuration waited for it, which takes it.
    bool configureTick();
    // The line window's search button, and a click on one of its sockets.
    void autodetect();
    void socketClicked(int line);
    // The server's devices changed: an automatic test ends, and the search with it.
    void devicesChanged();
    // stop-all: the test running is cancelled and no search goes on.
    void stopped();

    bool testing() const { return m_test.running(); }
    const LineTest& test() const { return m_test; }

private:
    void carryOut(const LineSearch::Step& step);
    StartResult startTest(int line, bool automatic);
    void testDone(int line, int level);

    LineSearch& m_search;
    LineTest m_test;
    platform::SoundServer& m_server;
    TickSource& m_ticks;
    RecorderView& m_view;
    Hooks m_hooks;
    bool m_startupOpen = false;
};

}  // namespace orvel
