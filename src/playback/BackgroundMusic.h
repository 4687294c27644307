#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioFormat.h"
#include "audio/CaptureEngine.h"
#include "audio/SignalDetector.h"
#include "audio/StartResult.h"
#include "playback/BackgroundSettings.h"
#include "playback/MediaFile.h"

namespace orvel {

class MediaPlayer;

// A background run: the player plays a sound file while its decoded sound, tapped in the
// recording's format, goes block by block into the capture engine's background ring, where
// the writer thread mixes it into the recording. The same tap serves the playback of a
// finished recording (playback mode): the file is heard and each block is measured for the
// level display, nothing is queued.
//
// At the end of the background file: action 0 plays it again without a gap, action 1 asks
// for the recording to stop (stopRecordingRequested), action 2 ends the background only
// (the recording goes on, mixed against silence). A background that cannot be opened or
// played, or whose sound output fails, leaves the recording going on without background.
//
// Thread contract: every method is called on the owner thread (the player's), which runs a
// Qt event loop; signals are emitted on it. The player and the engine must outlive the run.
class BackgroundMusic : public QObject {
    Q_OBJECT
public:
    struct Levels {
        std::uint32_t left = 0;  // average absolute amplitude of the last block
        std::uint32_t right = 0;
        bool strong = false;
    };

    explicit BackgroundMusic(MediaPlayer& player, QObject* parent = nullptr);
    ~BackgroundMusic() override;

    // Starts the background of a running recording from `startMs`. Ok when it plays, or when
    // the run takes no background (8-bit recordings, no file): nothing is started then.
    // BackgroundError (a warning) when the file cannot be opened or played: the engine is told
    // that no background comes, and the recording goes on without it.
    StartResult startRecording(const BackgroundSettings& settings, CaptureEngine& engine,
                               std::int64_t startMs = 0);
    // Plays a recording audibly at full volume, its blocks in `tapFormat` measured for the level
    // display. MediaError::None, or why the file cannot be played.
    MediaError startPlayback(const std::string& file, const AudioFormat& tapFormat,
                             std::int64_t startMs = 0);
    // Ends the run: the player stops, no block is queued any more, the engine mixes what it
    // has and then silence. Returns at once (well within the 1000 ms the run may take to end).
    void stop();
    void pause();
    void resume();

    bool isActive() const { return m_active; }
    bool playbackMode() const { return m_playbackMode; }
    const BackgroundSettings& settings() const { return m_settings; }

    // Runs the owner's event loop until a first block arrived (or one already did), at most
    // `timeout`. True when one did.
    bool waitForFirstBlock(std::chrono::milliseconds timeout);
    std::uint64_t blocks() const { return m_blocks; }

    // Playback mode: detection of the last block, as for captured blocks.
    void setThreshold(int setting) { m_detector.setThreshold(setting); }
    Levels levels() const { return m_levels; }
    bool signalPresent() const { return m_signal; }
    const std::vector<std::uint8_t>& latestBlock() const { return m_latestBlock; }

signals:
    void firstBlock();
    // The background file ended with action 1: the recording is to stop.
    void stopRecordingRequested();
    // The background ended (action 2, or its output failed); the recording goes on.
    void backgroundEnded();
    // Playback mode: the recording was played to its end.
    void playbackFinished();

private:
    void onBlock(const std::uint8_t* data, std::size_t bytes);
    void onEnd();
    void onFailed(const QString& reason);
    void disconnectPlayer();

    MediaPlayer& m_player;
    QPointer<CaptureEngine> m_engine;  // cleared should the engine go first
    BackgroundSettings m_settings;
    AudioFormat m_format;
    bool m_active = false;
    bool m_playbackMode = false;
    std::uint64_t m_blocks = 0;
    std::uint64_t m_run = 0;  // the tap handler belongs to one run
    SignalDetector m_detector;
    Levels m_levels;
    bool m_signal = false;
    std::vector<std::uint8_t> m_latestBlock;
    QMetaObject::Connection m_endConnection;
    QMetaObject::Connection m_failConnection;
    QMetaObject::Connection m_engineConnection;
};

}  // namespace orvel
