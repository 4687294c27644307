#include "encoders/WmaWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QLoggingCategory>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "audio/RecordingFile.h"
#include "config/Product.h"
#include "config/Text.h"
#include "encoders/WmaProfile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

Q_LOGGING_CATEGORY(lcWma, "orvel.wma")

namespace orvel {

namespace {

unsigned hex(int code) {
    return static_cast<unsigned>(code);
}

std::string ffmpegText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// The container's metadata key that becomes each attribute of the table.
const char* metadataKey(std::string_view name) {
    if (name == wma::kAuthor) {
        return "artist";
    }
    if (name == wma::kTitle) {
        return "title";
    }
    if (name == wma::kAlbumTitle) {
        return "album";
    }
    if (name == wma::kCopyright) {
        return "copyright";
    }
    if (name == wma::kDescription) {
        return "comment";
    }
    if (name == wma::kComposer) {
        return "composer";
    }
    if (name == wma::kGenre) {
        return "genre";
    }
    return nullptr;
}

#if defined(FF_API_AVIO_WRITE_NONCONST) && !FF_API_AVIO_WRITE_NONCONST
using WriteBuffer = const std::uint8_t*;
#else
using WriteBuffer = std::uint8_t*;
#endif

// How much of the container's output the writer keeps before handing it to the file.
constexpr int kOutputBuffer = 64 * 1024;
// A killed recorder leaves a file that holds what was flushed and the container's packets
// completed by then: at most half a second goes unflushed, and packets are kept small enough
// to complete every quarter of a second, so that together with the encoder's own frames less
// than a second is lost.
constexpr std::uint64_t kFlushTicks = WmaWriter::kTicksPerSecond / 2;
constexpr int kPacketsPerSecond = 4;
constexpr int kMinPacketBytes = 500;
constexpr int kDefaultPacketBytes = 3200;
// The rates a recording is converted from.
constexpr int kLowestInputRate = 4000;
constexpr int kHighestInputRate = 192000;

// A system error code, when an FFmpeg code stands for one (AVERROR(errno)).
int systemError(int code) {
    return code < 0 && code > -4096 ? -code : 0;
}

}  // namespace

// Everything one file being written holds. Destroying it releases all of it; a file whose
// writing did not end is closed as it stands.
struct WmaWriter::Session {
    RecordingFile file;
    AVIOContext* io = nullptr;
    int ioError = 0;  // errno of the write or seek that failed
    std::uint64_t flushedAt = 0;
    std::int64_t dataStart = 0;  // where the container's packets begin
    int packetBytes = 0;         // every packet has this size
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    SwrContext* resampler = nullptr;
    AVAudioFifo* fifo = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    AudioFormat input;
    std::int64_t nextPts = 0;
    std::array<std::vector<float>, 2> planes;

    ~Session() {
        av_packet_free(&packet);
        av_frame_free(&frame);
        if (fifo != nullptr) {
            av_audio_fifo_free(fifo);
        }
        swr_free(&resampler);
        avcodec_free_context(&codec);
        if (format != nullptr) {
            format->pb = nullptr;
            avformat_free_context(format);
        }
        if (io != nullptr) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
    }

