// Arbitrary bytes as a media file: opening either succeeds with a usable stream or fails with
// a reason; decoding, converting and seeking what opened never crash and stay bounded. The
// first byte chooses the name the file is opened under (WAV, MP3, a Windows Media name or
// none), so that the ASF path and its fallback are taken too.
#include <unistd.h>

#include <QLoggingCategory>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "playback/MediaFile.h"
#include "playback/PcmConverter.h"

extern "C" {
#include <libavutil/log.h>
}

namespace {

const char* const kNames[] = {".wav", ".mp3", ".wma", ".bin"};

// Decodes and converts a bounded number of runs.
void readSome(orvel::MediaFile& file, orvel::PcmConverter& converter, int runs) {
    std::vector<std::uint8_t> out;
    orvel::DecodedAudio run;
    for (int i = 0; i < runs && out.size() < (4u << 20); ++i) {
        const orvel::MediaFile::Read read = file.next(run);
        if (read != orvel::MediaFile::Read::Audio) {
            break;
        }
        if (run.samples <= 0 || run.offset < 0) {
            std::abort();
        }
        converter.convert(run, out);
    }
    converter.flush(out);
    if (out.size() % static_cast<std::size_t>(converter.target().blockAlign()) != 0) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        av_log_set_level(AV_LOG_QUIET);
        QLoggingCategory::setFilterRules(QStringLiteral("orvel.*=false"));
        return true;
    }();
    (void)quiet;
    if (size == 0) {
        return 0;
    }
    const std::string path =
        "/tmp/orvel-media-fuzz-" + std::to_string(::getpid()) + kNames[data[0] % 4];
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return 0;
    }
    std::fwrite(data + 1, 1, size - 1, out);
    std::fclose(out);

    orvel::MediaFile file;
    const orvel::MediaError error = file.open(path);
    if (error != orvel::MediaError::None) {
        if (file.isOpen() || orvel::mediaErrorText(error).empty() || file.errorDetail().empty()) {
            std::abort();
        }
    } else {
        if (!file.isOpen() || file.sampleRate() < orvel::MediaFile::kMinRate ||
            file.sampleRate() > orvel::MediaFile::kMaxRate || file.channels() < 1 ||
            file.channels() > 64) {
            std::abort();
        }
        orvel::PcmConverter converter({2, 44100, 16});
        readSome(file, converter, 48);
        const std::int64_t middle = file.durationMs() > 0 ? file.durationMs() / 2 : 100;
        if (file.seek(middle)) {
            converter.reset();
            readSome(file, converter, 16);
        }
        if (file.seek(0)) {
            orvel::PcmConverter small({1, 8000, 8});
            readSome(file, small, 16);
        }
    }
    std::remove(path.c_str());
    return 0;
}
