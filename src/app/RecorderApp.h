#pragma once

#include <QObject>

// The application object of the program `orvel`: reads the command line into the start-up
// options, connects to the sound server, loads the language and the hot-key script (through
// the recorder's parts), shows the front face (never as a modal dialog: hiding it to the tray
// must not end the program) and runs the event loop until the face's close order has run.
//
// Start, in order: the settings and the command line are read; the language file and the
// hot-key script are loaded; the face reads its settings and the controller starts its ticks;
// the face is shown; the command line's presses are posted to its buttons, to run after
// everything before them; on the first run the start-up window and the line search come first,
// and the presses wait for them.
//
// Close: the close button, the menus' Exit, SIGINT, SIGTERM, SIGHUP and the end of the desktop
// session all take the controller's close order, which completes the last file and writes its
// log line before the settings and the end. Should the event loop end another way, the close
// order still runs (bounded) before the program ends, and the capture engine is given a bounded
// time to complete its file.
//
// Thread contract: GUI thread only; one instance, after the QApplication.
namespace orvel {

class RecorderApp : public QObject {
    Q_OBJECT

public:
    // How long the end waits, at most, for a close order that had not run when the event loop
    // ended, and then for the engine's last file.
    static constexpr int kLastCloseMs = 10000;
    static constexpr int kEngineIdleMs = 5000;

    // Runs the program; returns its exit status (1 when no sound server answers).
    int run(int argc, char** argv);
};

}  // namespace orvel
