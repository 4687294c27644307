#include "playback/MediaFile.h"

#include <unistd.h>

#include <QLoggingCategory>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/FileKind.h"
#include "config/Text.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/mathematics.h>
}

Q_LOGGING_CATEGORY(lcMedia, "orvel.media")

namespace orvel {

namespace {

std::string ffmpegText(int code) {
    char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buffer, sizeof buffer);
    return buffer;
}

}  // namespace

std::string_view mediaErrorText(MediaError error) {
    switch (error) {
        case MediaError::None:
            return "";
        case MediaError::NotFound:
            return "the file does not exist or cannot be read";
        case MediaError::NotAFile:
            return "it is not a plain file (a folder, a FIFO, a socket or a device)";
        case MediaError::NotMedia:
            return "the file is not a media file that can be read";
        case MediaError::NoAudio:
            return "the file holds no sound";
        case MediaError::NoDecoder:
            return "the file's sound cannot be decoded";
        case MediaError::Damaged:
            return "the file is damaged";
        case MediaError::NoOutput:
            return "the sound output cannot be opened";
    }
    return "";
}

MediaFile::MediaFile() = default;

MediaFile::~MediaFile() {
    close();
}

bool MediaFile::isWindowsMediaName(std::string_view path) {
    const std::string lower = text::toLowerAscii(path);
    return lower.find(".asf") != std::string::npos || lower.find(".wma") != std::string::npos ||
           lower.find(".wmv") != std::string::npos;
}

void MediaFile::close() {
    av_packet_free(&m_packet);
    av_frame_free(&m_frame);
    avcodec_free_context(&m_codec);
    avformat_close_input(&m_format);
    m_stream = -1;
    m_rate = 0;
    m_channels = 0;
    m_asf = false;
    m_startTs = 0;
    m_bias = 0;
    m_durationMs = -1;
    m_nextSample = 0;
    m_dropUntil = 0;
    m_useTimestamp = true;
    m_drained = false;
    m_ended = false;
    m_frameWaiting = false;
    m_runWaiting = false;
    m_errors = 0;
}

void MediaFile::fail(int code, const std::string& what) {
    m_code = code;
    m_detail = code < 0 ? what + ": " + ffmpegText(code) : what;
}

MediaError MediaFile::open(const std::string& path) {
    close();
    m_detail.clear();
    m_code = 0;
    m_path = path;
    // Checked first so that a missing file is told apart from one FFmpeg does not understand,
    // and so that nothing but a plain file is ever opened.
    const file::Kind kind = file::kindOf(path);
    if (kind != file::Kind::Regular) {
        fail(0, "cannot read " + path + ": " + file::kindProblem(kind));
        return kind == file::Kind::Missing ? MediaError::NotFound : MediaError::NotAFile;
    }
    if (::access(path.c_str(), R_OK) != 0) {
        fail(0, "cannot read " + path);
        return MediaError::NotFound;
    }
    if (isWindowsMediaName(path)) {
        const MediaError asf = openWith(path, true);
        if (asf != MediaError::NotMedia) {
            return asf;
        }
        qCDebug(lcMedia) << "not an ASF file, probing:" << QString::fromStdString(path);
    }
    return openWith(path, false);
}

