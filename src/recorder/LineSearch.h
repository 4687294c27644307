#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "devices/LineChoice.h"
#include "platform/SoundServer.h"
#include "recorder/FaceState.h"

namespace orvel {

class DeviceList;
class InfoLine;
class MixerControl;
class SettingsStore;

// The recording line and the line window: the line chosen (kept by index and by name), how many
// lines the device has, the sockets the window draws, and the search that tests the lines one
// after the other from the first (the first run's automatic configuration, the window's search
// button) until one carries sound, or the one line the user clicked.
//
// It decides and tells the info line; LineSetup carries out the returned Step: it runs the
// test recordings (LineTest shares the one capture engine, so the controller decides when the
// recorder is idle enough for one), reports how each ended (testDone, testRefused), and has the
// face sent its state.
//
// Life cycle of a search: autoConfigure() -> (the next automatic-configuration tick)
// beginSearch() -> testCurrent() -> testDone(): the next line, or the end; or autodetect() ->
// testCurrent()... The end shows its message; a search the first run asked for releases the
// commands that waited for it (Step::released), however it ends, except by stop().
//
// Thread contract: called on the GUI thread.
class LineSearch {
public:
    // The line's recording volume the automatic test sets: 64000 of 65535.
    static constexpr double kTestVolume = 64000.0 / 65535.0;
    // The device window and the search are refused while a capture or a mode runs.
    static constexpr char kBusyText[] = "Stop recording and playing first";
    static constexpr char kBusyText2[] = "to change the device or line";

    // What LineSetup does after a call, in this order.
    struct Step {
        std::optional<int> test;  // start the test recording of this line, then report its end
        bool automatic = false;   // the test measures (search) or plays back (the user's click)
        bool nextTest = false;    // testCurrent() once the event loop has shown this step
        bool released = false;    // the first run's search is over: what waited for it runs
    };

    LineSearch(DeviceList& devices, MixerControl& mixer, InfoLine& info);

    // The stored choice (start-up), and the choice stored again (close).
    void read(const SettingsStore& settings);
    void write(const SettingsStore& settings) const;
    // Stores the choice when it changed, but never a line a search is only passing through.
    void store(const SettingsStore& settings);

    // Reads the devices' lines again and finds the chosen line by its name when its indexes
    // have moved: at start-up, and when a device was chosen or the devices changed.
    void refresh();
    // The first-run window has closed with the choice to go on: the device is the first of the
    // list unless one was chosen. True when the automatic configuration is to run now.
    bool firstRun(bool automatic);
    // The device window chose a device row and a line of it.
    void choose(int deviceRow, int lineIndex);
    // The server's devices changed; a search under way ends, the line found again where it
    // can be. LineSetup has cancelled the automatic test that was running, if any.
    Step devicesChanged();

    // "AutoConfig": the search starts from the first line at the next automatic-configuration
    // tick, whether a line was chosen before or not.
    void autoConfigure();
    bool autoConfigPending() const { return m_autoConfigPending; }
    // That tick: the search begins (the window opens) once there is a line and the recorder is
    // idle. Empty while it waits.
    std::optional<Step> beginSearch(bool idle);
    // The window's search button: the search again from the first line; refused, saying so,
    // while the recorder is not idle.
    std::optional<Step> autodetect(bool idle);
    // Tests the current line of the search: it is marked, named on the info line and set to
    // the test volume. The search ends instead when the recorder is no longer idle.
    Step testCurrent(bool idle);
    // A test recording has ended with the measured level (0 for the user's test): its line is
    // the line; a search goes on to the next line while nothing carries sound.
    Step testDone(int line, int level);
    // A test recording could not start (messageKey says why): never counted as a line without
    // sound, and a search ends.
    Step testRefused(int line, bool automatic, std::string_view messageKey);
    // stop-all: no search goes on, and the socket of the line whose test was cut off (-1: none)
    // is drawn as it was.
    void stopped(int testedLine);

    // A click on a socket of the open window, while no test runs: the line becomes the line
    // (selected on the device; a running recording keeps its own until the next start), and is
    // tested and played back when the recorder is idle.
    std::optional<Step> socketClicked(int line, bool idle);
    // The device's microphone line (the first not a monitor whose name or port names a
    // microphone); -1 when none is known.
    int microphoneLine() const;
    // Makes that line the line, without a test. False when none is known.
    bool selectMicrophone();

    void setWindowOpen(bool open) { m_windowOpen = open; }

    // Whether the line can be recorded from, selecting it on the device.
    bool usable();
    // The line's sound line; nullptr when the device has none of that index.
    const platform::SoundLine* soundLine() const;
    const LineChoice& line() const { return m_line; }
    int lineCount() const { return m_lineCount; }
    bool searching() const { return m_searching; }
    bool firstRunSearch() const { return m_firstRunSearch; }
    // The window's part of the face: open or not, the line, the names and sockets.
    void show(FaceState& state) const;

private:
    Step end(std::string_view messageKey);
    void setSocket(int line, SocketState state);
    // The line of that index on the chosen device becomes the line.
    void pick(int lineIndex);

    DeviceList& m_devices;
    MixerControl& m_mixer;
    InfoLine& m_info;
    LineChoice m_line;
    LineChoice m_storedLine;  // as the settings store last received it
    int m_lineCount = 0;
    std::vector<SocketState> m_sockets;
    bool m_windowOpen = false;
    bool m_autoConfigPending = false;
    bool m_searching = false;
    bool m_firstRunSearch = false;  // the search the first-run window asked for
};

}  // namespace orvel
