#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <string>

#include "audio/StartResult.h"
#include "recorder/RecorderServices.h"

namespace orvel {

class CaptureEngine;
class MixerControl;

// One test recording of a recording line, as the line search and the line window's sockets
// make them: the line is selected, a short 8-bit recording of it starts while its announcement
// ("Line one"...) plays, and when the recording is complete the file is measured (automatic
// test) or played back to the user (manual test), then deleted.
//
// The recording is held paused until the line delivers sound (the announcement, or whatever
// the line carries) or 1.5 s have passed, because a monitor's first sound may come late, and
// ends once 1 s of sound is captured or after 4 s; the measure reads the file only after the
// engine has completed it. Test files live in a private folder of the process, never in a
// folder other users can write to.
//
// States: Idle -> Starting (paused, waiting for sound) -> Capturing -> Finishing (the file is
// being completed) -> Idle with done() emitted. cancel() ends a test from any state without
// done(); its file is deleted once the engine has completed it.
//
// Thread contract: called on the GUI thread; signals are emitted on it.
class LineTest : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Starting, Capturing, Finishing };

    static constexpr int kTestChannels = 2;
    static constexpr int kTestRate = 11025;
    static constexpr int kTestBits = 8;
    static constexpr int kSoundWaitMs = 1500;
    static constexpr int kLongestMs = 4000;
    static constexpr std::uint64_t kTestBytes = 22050;  // 1 s at the test format

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
    void beginCapture();
    void finishCapture();
    void playBack(const std::string& path);

    CaptureEngine& m_engine;
    MixerControl& m_mixer;
    platform::SoundServer& m_server;
    CaptureSourceFactory m_sources;
    State m_state = State::Idle;
    int m_line = -1;
    bool m_automatic = false;
    bool m_cancelled = false;  // a cancelled run whose file is still being completed
    std::string m_path;
    QTimer m_soundWait;
    QTimer m_longest;
};

}  // namespace orvel