    static int writeToFile(void* opaque, WriteBuffer data, int size) {
        auto* self = static_cast<Session*>(opaque);
        int done = 0;
        while (done < size) {
            const ssize_t n =
                ::write(self->file.fd(), data + done, static_cast<std::size_t>(size - done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                self->ioError = n == 0 ? EIO : errno;
                return AVERROR(self->ioError);
            }
            done += static_cast<int>(n);
        }
        return size;
    }

    static std::int64_t seekInFile(void* opaque, std::int64_t offset, int whence) {
        auto* self = static_cast<Session*>(opaque);
        if (whence == AVSEEK_SIZE) {
            struct stat status {};
            if (::fstat(self->file.fd(), &status) != 0) {
                return AVERROR(errno);
            }
            return status.st_size;
        }
        const off_t at =
            ::lseek(self->file.fd(), static_cast<off_t>(offset), whence & ~AVSEEK_FORCE);
        if (at < 0) {
            self->ioError = errno;
            return AVERROR(self->ioError);
        }
        return at;
    }

    // Creates the file and the container's output on it. 0 or a negative code.
    int open(const std::string& path) {
        if (!file.create(path)) {
            return AVERROR(file.errorCode());
        }
        auto* buffer = static_cast<unsigned char*>(av_malloc(kOutputBuffer));
        io = buffer == nullptr ? nullptr
                               : avio_alloc_context(buffer, kOutputBuffer, 1, this, nullptr,
                                                    &Session::writeToFile, &Session::seekInFile);
        if (io == nullptr) {
            av_free(buffer);
            return AVERROR(ENOMEM);
        }
        format->pb = io;
        return 0;
    }

    // Writes the container's header with packets of `packetSize` bytes, and puts it on disk at
    // once: a recorder killed at any moment leaves a file that names its format.
    int writeHeader(int packetSize) {
        AVDictionary* muxerOptions = nullptr;
        av_dict_set_int(&muxerOptions, "packet_size", packetSize, 0);
        int rc = avformat_write_header(format, &muxerOptions);
        av_dict_free(&muxerOptions);
        if (rc >= 0) {
            rc = flush();
            dataStart = avio_tell(io);
            packetBytes = packetSize;
        }
        return rc;
    }

    // The recording is converted to the encoder's rate and `channels` as it is written.
    int openResampler(const AudioFormat& recording, int channels) {
        AVChannelLayout inputLayout{};
        av_channel_layout_default(&inputLayout, recording.channels);
        int rc = swr_alloc_set_opts2(&resampler, &codec->ch_layout, AV_SAMPLE_FMT_FLTP,
                                     codec->sample_rate, &inputLayout,
                                     recording.is16Bit() ? AV_SAMPLE_FMT_S16 : AV_SAMPLE_FMT_U8,
                                     recording.sampleRate, 0, nullptr);
        av_channel_layout_uninit(&inputLayout);
        if (rc >= 0 && recording.channels != channels) {
            // Mono goes to both sides at its own level, and stereo becomes the mean of its
            // sides: a tone keeps its level whichever way it is converted.
            const double toStereo[] = {1.0, 1.0};
            const double toMono[] = {0.5, 0.5};
            rc = recording.channels == 1 ? swr_set_matrix(resampler, toStereo, 1)
                                         : swr_set_matrix(resampler, toMono, 2);
        }
        return rc >= 0 ? swr_init(resampler) : rc;
    }

    // The queue of converted samples (of `channels`), the encoder's frame and its packet.
    int allocateFrames(int channels) {
        fifo = av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, channels, codec->frame_size * 2);
        frame = av_frame_alloc();
        packet = av_packet_alloc();
        if (fifo == nullptr || frame == nullptr || packet == nullptr) {
            return AVERROR(ENOMEM);
        }
        frame->nb_samples = codec->frame_size;
        frame->format = AV_SAMPLE_FMT_FLTP;
        frame->sample_rate = codec->sample_rate;
        const int rc = av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
        return rc >= 0 ? av_frame_get_buffer(frame, 0) : rc;
    }

    // Decoders drop the encoder's initial padding from the front: silence stands in for it, so
    // the first recorded sample is the first one decoded.
    int queuePadding() {
        const int padding = std::max(codec->initial_padding, 0);
        for (auto& plane : planes) {
            plane.assign(static_cast<std::size_t>(std::max(padding, 1)), 0.0f);
        }
        float* silence[2] = {planes[0].data(), planes[1].data()};
        return padding > 0 ? queue(silence, padding) : 0;
    }

    // Hands what the container has written so far to the file. 0 or a negative code.
    int flush() {
        avio_flush(io);
        return io->error < 0 ? io->error : 0;
    }

