#include "audio/WavWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace orvel {

namespace {

void put16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::uint8_t* at, std::uint32_t value) {
    put16(at, value & 0xFFFFu);
    put16(at + 2, value >> 16);
}

// Writes all bytes at `offset`, or at the file position when `offset` is negative. `written`
// counts the bytes that reached the file; on false errno tells why.
bool writeFully(int fd, const std::uint8_t* data, std::size_t length, off_t offset,
                std::size_t* written) {
    *written = 0;
    while (*written < length) {
        const std::size_t rest = length - *written;
        const ssize_t n =
            offset < 0 ? ::write(fd, data + *written, rest)
                       : ::pwrite(fd, data + *written, rest, offset + static_cast<off_t>(*written));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        *written += static_cast<std::size_t>(n);
    }
    return true;
}

std::string systemMessage(int errorCode) {
    return RecordingFile::errorText(errorCode);
}

}  // namespace

WavWriter::WavWriter(std::uint64_t dataLimit)
    : m_requestedLimit(std::min(dataLimit, kMaxDataBytes)) {}

WavWriter::~WavWriter() {
    if (isOpen()) {
        close();
    }
}

std::array<std::uint8_t, WavWriter::kHeaderBytes> WavWriter::header(const AudioFormat& format,
                                                                    std::uint32_t dataBytes) {
    std::array<std::uint8_t, kHeaderBytes> h{};
    std::uint8_t* p = h.data();
    std::memcpy(p, "RIFF", 4);
    put32(p + 4, dataBytes + 36);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    put32(p + 16, 16);
    put16(p + 20, 1);
    put16(p + 22, static_cast<std::uint32_t>(format.channels));
    put32(p + 24, static_cast<std::uint32_t>(format.sampleRate));
    put32(p + 28, format.bytesPerSecond());
    put16(p + 32, static_cast<std::uint32_t>(format.blockAlign()));
    put16(p + 34, static_cast<std::uint32_t>(format.bitsPerSample));
    std::memcpy(p + 36, "data", 4);
    put32(p + 40, dataBytes);
    return h;
}

WavWriter::Result WavWriter::fail(Result result, int errorCode, const std::string& text) {
    m_failure = result;
    m_errorCode = errorCode;
    m_errorText = text;
    return result;
}

bool WavWriter::writeHeader() {
    const auto h = header(m_format, static_cast<std::uint32_t>(m_dataBytes));
    std::size_t written = 0;
    if (!writeFully(m_file.fd(), h.data(), h.size(), 0, &written)) {
        return false;
    }
    m_headerBytes = m_dataBytes;
    return true;
}

WavWriter::Result WavWriter::open(const std::string& path, const AudioFormat& format) {
    if (isOpen()) {
        close();
    }
    m_failure = Result::Ok;
    m_errorCode = 0;
    m_errorText.clear();
    m_dataBytes = 0;
    m_headerBytes = 0;
    m_path = path;
    if (!format.isValid()) {
        m_errorText = "not a recording format: " + std::to_string(format.channels) + " channels, " +
                      std::to_string(format.sampleRate) + " Hz, " +
                      std::to_string(format.bitsPerSample) + " bits";
        return Result::BadFormat;
    }
    m_format = format;
    const auto align = static_cast<std::uint64_t>(format.blockAlign());
    m_limit = m_requestedLimit / align * align;

    if (!m_file.create(path)) {
        const int error = m_file.errorCode();
        m_errorCode = error;
        m_errorText = "cannot create \"" + path + "\": " + systemMessage(error);
        return Result::CannotCreate;
    }
    const auto h = header(m_format, 0);
    std::size_t written = 0;
    if (!writeFully(m_file.fd(), h.data(), h.size(), -1, &written)) {
        const int error = errno;
        m_file.close();
        m_errorCode = error;
        m_errorText = "cannot write the header of \"" + path + "\": " + systemMessage(error);
        return Result::CannotCreate;
    }
    return Result::Ok;
}

WavWriter::Result WavWriter::append(const void* data, std::size_t length) {
    if (length == 0) {
        return Result::Empty;
    }
    if (!isOpen()) {
        return Result::NotOpen;
    }
    if (m_failure != Result::Ok) {
        return m_failure;
    }
    const std::uint64_t room = m_limit - m_dataBytes;
    const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(length, room));
    std::size_t written = 0;
    const bool ok =
        writeFully(m_file.fd(), static_cast<const std::uint8_t*>(data), take, -1, &written);
    const int error = errno;
    m_dataBytes += written;

    if (!ok) {
        // Keep whole frames only, so that the file ends where its header says.
        const auto align = static_cast<std::uint64_t>(m_format.blockAlign());
        const std::uint64_t whole = m_dataBytes / align * align;
        if (whole != m_dataBytes) {
            if (::ftruncate(m_file.fd(), static_cast<off_t>(kHeaderBytes + whole)) != 0) {
                // The partial frame stays behind the data; the header does not count it.
            }
            m_dataBytes = whole;
        }
        writeHeader();
        return fail(Result::WriteFailed, error,
                    "cannot write to \"" + m_path + "\": " + systemMessage(error));
    }
    if (take < length) {
        writeHeader();
        return fail(Result::SizeLimit, 0,
                    "\"" + m_path + "\" has reached the largest size of a WAV file (4 GiB)");
    }
    if (!writeHeader()) {
        const int headerError = errno;
        return fail(
            Result::WriteFailed, headerError,
            "cannot update the header of \"" + m_path + "\": " + systemMessage(headerError));
    }
    return Result::Ok;
}

WavWriter::Result WavWriter::close() {
    if (!isOpen()) {
        return Result::NotOpen;
    }
    bool ok = writeHeader();
    int error = ok ? 0 : errno;
    if (!m_file.close() && ok) {
        ok = false;
        error = m_file.errorCode();
    }
    if (!ok) {
        return fail(Result::WriteFailed, error,
                    "cannot finish \"" + m_path + "\": " + systemMessage(error));
    }
    return Result::Ok;
}

}  // namespace orvel
