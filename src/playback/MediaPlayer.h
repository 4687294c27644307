#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "audio/AudioFormat.h"
#include "platform/PlaybackStream.h"
#include "playback/MediaFile.h"
#include "playback/PlayerShared.h"

namespace orvel {

namespace platform {
class SoundServer;
}

// Plays a media file to the speakers: opens it, runs, pauses, stops and seeks it, reports its
// position from the sound actually played and the end of the stream, sets the audible volume,
// and taps the decoded sound as PCM in a requested format, cut into 40000-byte blocks (for the
// level display of a played recording, and for background music mixed into a recording).
//
// A decode thread of its own (PlayerDecoder) decodes the file (FFmpeg), converts it for the
// speakers' stream and for the tap, and writes to the stream at the pace the stream takes it;
// the two threads share only PlayerShared. Positions are exact to the sample: a seek decodes
// from before the target and drops what lies before it. With repeat on, the file starts again
// from the beginning without a gap.
//
// Play state (one process-wide value, as the recorder has one player): 0 stopped, 1 paused,
// 2 running. Stop keeps the position; the end of the stream without repeat stops the player,
// goes back to 0 and then emits endOfStream().
//
// Thread contract: every public method is called on the owner thread (the thread the player
// lives in, which runs a Qt event loop); signals are emitted and the tap handler is called on
// it. durationText may be called on any thread.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    enum PlayState : int { Stopped = 0, Paused = 1, Running = 2 };

    static constexpr std::size_t kTapBlockBytes = PlayerShared::kTapBlockBytes;

    // Opens the speakers' stream in the format given; nullptr with a reason when it cannot.
    using StreamFactory = std::function<std::unique_ptr<platform::PlaybackStream>(
        const AudioFormat& format, std::string* error)>;
    // Receives one tap block (up to kTapBlockBytes; the last block of the file may be shorter).
    // The data is valid during the call only.
    using TapHandler = std::function<void(const std::uint8_t* data, std::size_t bytes)>;

    explicit MediaPlayer(StreamFactory factory, QObject* parent = nullptr);
    ~MediaPlayer() override;

    // Streams to the default sink of `server`, which must outlive the player.
    static StreamFactory streamsOf(platform::SoundServer& server);

    // Opens a file (anything FFmpeg reads; Windows Media names through the ASF demuxer first)
    // and the speakers' stream for it; the player is then stopped at position 0. A file already
    // open is closed first. On failure nothing is open.
    MediaError open(const std::string& path);
    void close();
    bool isOpen() const { return m_file != nullptr || m_thread.joinable(); }
    const std::string& fileName() const { return m_path; }
    // The format the speakers' stream plays: the file's rate, one or two channels, 16 bits.
    const AudioFormat& outputFormat() const { return m_outputFormat; }

    // Starts or resumes; false when nothing is open or the stream failed.
    bool run();
    // Only from running.
    void pause();
    // Only when not stopped; keeps the position.
    void stop();
    // From paused: run; otherwise pause.
    void toggle();
    // Pause, seek to the position, run.
    bool startAt(std::int64_t ms);
    // Moves to a position (ms, clamped into the file), keeping the play state.
    void seekTo(std::int64_t ms);

    // Volume scale 0..100: scale x 50 / 100 - 50 dB, that is -50 dB at 0 and 0 dB at 100.
    void setVolume(int scale);
    int volume() const { return m_volume; }
    static double volumeDb(int scale);
    // Silences the sound until the volume is set again.
    void mute();
    void setRepeat(bool on);
    // Whether the sound is heard; off mutes the stream (the tap and the position go on).
    void setPreview(bool on);

    // The tap: decoded sound in `format` (channels 1 or 2, bits 8 or 16, any rate), delivered
    // in blocks to `handler`. Takes effect for the sound decoded from now on.
    void setTap(const AudioFormat& format, TapHandler handler);
    void clearTap();
    // Tap blocks delivered since the file was opened.
    std::uint64_t tapBlocks() const { return m_tapDelivered; }

    // Position in ms of the sound heard; the seek target while a seek is under way.
    std::int64_t position() const;
    // Length of the file in ms; -1 when unknown.
    std::int64_t duration() const { return m_duration; }
    PlayState state() const { return m_state; }
    static PlayState processState();

    // A move of the position slider (0..100): the first move of a drag remembers the play
    // state and pauses; every move seeks to position x duration / 100; the end of the drag
    // (endOfDrag) restores the state remembered. Returns the new position in ms.
    std::int64_t sliderScrolled(int position, bool endOfDrag);
    bool dragging() const { return m_dragging; }

    // "<00:00.000>" for an unknown length (negative), else "%02dm:%02d.%03ds".
    static std::string formatDuration(std::int64_t ms);
    // Opens the file to measure it (without a stream); the text as formatDuration, and the
    // length in ms (-1 when unknown or unreadable) through `ms`.
    static std::string durationText(const std::string& path, std::int64_t* ms = nullptr);

signals:
    // The file played to its end without repeat; the player is stopped at position 0.
    void endOfStream();
    // The speakers' stream failed (server or sink gone); the player is stopped.
    void failed(QString reason);

protected:
    bool event(QEvent* event) override;

private:
    void setState(PlayState state);
    void applyVolume();
    void handleTapBlocks(std::uint64_t openId);
    void onEndOfStream(std::uint64_t generation);
    void onStreamFailed(std::uint64_t openId);
    std::int64_t positionLocked() const;

    StreamFactory m_factory;
    std::string m_path;
    AudioFormat m_outputFormat{2, 44100, 16};
    std::unique_ptr<MediaFile> m_file;  // handed to the decode thread while it runs
    std::unique_ptr<platform::PlaybackStream> m_stream;
    std::int64_t m_duration = -1;
    PlayState m_state = Stopped;
    int m_volume = 100;
    bool m_muted = false;
    bool m_preview = true;
    std::optional<std::uint64_t> m_endAfterPause;  // the end came while paused
    bool m_dragging = false;
    PlayState m_dragState = Stopped;
    TapHandler m_tapHandler;
    std::uint64_t m_tapDelivered = 0;
    std::size_t m_tapNext = 0;  // owner thread: the next block to hand to the handler

    // The decode thread, and all it shares with this one.
    std::thread m_thread;
    PlayerShared m_shared;

    static std::atomic<int> s_processState;
};

}  // namespace orvel