    // After a failed write the file ends inside a packet, which decoders report as damaged:
    // the file keeps its whole packets only.
    void keepWholePackets() {
        struct stat status {};
        if (packetBytes <= 0 || ::fstat(file.fd(), &status) != 0 || status.st_size <= dataStart) {
            return;
        }
        const std::int64_t packets = (status.st_size - dataStart) / packetBytes;
        if (::ftruncate(file.fd(), static_cast<off_t>(dataStart + packets * packetBytes)) != 0) {
            qCWarning(lcWma) << "cannot cut the damaged last packet:" << std::strerror(errno);
        }
    }

    // The system's error code of the failure `code` stands for, 0 when it is not one.
    int systemCode(int code) const { return ioError != 0 ? ioError : systemError(code); }

    // Hands every packet the encoder has ready to the container.
    int drain() {
        for (;;) {
            int rc = avcodec_receive_packet(codec, packet);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) {
                return 0;
            }
            if (rc < 0) {
                return rc;
            }
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            rc = av_interleaved_write_frame(format, packet);
            if (rc < 0) {
                return rc;
            }
        }
    }

    // Encodes the next `samples` samples of the queue as one frame.
    int encode(int samples) {
        int rc = av_frame_make_writable(frame);
        if (rc < 0) {
            return rc;
        }
        frame->nb_samples = samples;
        if (av_audio_fifo_read(fifo, reinterpret_cast<void**>(frame->data), samples) != samples) {
            return AVERROR_BUG;
        }
        frame->pts = nextPts;
        nextPts += samples;
        rc = avcodec_send_frame(codec, frame);
        return rc < 0 ? rc : drain();
    }

    // Converts `frames` frames of the recording's PCM (none with `in` null: what the resampler
    // still holds) to the profile's format, and queues them.
    int convert(const std::uint8_t** in, int frames) {
        const int room = swr_get_out_samples(resampler, frames);
        if (room < 0) {
            return room;
        }
        for (auto& plane : planes) {
            if (plane.size() < static_cast<std::size_t>(room)) {
                plane.resize(static_cast<std::size_t>(room));
            }
        }
        std::uint8_t* out[2] = {reinterpret_cast<std::uint8_t*>(planes[0].data()),
                                reinterpret_cast<std::uint8_t*>(planes[1].data())};
        const int converted = swr_convert(resampler, out, room, in, frames);
        if (converted <= 0) {
            return converted;
        }
        float* data[2] = {planes[0].data(), planes[1].data()};
        return queue(data, converted);
    }

    // Queues converted samples and encodes every whole frame of the queue.
    int queue(float* const* data, int samples) {
        if (av_audio_fifo_write(fifo, reinterpret_cast<void**>(const_cast<float**>(data)),
                                samples) < samples) {
            return AVERROR(ENOMEM);
        }
        while (av_audio_fifo_size(fifo) >= codec->frame_size) {
            const int rc = encode(codec->frame_size);
            if (rc < 0) {
                return rc;
            }
        }
        return 0;
    }
};

WmaWriter::WmaWriter() {
    for (std::size_t i = 0; i < m_attributes.size(); ++i) {
        m_attributes[i].name = wma::kWriterAttributes[i];
    }
    TagRecord empty;
    setAttributes(empty);
}

WmaWriter::~WmaWriter() {
    if (m_session) {
        end();
    }
    release();
}

bool WmaWriter::probe() {
    const int missing = AVERROR_ENCODER_NOT_FOUND;
    if (avcodec_find_encoder(AV_CODEC_ID_WMAV2) == nullptr ||
        av_guess_format("asf", nullptr, nullptr) == nullptr) {
        qCWarning(lcWma, "WMCreateWriter error 0x%08x", hex(missing));
        return false;
    }
    return true;
}

