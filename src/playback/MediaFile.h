#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

namespace orvel {

// Why a media file could not be opened or read.
enum class MediaError {
    None,
    NotFound,   // no such file, or it cannot be read
    NotAFile,   // a folder, a FIFO, a socket or a device: never opened (it could block for ever)
    NotMedia,   // not a media file that can be read (unknown or damaged)
    NoAudio,    // a media file without an audio stream, or without a single sample in it
    NoDecoder,  // an audio stream that cannot be decoded
    Damaged,    // decoding failed again and again
    NoOutput,   // the sound output (the speakers' stream) cannot be opened
};

std::string_view mediaErrorText(MediaError error);

// A run of decoded samples: `samples` samples of `frame` starting at sample `offset` (the
// samples before it lie before a seek target and are not part of the run). The frame belongs
// to the MediaFile and stays valid until the next call on it.
struct DecodedAudio {
    const AVFrame* frame = nullptr;
    int offset = 0;
    int samples = 0;
    std::int64_t start = 0;  // content position of the first sample, in samples of the stream
};

// The audio stream of a media file, demultiplexed and decoded by FFmpeg, with positions exact
// to the sample: a position counts samples from the first decoded sample of the content (an
// MP3 file's encoder delay, which the container reports as its start time, is not content).
//
// Opening is bounded: format probing reads at most a megabyte and analyses at most a second
// of the stream, and only plain files are opened (no network, no pipes): anything else at the
// path is refused before it is opened, since opening a FIFO waits for a writer. A file that
// decodes to no sound at all (a WAV header promising samples it does not hold) is refused as
// holding no sound. Names containing
// ".asf", ".wma" or ".wmv" (any case) are read with the ASF demuxer first, as Windows Media
// files, and probed like any other file when that fails.
//
// Thread contract: one thread at a time (the player opens a file on its owner thread and hands
// it to its decode thread).
class MediaFile {
public:
    static constexpr std::int64_t kProbeBytes = 1 << 20;
    static constexpr std::int64_t kAnalyzeMicroseconds = 1000000;
    // Consecutive packets or frames the decoder may refuse before the file counts as damaged.
    static constexpr int kErrorLimit = 64;
    // How far before a seek target decoding starts: decoders that build on earlier frames
    // (MP3's bit reservoir, WMA's overlapping frames) deliver sound only after a frame or two.
    static constexpr std::int64_t kSeekPrerollMs = 250;
    // Sample rates outside this range are not sound a player can make use of (and a rate of
    // a few hertz would make a converter's output explode).
    static constexpr int kMinRate = 1000;
    static constexpr int kMaxRate = 768000;

    MediaFile();
    ~MediaFile();
    MediaFile(const MediaFile&) = delete;
    MediaFile& operator=(const MediaFile&) = delete;

    MediaError open(const std::string& path);
    void close();
    bool isOpen() const { return m_format != nullptr; }
    // What went wrong, in FFmpeg's words, after a failed open or read.
    const std::string& errorDetail() const { return m_detail; }
    // The last FFmpeg error code (negative), 0 when none.
    int errorCode() const { return m_code; }

    // Whether the name marks a Windows Media file (".asf", ".wma", ".wmv" anywhere, any case).
    static bool isWindowsMediaName(std::string_view path);
    // Read with the ASF demuxer.
    bool readAsWindowsMedia() const { return m_asf; }

    // The stream's own format, as the decoder delivers it.
    int sampleRate() const { return m_rate; }
    int channels() const { return m_channels; }
    std::string codecName() const;
    std::string containerName() const;
    // Length of the content in milliseconds; -1 when the file does not tell.
    std::int64_t durationMs() const { return m_durationMs; }

    enum class Read { Audio, End, Error };
    // The next run of decoded samples; End after the last one, Error when the file turned out
    // to be damaged (errorDetail says how). A run may be empty only when Audio is not returned.
    Read next(DecodedAudio& out);

    // Positions the stream so that the next run starts exactly at `ms` (clamped at 0); a
    // position past the end gives End at the next read. False when even starting over failed.
    bool seek(std::int64_t ms);
    // Content position (in samples) of the next sample next() will return.
    std::int64_t nextSample() const { return m_runWaiting ? m_waitingRun.start : m_nextSample; }

private:
    MediaError openWith(const std::string& path, bool asAsf);
    bool seekStream(std::int64_t streamTs);
    bool rewind();
    MediaError calibrate();
    Read receiveFrame();
    Read decode(DecodedAudio& out);
    bool takeFrame(DecodedAudio& out);
    std::int64_t frameStart(const AVFrame* frame) const;
    void fail(int code, const std::string& what);

    std::string m_path;
    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    int m_stream = -1;
    int m_rate = 0;
    int m_channels = 0;
    bool m_asf = false;
    std::int64_t m_startTs = 0;  // the stream's start time in its time base
    // Samples by which the decoder's timestamps run ahead of the content: a decoder that
    // answers a frame late stamps it with the packet that completed it (WMA: two frames).
    std::int64_t m_bias = 0;
    std::int64_t m_durationMs = -1;
    std::int64_t m_nextSample = 0;
    std::int64_t m_dropUntil = 0;  // samples before this position are cut from the runs
    bool m_useTimestamp = true;    // the next frame's position comes from its timestamp
    bool m_drained = false;        // the decoder was told that no packet follows
    bool m_ended = false;
    bool m_frameWaiting = false;  // m_frame holds a decoded frame not yet taken
    bool m_runWaiting = false;    // a run found while seeking, returned by the next read
    DecodedAudio m_waitingRun;
    int m_errors = 0;
    std::string m_detail;
    int m_code = 0;
};

}  // namespace orvel
