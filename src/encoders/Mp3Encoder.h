#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>

#include "encoders/LameLibrary.h"
#include "encoders/Mp3Options.h"

namespace orvel {

// One constant-bit-rate MP3 stream of a recording through the bound encoder library: configured
// at record start, fed whole chunks of 16-bit PCM by the writer thread, closed by the finaliser
// (flush, the encoder's tag frame, the ID3v1 tag, the file closed). Also reads and rewrites the
// ID3v1 tag of existing files.
//
// The stream starts with the encoder's tag frame (a silent frame holding the encoder delay and
// the padding): decoders then return exactly the recorded samples, not about 1400 more.
//
// Thread contract: configure, encode and close are called by one thread at a time, in that
// order (start on the owner thread, encode on the writer, close on the finaliser); the tag
// operations are self-contained, any thread.
class Mp3Encoder {
public:
    // MPEG channel modes as the encoder numbers them.
    enum Mode : int { Stereo = 0, JointStereo = 1, DualChannel = 2, Mono = 3 };

    // The stream's configuration record.
    struct Config {
        int sampleRate = 44100;  // Hz of the PCM handed over
        int mode = Stereo;
        int bitRateKbps = 128;
        bool crc = false;
        bool copyright = false;
        bool original = false;
        bool privateBit = false;

        // Mono for 1 channel, stereo for 2, dual channel for any other count.
        static int modeForChannels(int channels);
        // The record of a recording: mode from its channel count, flags from the options.
        static Config forRecording(int channels, int sampleRate, int bitRateKbps,
                                   const Mp3Options& options);
        int channels() const { return mode == Mono ? 1 : 2; }
    };

    // What a configured stream asks of its caller.
    struct Setup {
        std::size_t samplesPerChunk = 0;  // 16-bit samples over all channels per encode call
        std::size_t bufferBytes = 0;      // output buffer that any chunk and the flush fit in
    };

    struct EncodeResult {
        enum class Status { Ok, EncodeFailed, WriteFailed };
        Status status = Status::Ok;
        std::size_t bytes = 0;  // encoded bytes written to the file
        int error = 0;          // WriteFailed: the errno of the failing write
        bool ok() const { return status == Status::Ok; }
    };

    explicit Mp3Encoder(const LameLibrary& library);
    ~Mp3Encoder();  // a stream still open is dropped without writing anything
    Mp3Encoder(const Mp3Encoder&) = delete;
    Mp3Encoder& operator=(const Mp3Encoder&) = delete;

    // Opens the stream; none when the library is not bound or refuses the configuration.
    std::optional<Setup> configure(const Config& config);
    bool isOpen() const { return m_flags != nullptr; }

    // Encodes `samples` 16-bit samples (whole frames of all channels, at most samplesPerChunk)
    // and writes what the encoder returns to `file`. A chunk the encoder refuses leaves the file
    // unchanged and counts nothing.
    EncodeResult encode(std::FILE* file, const std::int16_t* pcm, std::size_t samples,
                        std::span<std::uint8_t> buffer);

    // Flushes the encoder, writes its tag frame over the placeholder at the start of the file,
    // appends the ID3v1 tag when the options want one and data was written, and closes the
    // file. False when something could not be written; the file is closed in any case.
    bool close(std::FILE* file, std::span<std::uint8_t> buffer, const Mp3Options& options);

    // Samples (all channels) handed to the encoder since configure.
    std::uint64_t samplesEncoded() const { return m_samples; }

    // The ID3v1 texts and genre of an existing file into `options` (flags untouched); false
    // when the file has no tag or cannot be read.
    static bool readTag(const std::string& path, Mp3Options& options);
    // Replaces the file's ID3v1 tag, or appends one; false when the file cannot be written.
    static bool writeTag(const std::string& path, const Mp3Options& options);

private:
    const LameLibrary& m_library;
    LameLibrary::Flags* m_flags = nullptr;
    int m_channels = 2;
    std::uint64_t m_samples = 0;
};

}  // namespace orvel