std::vector<WmaWriter::ProfileEntry> WmaWriter::listProfiles() {
    qCDebug(lcWma, "Profile Indexes are as follows:");
    std::vector<ProfileEntry> entries;
    const auto profiles = WmaProfile::all();
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        if (profiles[i].name.find("Audio") == std::string_view::npos) {
            continue;
        }
        entries.push_back({std::string(profiles[i].name), static_cast<int>(i)});
        qCDebug(lcWma, "%d %s", static_cast<int>(i), entries.back().name.c_str());
    }
    return entries;
}

bool WmaWriter::selectProfile(int index) {
    const bool known = WmaProfile::at(index) != nullptr;
    m_profile = known ? index : -1;
    return known || index == -1;
}

void WmaWriter::setAttributes(const TagRecord& record) {
    auto set = [this](std::string_view name, std::string_view value) {
        for (Attribute& attribute : m_attributes) {
            if (attribute.name == name) {
                attribute.value = text::fitCapacity(value, kValueCapacity);
            }
        }
    };
    set(wma::kAuthor, record.artist);
    set(wma::kTitle, record.title);
    set(wma::kAlbumTitle, record.album);
    set(wma::kCopyright, record.copyright);
    set(wma::kComposer, record.composer);
    set(wma::kGenre, record.genre);
    const bool noDescription = text::trimBlanks(record.description).empty();
    set(wma::kDescription, noDescription ? std::string_view(product::kHomePage)
                                         : std::string_view(record.description));
}

std::string WmaWriter::attribute(std::string_view name) const {
    for (const Attribute& attribute : m_attributes) {
        if (attribute.name == name) {
            return attribute.value;
        }
    }
    return {};
}

std::uint64_t WmaWriter::advance(std::uint64_t time, std::uint64_t bytes,
                                 std::uint32_t bytesPerSecond) {
    if (bytesPerSecond == 0) {
        return time;
    }
    return time + bytes * kTicksPerSecond / bytesPerSecond;
}

int WmaWriter::begin(const AudioFormat& format, const std::string& fileName) {
    release();
    m_sampleTime = 0;
    m_bytesWritten = 0;
    m_errorCode = 0;
    m_errorText.clear();

    auto session = std::make_unique<Session>();
    const AVCodec* codec = nullptr;
    int rc = createContainer(*session, fileName, codec);
    if (rc >= 0) {
        rc = checkConversion(format);
    }
    // The profile's rate and channel count, made from 16- or 8-bit PCM of any usual rate.
    const WmaProfile* profile = WmaProfile::at(m_profile);
    if (rc >= 0) {
        rc = openEncoder(*session, *codec, *profile);
    }
    if (rc >= 0) {
        rc = setMetadata(*session);
    }
    if (rc >= 0) {
        rc = createFile(*session, fileName);
    }
    if (rc >= 0) {
        rc = startStream(*session, format, *profile, fileName);
        if (rc < 0) {
            // A file this start made holds nothing: it does not stay.
            const bool created = session->file.created();
            session.reset();
            if (created) {
                std::remove(fileName.c_str());
            }
        }
    }
    if (rc < 0) {
        return rc;
    }
    session->input = format;
    m_bytesPerSecond = format.bytesPerSecond();
    m_session = std::move(session);
    return 0;
}

int WmaWriter::createContainer(Session& session, const std::string& fileName,
                               const AVCodec*& codec) {
    codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    int rc = codec == nullptr ? AVERROR_ENCODER_NOT_FOUND : 0;
    if (rc == 0) {
        rc = avformat_alloc_output_context2(&session.format, nullptr, "asf", fileName.c_str());
    }
    if (rc < 0) {
        qCWarning(lcWma, "WMCreateWriter error 0x%08x", hex(rc));
    }
    return rc;
}

int WmaWriter::checkConversion(const AudioFormat& format) {
    std::string problem = conversionProblem(format, m_profile);
    if (problem.empty()) {
        return 0;
    }
    const int rc = AVERROR(EINVAL);
    m_errorText = std::move(problem);
    qCWarning(lcWma, WmaProfile::at(m_profile) == nullptr ? "GetInputFormatCount error 0x%08x"
                                                          : "SetInputProps error 0x%08x",
              hex(rc));
    qCWarning(lcWma) << m_errorText.c_str();
    return rc;
}

