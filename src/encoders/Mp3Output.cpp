#include "encoders/Mp3Output.h"

#include <stdio.h>

#include <QLoggingCategory>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "audio/CaptureEngine.h"
#include "audio/RecordingFile.h"

Q_DECLARE_LOGGING_CATEGORY(lcMp3)

namespace orvel {

namespace {

constexpr int kLowestRate = 32000;
// Nothing is written before the first second of sound: the start sets the first block aside
// instead, so that a full disk refuses the recording at once and leaves no empty file.
constexpr std::size_t kReservedBytes = 4096;

}  // namespace

Mp3Output::Mp3Output(const LameLibrary& library, const Mp3Options& options)
    : m_encoder(library), m_options(options) {}

Mp3Output::~Mp3Output() {
    if (!m_finished && m_file != nullptr) {
        std::fclose(m_file);
    }
}

std::unique_ptr<Mp3Output> Mp3Output::open(const LameLibrary& library, const OutputRequest& request,
                                           int bitRateKbps, const Mp3Options& options,
                                           StartResult& result) {
    if (!library.available()) {
        result = StartResult::Mp3Support;
        return nullptr;
    }
    const AudioFormat& format = request.audio;
    if (!format.is16Bit() || format.sampleRate < kLowestRate ||
        (format.channels != 1 && format.channels != 2)) {
        qCWarning(lcMp3) << "MP3 recordings take 16-bit PCM at 32000 Hz or more, not"
                         << format.bitsPerSample << "bits at" << format.sampleRate << "Hz";
        result = StartResult::FormatError;
        return nullptr;
    }
    std::unique_ptr<Mp3Output> output(new Mp3Output(library, options));
    const auto setup = output->m_encoder.configure(
        Mp3Encoder::Config::forRecording(format.channels, format.sampleRate, bitRateKbps, options));
    if (!setup) {
        result = StartResult::FormatError;
        return nullptr;
    }
    try {
        output->m_buffer.resize(setup->bufferBytes);
        output->m_aligned.reserve(setup->samplesPerChunk);
    } catch (const std::bad_alloc&) {
        result = StartResult::MemError;
        return nullptr;
    }
    output->m_chunkBytes = setup->samplesPerChunk * sizeof(std::int16_t);
    output->m_path = request.fileName;
    RecordingFile file;
    if (file.create(request.fileName) && file.reserve(kReservedBytes)) {
        output->m_file = ::fdopen(file.fd(), "wb");
        if (output->m_file != nullptr) {
            file.release();
        }
    }
    if (output->m_file == nullptr) {
        const int error = file.errorCode() != 0 ? file.errorCode() : errno;
        const std::string text =
            "cannot create \"" + request.fileName + "\": " + RecordingFile::errorText(error);
        if (request.error != nullptr) {
            *request.error = {error, text};
        }
        qCWarning(lcMp3) << text.c_str();
        result = StartResult::FileError;
        return nullptr;
    }
    output->m_flushEvery =
        static_cast<std::uint64_t>(format.sampleRate) * static_cast<std::uint64_t>(format.channels);
    result = StartResult::Ok;
    return output;
}

bool Mp3Output::write(const std::uint8_t* pcm, std::size_t bytes) {
    if (m_file == nullptr || !m_error.empty()) {
        return false;
    }
    // The output buffer holds what one chunk can give: more is encoded a chunk at a time.
    for (std::size_t at = 0; at < bytes; at += m_chunkBytes) {
        const std::size_t piece = std::min(m_chunkBytes, bytes - at);
        const std::size_t samples = piece / sizeof(std::int16_t);
        const auto* data = reinterpret_cast<const std::int16_t*>(pcm + at);
        if (reinterpret_cast<std::uintptr_t>(pcm + at) % alignof(std::int16_t) != 0) {
            m_aligned.resize(samples);
            std::memcpy(m_aligned.data(), pcm + at, samples * sizeof(std::int16_t));
            data = m_aligned.data();
        }
        const auto encoded = m_encoder.encode(m_file, data, samples, m_buffer);
        if (!encoded.ok()) {
            m_error = encoded.status == Mp3Encoder::EncodeResult::Status::WriteFailed
                          ? writeError(encoded.error)
                          : "the MP3 encoder refused the recording's data";
            return false;
        }
        m_bytesWritten.fetch_add(encoded.bytes);
        m_unflushed += samples;
    }
    // What the stream buffer holds would be lost with the recorder: it goes to the file at
    // least once a second of sound, whatever the bit rate.
    if (m_unflushed >= m_flushEvery) {
        m_unflushed = 0;
        if (std::fflush(m_file) != 0) {
            m_error = writeError(errno);
            return false;
        }
    }
    return true;
}

bool Mp3Output::finish() {
    if (m_finished || m_file == nullptr) {
        return false;
    }
    m_finished = true;
    std::FILE* file = m_file;
    m_file = nullptr;
    const bool ok = m_encoder.close(file, m_buffer, m_options);
    if (!ok && m_error.empty()) {
        m_error = "cannot complete " + m_path;
    }
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    return ok && m_error.empty();
}

std::string Mp3Output::writeError(int code) const {
    return "cannot write \"" + m_path + "\": " + RecordingFile::errorText(code);
}

std::string Mp3Output::lastError() const {
    return m_error;
}

}  // namespace orvel
