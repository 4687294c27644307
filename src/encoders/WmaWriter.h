#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "audio/AudioFormat.h"
#include "encoders/TagRecord.h"
#include "encoders/WmaAttributeNames.h"

struct AVCodec;

namespace orvel {

struct WmaProfile;

// Writes a recording as a WMA file (the WMA 2 codec in an ASF container): a profile chosen by
// index, the content attributes of its table, PCM chunks from the writer thread. The recording
// is converted to the profile's rate and channel count (resampled; stereo to mono as the mean of
// its sides, mono to stereo on both), so any profile can write any recording.
//
// Sample times count 100 ns units of the PCM handed over (64-bit, each write adding its bytes
// x 10000000 / bytes per second, truncated). The encoder's initial padding is filled with
// silence before the recording, so decoders return the first recorded sample first.
//
// The file is written so that a recorder killed at any moment leaves one that decodes: the
// container's header goes to disk at begin, and what is encoded at least twice a second (see
// the packet size in begin), so less than a second is lost. The file is opened as a
// RecordingFile (never waiting on a FIFO), and every failure keeps the system's cause.
//
// Failing steps return a negative code (an FFmpeg error) and log their diagnostic on the
// "orvel.wma" category; whatever was acquired is released.
//
// Thread contract: profile and attribute calls on the owner thread while not writing; begin,
// write and end by one thread at a time in that order (start on the owner thread, write on the
// writer thread, end on the finaliser); the accessors after end or on the writing thread.
class WmaWriter {
public:
    static constexpr std::size_t kValueCapacity = 256;  // counting a terminating zero
    static constexpr std::uint64_t kTicksPerSecond = 10000000;

    struct Attribute {
        std::string_view name;
        std::string value;
    };
    struct ProfileEntry {
        std::string name;
        int index = -1;
    };

    WmaWriter();
    ~WmaWriter();  // ends a file still being written, then releases everything
    WmaWriter(const WmaWriter&) = delete;
    WmaWriter& operator=(const WmaWriter&) = delete;

    // Whether WMA files can be written at all (the codec and the container are present).
    static bool probe();

    // The profiles whose name contains "Audio", with their indexes, in index order.
    static std::vector<ProfileEntry> listProfiles();
    // Chooses the profile of the next file; -1 (or any index outside the table, which returns
    // false) leaves none chosen.
    bool selectProfile(int index);
    int selectedProfile() const { return m_profile; }

    // Takes artist, title, album, composer, copyright and genre from the record; its
    // description too unless that is empty after trimming blanks, which gives the product's
    // home-page address. Values are cut to the table's capacity.
    void setAttributes(const TagRecord& record);
    // The value of the table's attribute `name`; empty for a name not in the table.
    std::string attribute(std::string_view name) const;

    // Creates the file and starts writing: 0, or a negative code when the file cannot be
    // created, no profile is chosen, or the format cannot be converted to the profile's.
    int begin(const AudioFormat& format, const std::string& fileName);
    // Encodes a chunk of PCM (whole frames); `total` (when given) receives the file's current
    // size. 0 or a negative code; a failed write leaves the sample time unchanged.
    int write(const std::uint8_t* pcm, std::size_t bytes, std::uint64_t* total);
    // Encodes what is left, completes and closes the file. 0 or a negative code.
    int end();
    // Drops the file being written (if any) without completing it, and every resource.
    void release();

    bool isWriting() const { return m_session != nullptr; }
    // Why the last begin, write or end failed: the system's error code when the file was the
    // cause (0 otherwise), and a text with the reason ("cannot write: No space left on device").
    int errorCode() const { return m_errorCode; }
    const std::string& errorText() const { return m_errorText; }
    std::uint64_t sampleTime() const { return m_sampleTime; }
    std::uint64_t bytesWritten() const { return m_bytesWritten; }

    // Why a recording in `format` cannot be written with the profile of that index, naming both
    // formats; empty when it can (1 or 2 channels of 8- or 16-bit PCM at any usual rate).
    static std::string conversionProblem(const AudioFormat& format, int profileIndex);

    // The sample time after `bytes` more bytes at `bytesPerSecond`.
    static std::uint64_t advance(std::uint64_t time, std::uint64_t bytes,
                                 std::uint32_t bytesPerSecond);

private:
    struct Session;
    // The steps of begin, in order; each logs its own failure.
    int createContainer(Session& session, const std::string& fileName, const AVCodec*& codec);
    int checkConversion(const AudioFormat& format);
    int openEncoder(Session& session, const AVCodec& codec, const WmaProfile& profile);
    int setMetadata(Session& session) const;
    int createFile(Session& session, const std::string& fileName);
    int startStream(Session& session, const AudioFormat& format, const WmaProfile& profile,
                    const std::string& fileName);
    void fail(int code, int systemCode, const std::string& what);

    int m_profile = -1;
    std::array<Attribute, wma::kWriterAttributes.size()> m_attributes;
    std::unique_ptr<Session> m_session;
    std::uint32_t m_bytesPerSecond = 0;
    std::uint64_t m_sampleTime = 0;
    std::uint64_t m_bytesWritten = 0;
    int m_errorCode = 0;
    std::string m_errorText;
};

}  // namespace orvel