int WmaWriter::openEncoder(Session& session, const AVCodec& codec, const WmaProfile& profile) {
    AVCodecContext* context = avcodec_alloc_context3(&codec);
    session.codec = context;
    if (context == nullptr) {
        const int rc = AVERROR(ENOMEM);
        qCWarning(lcWma, "BeginWriting error 0x%08x", hex(rc));
        return rc;
    }
    context->sample_fmt = AV_SAMPLE_FMT_FLTP;
    context->sample_rate = profile.sampleRate;
    av_channel_layout_default(&context->ch_layout, profile.channels);
    context->bit_rate = profile.bitRate;
    context->time_base = AVRational{1, profile.sampleRate};
    if ((session.format->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    int rc = avcodec_open2(context, &codec, nullptr);
    if (rc >= 0) {
        session.stream = avformat_new_stream(session.format, nullptr);
        rc = session.stream == nullptr
                 ? AVERROR(ENOMEM)
                 : avcodec_parameters_from_context(session.stream->codecpar, context);
    }
    if (rc < 0) {
        qCWarning(lcWma, "BeginWriting error 0x%08x", hex(rc));
        qCWarning(lcWma) << "the encoder refused the profile:" << ffmpegText(rc).c_str();
        return rc;
    }
    session.stream->time_base = context->time_base;
    return 0;
}

int WmaWriter::setMetadata(Session& session) const {
    for (const Attribute& attribute : m_attributes) {
        const char* key = metadataKey(attribute.name);
        if (key == nullptr || attribute.value.empty()) {
            continue;
        }
        const int rc = av_dict_set(&session.format->metadata, key, attribute.value.c_str(), 0);
        if (rc < 0) {
            qCWarning(lcWma, "Failed to set attribute %s (hr=0x%08x)",
                      std::string(attribute.name).c_str(), hex(rc));
            return rc;
        }
    }
    return 0;
}

int WmaWriter::createFile(Session& session, const std::string& fileName) {
    const int rc = session.open(fileName);
    if (rc < 0) {
        fail(rc, session.systemCode(rc), "cannot create \"" + fileName + "\"");
        qCWarning(lcWma, "SetOutputFilename error 0x%08x", hex(rc));
        qCWarning(lcWma) << m_errorText.c_str();
    }
    return rc;
}

int WmaWriter::startStream(Session& session, const AudioFormat& format, const WmaProfile& profile,
                           const std::string& fileName) {
    // Small packets at low bit rates, so that a packet completes within a quarter of a second.
    const int packetBytes =
        std::clamp(profile.bitRate / 8 / kPacketsPerSecond, kMinPacketBytes, kDefaultPacketBytes);
    int rc = session.writeHeader(packetBytes);
    if (rc >= 0) {
        rc = session.openResampler(format, profile.channels);
    }
    if (rc >= 0) {
        rc = session.allocateFrames(profile.channels);
    }
    if (rc >= 0) {
        rc = session.queuePadding();
    }
    if (rc < 0) {
        fail(rc, session.systemCode(rc), "cannot start writing \"" + fileName + "\"");
        qCWarning(lcWma, "BeginWriting error 0x%08x", hex(rc));
        qCWarning(lcWma) << m_errorText.c_str();
    }
    return rc;
}

int WmaWriter::write(const std::uint8_t* pcm, std::size_t bytes, std::uint64_t* total) {
    if (!m_session) {
        return AVERROR(EINVAL);
    }
    Session& s = *m_session;
    const auto frameBytes = static_cast<std::size_t>(s.input.blockAlign());
    const std::size_t frames = bytes / frameBytes;
    int rc = 0;
    if (frames > 0) {
        if (frames > static_cast<std::size_t>(INT32_MAX / 8)) {
            return AVERROR(EINVAL);
        }
        const std::uint8_t* in[1] = {pcm};
        rc = s.convert(in, static_cast<int>(frames));
    }
    const std::uint64_t time = advance(m_sampleTime, bytes, m_bytesPerSecond);
    if (rc >= 0 && time - s.flushedAt >= kFlushTicks) {
        s.flushedAt = time;
        rc = s.flush();
    }
    if (rc < 0) {
        fail(rc, s.systemCode(rc), "cannot write");
        qCWarning(lcWma, "WriteSample error 0x%08x", hex(rc));
        qCWarning(lcWma) << m_errorText.c_str();
        return rc;
    }
    if (total != nullptr) {
        const std::int64_t size = avio_tell(s.format->pb);
        *total = size > 0 ? static_cast<std::uint64_t>(size) : 0;
    }
    m_bytesWritten += bytes;
    m_sampleTime = time;
    return 0;
}

int WmaWriter::end() {
    if (!m_session) {
        return AVERROR(EINVAL);
    }
    Session& s = *m_session;
    // What the resampler still holds of the recording's end comes out first.
    int rc = s.convert(nullptr, 0);
    // The queue holds more than a frame when a write failed part-way through its frames: it is
    // encoded a frame at a time, as the frame's buffer holds no more. The last frame may be
    // short; the encoder takes it as it is.
    for (int left = av_audio_fifo_size(s.fifo); left > 0 && rc >= 0;
         left = av_audio_fifo_size(s.fifo)) {
        rc = s.encode(std::min(left, s.codec->frame_size));
    }
    if (rc >= 0) {
        rc = avcodec_send_frame(s.codec, nullptr);
    }
    if (rc >= 0) {
        rc = s.drain();
    }
    // The trailer is written even after an encoding failure, so the file stays readable.
    const int trailer = av_write_trailer(s.format);
    if (rc >= 0) {
        rc = trailer;
    }
    const int flushed = s.flush();
    if (rc >= 0) {
        rc = flushed;
    }
    if (s.ioError != 0) {
        s.keepWholePackets();
    }
    if (!s.file.close() && rc >= 0) {
        rc = AVERROR(s.file.errorCode());
    }
    if (rc < 0) {
        fail(rc, s.systemCode(rc), "cannot complete the file");
        qCWarning(lcWma, "EndWriting error 0x%08x", hex(rc));
        qCWarning(lcWma) << m_errorText.c_str();
    }
    m_session.reset();
    return rc < 0 ? rc : 0;
}

std::string WmaWriter::conversionProblem(const AudioFormat& format, int profileIndex) {
    const WmaProfile* profile = WmaProfile::at(profileIndex);
    if (profile == nullptr) {
        return "no WMA profile is chosen";
    }
    const bool convertible = (format.channels == 1 || format.channels == 2) &&
                             (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
                             format.sampleRate >= kLowestInputRate &&
                             format.sampleRate <= kHighestInputRate;
    if (convertible) {
        return {};
    }
    return "the WMA profile \"" + std::string(profile->name) + "\" (" +
           std::to_string(profile->sampleRate) + " Hz, " + std::to_string(profile->channels) +
           (profile->channels == 1 ? " channel" : " channels") + ") cannot be made from " +
           std::to_string(format.channels) + " channels of " +
           std::to_string(format.bitsPerSample) + "-bit sound at " +
           std::to_string(format.sampleRate) + " Hz: it takes 1 or 2 channels of 8- or 16-bit " +
           "sound at " + std::to_string(kLowestInputRate) + " to " +
           std::to_string(kHighestInputRate) + " Hz";
}

void WmaWriter::release() {
    m_session.reset();
}

void WmaWriter::fail(int code, int systemCode, const std::string& what) {
    m_errorCode = systemCode;
    m_errorText =
        what + ": " + (systemCode != 0 ? RecordingFile::errorText(systemCode) : ffmpegText(code));
}

}  // namespace orvel
