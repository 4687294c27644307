#pragma once

#include <QObject>
#include <QTimer>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/StartResult.h"
#include "recorder/RecorderServices.h"

namespace orvel {

class CaptureEngine;
class MixerControl;

// One test recording of a recording line, as the line search and the line window's sockets
// make them: the line is selected, it is recorded at 8 bits while its announcement ("Line
// one"...) plays, and the test file is measured (automatic test) or played back to the user
// (manual test), then deleted.
//
// The level is measured at a fixed place of the test file (1000 bytes from byte 4096, about
// 0.18 s into the sound), which only means something when the file starts with the sound. A
// line may deliver its first sound seconds after it is opened (a monitor does), and a played
// sound comes through late and by pieces, so the test does not start its file with the run: it
// plays the announcement once the line delivers, waits for sound loud enough to count (at most
// 1.5 s after the line's first delivery) and keeps 1 s from there; the file then starts where
// the strongest stretch of that first sound falls on the measured place. The run ends at the
// latest 6 s after the start.
//
// States: Idle -> Starting (waiting for sound) -> Capturing -> Finishing (the run ending) ->
// Idle with done() emitted. cancel() ends a test from any state without done(). Test files live
// in a private folder of the process, never in a folder other users can write to.
//
// Thread contract: called on the GUI thread; signals are emitted on it.
class LineTest : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Starting, Capturing, Finishing };

    static constexpr int kTestChannels = 2;
    static constexpr int kTestRate = 11025;
    static constexpr int kTestBits = 8;
    static constexpr int kSoundWaitMs = 1500;           // from the line's first sound
    static constexpr int kLongestMs = 6000;             // from the start, whatever the line does
    static constexpr std::uint64_t kTestBytes = 22050;  // 1 s at the test format
    // How far around the first loud block the strongest stretch is looked for.
    static constexpr std::size_t kLookBackMs = 300;

    LineTest(CaptureEngine& engine, MixerControl& mixer, platform::SoundServer& server,
             CaptureSourceFactory sources, QObject* parent = nullptr);
    ~LineTest() override;

    // Starts testing a line. Ok, or why the engine refused (nothing runs then).
    StartResult start(int line, bool automatic);
    void cancel();

    State state() const { return m_state; }
    bool running() const { return m_state != State::Idle; }
    int line() const { return m_line; }
    bool automatic() const { return m_automatic; }

    // "AudioTestRec<line>.wav" in the process's private folder (mode 700, made at first use).
    static std::string testFilePath(int line);

signals:
    // The test is over: the measured level of an automatic test (-1 when the file could not be
    // read, 0 when it holds no sound), 0 for a manual test (played back).
    void done(int line, int level);

private:
    void onBlock();
    void onFinished();
    void beginCapture(std::size_t soundAt);
    void finishCapture();
    std::ptrdiff_t fileStart() const;
    void playBack(const std::string& path);

    CaptureEngine& m_engine;
    MixerControl& m_mixer;
    platform::SoundServer& m_server;
    CaptureSourceFactory m_sources;
    State m_state = State::Idle;
    int m_line = -1;
    bool m_automatic = false;
    bool m_announced = false;
    bool m_cancelled = false;  // a cancelled run that has not ended yet
    std::string m_path;
    std::vector<std::uint8_t> m_captured;  // everything the line delivered
    std::optional<std::size_t> m_soundAt;  // where in it the sound that counts begins
    QTimer m_soundWait;
    QTimer m_longest;
};

}  // namespace orvel