MediaError MediaFile::openWith(const std::string& path, bool asAsf) {
    close();
    m_format = avformat_alloc_context();
    if (m_format == nullptr) {
        fail(AVERROR(ENOMEM), "no memory");
        return MediaError::NotMedia;
    }
    // A damaged or hostile file must not keep the probe busy for long, nor make the demuxer
    // open anything but plain files (playlists naming URLs or devices).
    m_format->probesize = kProbeBytes;
    m_format->format_probesize = static_cast<int>(kProbeBytes);
    m_format->max_analyze_duration = kAnalyzeMicroseconds;
    m_format->protocol_whitelist = av_strdup("file");
    const AVInputFormat* forced = asAsf ? av_find_input_format("asf") : nullptr;
    // "file:" keeps a name with a colon from being read as a protocol.
    const std::string url = "file:" + path;
    int code = avformat_open_input(&m_format, url.c_str(), forced, nullptr);
    if (code < 0) {
        // avformat_open_input frees the context on failure.
        m_format = nullptr;
        fail(code, "cannot open " + path);
        return code == AVERROR(ENOENT) || code == AVERROR(EACCES) ? MediaError::NotFound
                                                                  : MediaError::NotMedia;
    }
    code = avformat_find_stream_info(m_format, nullptr);
    if (code < 0) {
        qCDebug(lcMedia) << "stream information incomplete:"
                         << QString::fromStdString(ffmpegText(code));
    }
    const AVCodec* decoder = nullptr;
    code = av_find_best_stream(m_format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (code < 0) {
        fail(code, "no audio stream in " + path);
        close();
        return code == AVERROR_DECODER_NOT_FOUND ? MediaError::NoDecoder : MediaError::NoAudio;
    }
    m_stream = code;
    for (unsigned i = 0; i < m_format->nb_streams; ++i) {
        if (static_cast<int>(i) != m_stream) {
            m_format->streams[i]->discard = AVDISCARD_ALL;
        }
    }
    AVStream* stream = m_format->streams[m_stream];
    m_codec = avcodec_alloc_context3(decoder);
    if (m_codec == nullptr || avcodec_parameters_to_context(m_codec, stream->codecpar) < 0) {
        fail(0, "cannot set up the decoder");
        close();
        return MediaError::NoDecoder;
    }
    m_codec->pkt_timebase = stream->time_base;
    m_codec->thread_count = 1;
    code = avcodec_open2(m_codec, decoder, nullptr);
    m_rate = m_codec->sample_rate;
    m_channels = m_codec->ch_layout.nb_channels;
    if (code < 0 || m_rate < kMinRate || m_rate > kMaxRate || m_channels <= 0 || m_channels > 64 ||
        stream->time_base.num <= 0 || stream->time_base.den <= 0) {
        fail(code, "cannot decode the sound of " + path);
        close();
        return MediaError::NoDecoder;
    }
    m_frame = av_frame_alloc();
    m_packet = av_packet_alloc();
    if (m_frame == nullptr || m_packet == nullptr) {
        fail(AVERROR(ENOMEM), "no memory");
        close();
        return MediaError::NotMedia;
    }
    m_asf = asAsf;
    m_startTs = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    // The container's length, less the start time: an MP3 file's encoder delay is counted in
    // both but is no content.
    if (m_format->duration != AV_NOPTS_VALUE && m_format->duration > 0) {
        const std::int64_t start = av_rescale_q(m_startTs, stream->time_base, AVRational{1, 1000});
        m_durationMs =
            std::max<std::int64_t>(0, av_rescale(m_format->duration, 1000, AV_TIME_BASE) -
                                          std::max<std::int64_t>(start, 0));
    } else if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
        m_durationMs = av_rescale_q(stream->duration, stream->time_base, AVRational{1, 1000});
    }
    return calibrate();
}

MediaError MediaFile::calibrate() {
    // The first frame is content position 0: whatever its timestamp says beyond the start time
    // is the decoder's lag, taken off every later timestamp. The frame stays for the first read.
    const Read read = receiveFrame();
    if (read == Read::Error) {
        close();
        return MediaError::Damaged;
    }
    if (read == Read::End) {
        // Nothing to play, whatever the header promised.
        fail(0, "no sound in " + m_path);
        close();
        return MediaError::NoAudio;
    }
    m_bias = frameStart(m_frame);
    m_frameWaiting = true;
    return MediaError::None;
}

std::string MediaFile::codecName() const {
    return m_codec != nullptr && m_codec->codec != nullptr ? m_codec->codec->name : "";
}

std::string MediaFile::containerName() const {
    return m_format != nullptr && m_format->iformat != nullptr ? m_format->iformat->name : "";
}

std::int64_t MediaFile::frameStart(const AVFrame* frame) const {
    if (!m_useTimestamp) {
        return m_nextSample;
    }
    std::int64_t ts = frame->best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE) {
        ts = frame->pts;
    }
    if (ts == AV_NOPTS_VALUE) {
        return m_nextSample;
    }
    const AVRational base = m_format->streams[m_stream]->time_base;
    std::int64_t start = av_rescale_q_rnd(ts - m_startTs, base, AVRational{1, m_rate},
                                          static_cast<AVRounding>(AV_ROUND_NEAR_INF));
    // Timestamps coarser than a sample (ASF counts milliseconds) are off by up to one tick;
    // a decoder with a fixed frame length puts every frame on a grid of that length.
    const double samplesPerTick = double(m_rate) * base.num / base.den;
    const int length = m_codec->frame_size > 0 ? m_codec->frame_size : frame->nb_samples;
    if (length > 0 && samplesPerTick > 1.0) {
        const std::int64_t snapped =
            static_cast<std::int64_t>(std::llround(double(start) / length)) * length;
        if (std::abs(snapped - start) <= static_cast<std::int64_t>(std::ceil(samplesPerTick))) {
            start = snapped;
        }
    }
    return start - m_bias;
}

