#include "audio/WavReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orvel {

namespace {

// More chunks than any real file puts before its samples: a file made of nothing but tiny
// chunks is refused instead of being walked for minutes.
constexpr int kMaxChunks = 4096;

std::uint32_t get16(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}

std::uint32_t get32(const std::uint8_t* p) {
    return get16(p) | get16(p + 2) << 16;
}

// `readAt(offset, buffer, n)` fills the buffer with n bytes at offset and tells whether it
// could; `length` is the file's size.
template <class ReadAt>
WavInfo parse(std::uint64_t length, ReadAt readAt) {
    WavInfo info;
    std::uint8_t riff[12];
    if (length < sizeof riff || !readAt(0, riff, sizeof riff)) {
        info.status = length < sizeof riff ? WavInfo::Status::NotWave : WavInfo::Status::CannotOpen;
        return info;
    }
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) {
        info.status = WavInfo::Status::NotWave;
        return info;
    }
    // The RIFF size is not trusted: a recorder that was killed leaves it too small. Chunks are
    // walked up to the end of the file instead.
    bool haveFormat = false;
    std::uint64_t pos = sizeof riff;
    for (int chunks = 0; chunks < kMaxChunks && pos + 8 <= length; ++chunks) {
        std::uint8_t head[8];
        if (!readAt(pos, head, sizeof head)) {
            info.status = WavInfo::Status::CannotOpen;
            return info;
        }
        const std::uint64_t size = get32(head + 4);
        const std::uint64_t body = pos + 8;
        if (std::memcmp(head, "fmt ", 4) == 0 && !haveFormat) {
            std::uint8_t fmt[16];
            if (size < sizeof fmt || body + sizeof fmt > length) {
                info.status = WavInfo::Status::NoFormat;
                return info;
            }
            if (!readAt(body, fmt, sizeof fmt)) {
                info.status = WavInfo::Status::CannotOpen;
                return info;
            }
            info.formatTag = static_cast<int>(get16(fmt));
            info.channels = static_cast<int>(get16(fmt + 2));
            info.sampleRate = get32(fmt + 4);
            info.bytesPerSecond = get32(fmt + 8);
            info.blockAlign = static_cast<int>(get16(fmt + 12));
            info.bitsPerSample = static_cast<int>(get16(fmt + 14));
            if (info.channels == 0 || info.sampleRate == 0 || info.blockAlign == 0 ||
                info.bitsPerSample == 0) {
                info.status = WavInfo::Status::BadFormat;
                return info;
            }
            haveFormat = true;
        } else if (std::memcmp(head, "data", 4) == 0) {
            if (!haveFormat) {
                info.status = WavInfo::Status::NoFormat;
                return info;
            }
            const std::uint64_t available = length - body;
            info.dataOffset = body;
            info.dataSize = size;
            if (size == 0 || size > available) {
                const auto align = static_cast<std::uint64_t>(info.blockAlign);
                info.dataSize = available / align * align;
                info.sizeRecovered = info.dataSize != size;
            }
            info.status = WavInfo::Status::Ok;
            return info;
        }
        pos = body + size + (size & 1);
    }
    info.status = haveFormat ? WavInfo::Status::NoData : WavInfo::Status::NoFormat;
    return info;
}

}  // namespace

WavInfo WavReader::readFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return WavInfo{};
    }
    WavInfo info;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        info = parse(static_cast<std::uint64_t>(st.st_size),
                     [fd](std::uint64_t offset, std::uint8_t* buffer, std::size_t n) {
                         std::size_t done = 0;
                         while (done < n) {
                             const ssize_t got = ::pread(fd, buffer + done, n - done,
                                                         static_cast<off_t>(offset + done));
                             if (got < 0 && errno == EINTR) {
                                 continue;
                             }
                             if (got <= 0) {
                                 return false;
                             }
                             done += static_cast<std::size_t>(got);
                         }
                         return true;
                     });
    }
    ::close(fd);
    return info;
}

WavInfo WavReader::readBytes(const std::uint8_t* data, std::size_t size) {
    return parse(size, [data, size](std::uint64_t offset, std::uint8_t* buffer, std::size_t n) {
        if (offset > size || n > size - offset) {
            return false;
        }
        std::memcpy(buffer, data + offset, n);
        return true;
    });
}

WavReader::FormatTexts WavReader::formatTexts(const WavInfo& info) {
    FormatTexts texts;
    if (!info.ok()) {
        return texts;
    }
    texts.sampleRate = "Samples per second : " + std::to_string(info.sampleRate) + " ";
    texts.bits = "Bits per Sample : " + std::to_string(info.bitsPerSample) + " ";
    texts.channels = std::string("Channels : ") + (info.channels == 1 ? "Mono" : "Stereo") + " ";
    return texts;
}

}  // namespace orvel
