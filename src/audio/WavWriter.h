#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/AudioFormat.h"
#include "audio/RecordingFile.h"

namespace orvel {

// Writes a recording as a canonical RIFF/WAVE PCM file: a 44-byte header followed by the
// samples as they are appended.
//
// What must hold for the file on disk at every moment:
// - the header never claims more sample bytes than the file holds: samples are written first
//   and the header is brought up to date afterwards, after every append (the capture engine
//   appends a chunk of two blocks at a time) and at close, so a recorder that is killed leaves
//   a readable file whose header lacks at most the append it was in;
// - a failed or short write (a full disk, a file size limit) is reported to the caller as
//   WriteFailed, never as success; the file is cut back to the whole frames written and its
//   header made to agree, and the writer takes no further data;
// - a WAV file cannot hold more than 4 GiB: the data stops at the largest whole number of frames
//   whose sizes still fit the header's 32-bit fields; what fits of the append that reaches the
//   bound is written, and it and every later append are refused with SizeLimit.
//
// Thread contract: not shared; one thread at a time (opened by the GUI thread, appended to by
// the writer thread, closed by the finaliser thread after the writer thread has ended).
class WavWriter {
public:
    enum class Result {
        Ok,
        Empty,         // an append of zero bytes: nothing done
        NotOpen,       // no file is open
        BadFormat,     // not a format the recorder records
        CannotCreate,  // the file could not be created or its header written
        WriteFailed,   // a write failed or was cut short; see errorText()
        SizeLimit,     // the file has reached the largest size a WAV file can have
    };

    static constexpr std::size_t kHeaderBytes = 44;
    // The largest data size whose RIFF size (data + 36) still fits 32 bits.
    static constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;

    // `dataLimit` lowers the size bound (never raises it above kMaxDataBytes).
    explicit WavWriter(std::uint64_t dataLimit = kMaxDataBytes);
    ~WavWriter();  // closes an open file as close() does
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Creates (or truncates) the file and writes the header with data size 0; it never waits
    // (see RecordingFile). An open file is closed first. Ok, BadFormat or CannotCreate.
    Result open(const std::string& path, const AudioFormat& format);
    // Appends sample bytes (whole frames are expected). Ok, Empty, NotOpen, WriteFailed or
    // SizeLimit; after WriteFailed or SizeLimit every append returns the same without writing.
    Result append(const void* data, std::size_t length);
    // Rewrites the header with the final sizes and closes the file. Ok, NotOpen, or WriteFailed
    // when the header or the close failed. An earlier failure of an append is not repeated here:
    // failed() still tells it.
    Result close();

    bool isOpen() const { return m_file.isOpen(); }
    // Sample bytes in the file (what the header says after close).
    std::uint32_t dataBytes() const { return static_cast<std::uint32_t>(m_dataBytes); }
    // An append failed or met the size bound since the last open.
    bool failed() const { return m_failure != Result::Ok; }
    // The system's reason for the last failure (empty when there was none); errorCode() is its
    // errno value, 0 for the size bound.
    const std::string& errorText() const { return m_errorText; }
    int errorCode() const { return m_errorCode; }

    // The 44-byte header for a file of the given format holding `dataBytes` sample bytes.
    static std::array<std::uint8_t, kHeaderBytes> header(const AudioFormat& format,
                                                         std::uint32_t dataBytes);

private:
    Result fail(Result result, int errorCode, const std::string& text);
    bool writeHeader();

    std::uint64_t m_requestedLimit;
    std::uint64_t m_limit = 0;  // the bound rounded down to whole frames for the open file
    RecordingFile m_file;
    std::string m_path;
    AudioFormat m_format;
    std::uint64_t m_dataBytes = 0;
    std::uint64_t m_headerBytes = 0;  // the data size the header on disk holds
    Result m_failure = Result::Ok;
    int m_errorCode = 0;
    std::string m_errorText;
};

}  // namespace orvel