bool MediaFile::takeFrame(DecodedAudio& out) {
    const std::int64_t start = frameStart(m_frame);
    m_useTimestamp = false;
    const int count = m_frame->nb_samples;
    m_nextSample = start + count;
    if (count <= 0) {
        return false;
    }
    const std::int64_t skip = std::clamp<std::int64_t>(m_dropUntil - start, 0, count);
    if (skip >= count) {
        return false;
    }
    out.frame = m_frame;
    out.offset = static_cast<int>(skip);
    out.samples = count - static_cast<int>(skip);
    out.start = start + skip;
    return true;
}

MediaFile::Read MediaFile::receiveFrame() {
    if (m_ended) {
        return Read::End;
    }
    for (;;) {
        int code = avcodec_receive_frame(m_codec, m_frame);
        if (code == 0) {
            m_errors = 0;
            return Read::Audio;
        }
        if (code == AVERROR_EOF) {
            m_ended = true;
            return Read::End;
        }
        if (code != AVERROR(EAGAIN)) {
            if (++m_errors > kErrorLimit) {
                fail(code, "decoding failed");
                return Read::Error;
            }
            continue;
        }
        if (m_drained) {
            m_ended = true;
            return Read::End;
        }
        code = av_read_frame(m_format, m_packet);
        if (code < 0) {
            // The end of the file, or damage the demuxer cannot get past: what was decoded
            // stands, the decoder gives out what it still holds.
            if (code != AVERROR_EOF) {
                qCDebug(lcMedia) << "reading stopped:" << QString::fromStdString(ffmpegText(code));
            }
            avcodec_send_packet(m_codec, nullptr);
            m_drained = true;
            continue;
        }
        if (m_packet->stream_index != m_stream) {
            av_packet_unref(m_packet);
            continue;
        }
        code = avcodec_send_packet(m_codec, m_packet);
        av_packet_unref(m_packet);
        if (code < 0 && code != AVERROR(EAGAIN) && ++m_errors > kErrorLimit) {
            fail(code, "decoding failed");
            return Read::Error;
        }
    }
}

MediaFile::Read MediaFile::decode(DecodedAudio& out) {
    for (;;) {
        if (!m_frameWaiting) {
            const Read read = receiveFrame();
            if (read != Read::Audio) {
                return read;
            }
        }
        m_frameWaiting = false;
        if (takeFrame(out)) {
            return Read::Audio;
        }
    }
}

MediaFile::Read MediaFile::next(DecodedAudio& out) {
    if (!isOpen()) {
        return Read::Error;
    }
    if (m_runWaiting) {
        m_runWaiting = false;
        out = m_waitingRun;
        return Read::Audio;
    }
    return decode(out);
}

bool MediaFile::seekStream(std::int64_t streamTs) {
    if (av_seek_frame(m_format, m_stream, streamTs, AVSEEK_FLAG_BACKWARD) < 0) {
        return false;
    }
    avcodec_flush_buffers(m_codec);
    m_drained = false;
    m_ended = false;
    m_frameWaiting = false;
    m_runWaiting = false;
    m_errors = 0;
    return true;
}

bool MediaFile::rewind() {
    if (seekStream(m_startTs)) {
        return true;
    }
    // A demuxer that cannot seek at all is opened again.
    const std::string path = m_path;
    const bool asf = m_asf;
    return openWith(path, asf) == MediaError::None;
}

bool MediaFile::seek(std::int64_t ms) {
    if (!isOpen()) {
        return false;
    }
    ms = std::max<std::int64_t>(ms, 0);
    const std::int64_t target = av_rescale(ms, m_rate, 1000);
    const AVRational base = m_format->streams[m_stream]->time_base;
    // Demuxers may land after the target (ASF without an index guesses): then seek again from
    // further back, and at last from the start, which always lands before it.
    std::int64_t back = kSeekPrerollMs;
    for (int attempt = 0;; ++attempt) {
        const std::int64_t from = ms - back;
        const bool fromStart = from <= 0 || attempt >= 4;
        bool ok = false;
        if (!fromStart) {
            ok = seekStream(m_startTs + av_rescale_q(from, AVRational{1, 1000}, base));
        }
        if (!ok && !rewind()) {
            fail(0, "cannot go back to the start");
            return false;
        }
        m_dropUntil = target;
        m_useTimestamp = true;
        m_nextSample = fromStart ? 0 : target;
        DecodedAudio run;
        const Read read = decode(run);
        if (read == Read::Error) {
            return false;
        }
        if (read == Read::End) {
            m_nextSample = std::max(m_nextSample, target);
            return true;
        }
        if (run.start <= target || fromStart) {
            m_runWaiting = true;
            m_waitingRun = run;
            return true;
        }
        back *= 4;
    }
}

}  // namespace orvel
