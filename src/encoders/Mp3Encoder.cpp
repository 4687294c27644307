#include "encoders/Mp3Encoder.h"

#include <QLoggingCategory>
#include <cerrno>
#include <climits>
#include <vector>

#include "encoders/Id3v1Tag.h"

Q_DECLARE_LOGGING_CATEGORY(lcMp3)

namespace orvel {

namespace {

// The encoder's documented worst case for one call: 1.25 x samples per channel + 7200 bytes.
constexpr std::size_t kWorstCaseExtra = 7200;
constexpr int kVbrOff = 0;

bool writeAll(std::FILE* file, const std::uint8_t* data, std::size_t bytes) {
    return bytes == 0 || std::fwrite(data, 1, bytes, file) == bytes;
}

int clampToInt(std::size_t value) {
    return value > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(value);
}

}  // namespace

int Mp3Encoder::Config::modeForChannels(int channels) {
    if (channels == 1) {
        return Mono;
    }
    return channels == 2 ? Stereo : DualChannel;
}

Mp3Encoder::Config Mp3Encoder::Config::forRecording(int channels, int sampleRate, int bitRateKbps,
                                                    const Mp3Options& options) {
    Config config;
    config.sampleRate = sampleRate;
    config.mode = modeForChannels(channels);
    config.bitRateKbps = bitRateKbps;
    config.crc = options.crc;
    config.copyright = options.copyright;
    config.original = options.original;
    config.privateBit = options.privateBit;
    return config;
}

Mp3Encoder::Mp3Encoder(const LameLibrary& library) : m_library(library) {}

Mp3Encoder::~Mp3Encoder() {
    if (m_flags != nullptr) {
        m_library.api().close(m_flags);
    }
}

std::optional<Mp3Encoder::Setup> Mp3Encoder::configure(const Config& config) {
    if (!m_library.available() || m_flags != nullptr) {
        return std::nullopt;
    }
    const auto& api = m_library.api();
    LameLibrary::Flags* flags = api.init();
    if (flags == nullptr) {
        qCWarning(lcMp3) << "the MP3 encoder could not be created";
        return std::nullopt;
    }
    const int channels = config.channels();
    // Each setter refuses a value out of its range; so does the encoder as a whole.
    const bool accepted = api.setInSampleRate(flags, config.sampleRate) == 0 &&
                          api.setNumChannels(flags, channels) == 0 &&
                          api.setBitRate(flags, config.bitRateKbps) == 0 &&
                          api.setMode(flags, config.mode) == 0 && api.setVbr(flags, kVbrOff) == 0 &&
                          api.setErrorProtection(flags, config.crc ? 1 : 0) == 0 &&
                          api.setCopyright(flags, config.copyright ? 1 : 0) == 0 &&
                          api.setOriginal(flags, config.original ? 1 : 0) == 0 &&
                          api.setExtension(flags, config.privateBit ? 1 : 0) == 0 &&
                          api.setWriteVbrTag(flags, 1) == 0 && api.initParams(flags) >= 0;
    if (!accepted) {
        qCWarning(lcMp3) << "the MP3 encoder refused" << config.sampleRate << "Hz,"
                         << config.bitRateKbps << "kbit/s, mode" << config.mode;
        api.close(flags);
        return std::nullopt;
    }
    const int frameSize = api.getFrameSize(flags);
    if (frameSize <= 0) {
        api.close(flags);
        return std::nullopt;
    }
    m_flags = flags;
    m_channels = channels;
    m_samples = 0;

    Setup setup;
    setup.samplesPerChunk =
        static_cast<std::size_t>(frameSize) * static_cast<std::size_t>(channels);
    // The encoder's documented bound for one call covers the flush and the placeholder frame
    // the stream starts with. (Asking it how much it holds instead makes it report a flushing
    // error until a few frames have gone through.)
    setup.bufferBytes = static_cast<std::size_t>(frameSize) * 5 / 4 + kWorstCaseExtra;
    return setup;
}

Mp3Encoder::EncodeResult Mp3Encoder::encode(std::FILE* file, const std::int16_t* pcm,
                                            std::size_t samples, std::span<std::uint8_t> buffer) {
    EncodeResult result;
    if (m_flags == nullptr || buffer.empty() ||
        samples % static_cast<std::size_t>(m_channels) != 0) {
        result.status = EncodeResult::Status::EncodeFailed;
        return result;
    }
    const auto& api = m_library.api();
    const int frames = clampToInt(samples / static_cast<std::size_t>(m_channels));
    // A zero size would tell the encoder that the buffer is unbounded.
    const int size = clampToInt(buffer.size());
    int encoded = 0;
    if (m_channels == 1) {
        // The interleaved call reads a stereo stride whatever the channel count.
        encoded = api.encodeBuffer(m_flags, pcm, nullptr, frames, buffer.data(), size);
    } else {
        // The encoder only reads the samples; its declaration lacks the const.
        encoded = api.encodeInterleaved(m_flags, const_cast<std::int16_t*>(pcm), frames,
                                        buffer.data(), size);
    }
    if (encoded < 0) {
        qCWarning(lcMp3) << "the MP3 encoder refused a chunk of" << samples << "samples, code"
                         << encoded;
        result.status = EncodeResult::Status::EncodeFailed;
        return result;
    }
    m_samples += samples;
    if (!writeAll(file, buffer.data(), static_cast<std::size_t>(encoded))) {
        result.error = errno;
        result.status = EncodeResult::Status::WriteFailed;
        return result;
    }
    result.bytes = static_cast<std::size_t>(encoded);
    return result;
}

bool Mp3Encoder::close(std::FILE* file, std::span<std::uint8_t> buffer, const Mp3Options& options) {
    bool ok = true;
    if (m_flags != nullptr) {
        const auto& api = m_library.api();
        if (!buffer.empty()) {
            const int flushed = api.flush(m_flags, buffer.data(), clampToInt(buffer.size()));
            if (flushed < 0) {
                qCWarning(lcMp3) << "the MP3 encoder could not flush, code" << flushed;
                ok = false;
            } else {
                ok = writeAll(file, buffer.data(), static_cast<std::size_t>(flushed)) && ok;
            }
        }
        // The tag frame replaces the placeholder frame the stream began with; it is written
        // only once everything else is, so the frame's counts are final.
        const long end = std::ftell(file);
        // Asked with no room, the encoder tells the frame's size (0: no frame to write).
        std::vector<std::uint8_t> frame(api.tagFrame(m_flags, nullptr, 0));
        const std::size_t frameBytes =
            frame.empty() ? 0 : api.tagFrame(m_flags, frame.data(), frame.size());
        if (ok && end > 0 && frameBytes > 0 && frameBytes <= static_cast<std::size_t>(end)) {
            ok = std::fseek(file, 0, SEEK_SET) == 0 && writeAll(file, frame.data(), frameBytes) &&
                 std::fseek(file, 0, SEEK_END) == 0;
        }
        api.close(m_flags);
        m_flags = nullptr;
    }
    if (ok && std::ftell(file) > 0 && options.wantsTag()) {
        const auto tag = Id3v1Tag::fromOptions(options).bytes();
        ok = writeAll(file, tag.data(), tag.size());
    }
    if (std::fclose(file) != 0) {
        ok = false;
    }
    return ok;
}

bool Mp3Encoder::readTag(const std::string& path, Mp3Options& options) {
    const auto tag = Id3v1Tag::readFile(path);
    if (!tag) {
        return false;
    }
    tag->copyTo(options);
    return true;
}

bool Mp3Encoder::writeTag(const std::string& path, const Mp3Options& options) {
    return Id3v1Tag::writeFile(path, Id3v1Tag::fromOptions(options));
}

}  // namespace orvel
