#include "audio/WavFileCaptureSource.h"

#include <chrono>
#include <vector>

#include "audio/WavReader.h"

namespace orvel {

WavFileCaptureSource::WavFileCaptureSource(std::string path, Pacing pacing, std::size_t pieceBytes)
    : m_path(std::move(path)),
      m_pacing(pacing),
      m_pieceBytes(pieceBytes == 0 ? 4096 : pieceBytes) {}

WavFileCaptureSource::~WavFileCaptureSource() {
    stop();
}

bool WavFileCaptureSource::start(const AudioFormat& format, CaptureConsumer* consumer,
                                 std::string* error) {
    auto fail = [error](const std::string& why) {
        if (error != nullptr) {
            *error = why;
        }
        return false;
    };
    if (m_thread.joinable() || consumer == nullptr) {
        return fail("the source is already running");
    }
    const WavInfo info = WavReader::readFile(m_path);
    if (!info.ok() || info.formatTag != 1) {
        return fail("cannot read " + m_path + " as a PCM WAV file");
    }
    if (!(info.audioFormat() == format)) {
        return fail(m_path + " does not hold the recording's format");
    }
    std::FILE* file = std::fopen(m_path.c_str(), "rb");
    if (file == nullptr || std::fseek(file, static_cast<long>(info.dataOffset), SEEK_SET) != 0) {
        if (file != nullptr) {
            std::fclose(file);
        }
        return fail("cannot open " + m_path);
    }
    const std::size_t frame = static_cast<std::size_t>(format.blockAlign());
    m_pieceBytes = std::max(frame, m_pieceBytes - m_pieceBytes % frame);
    m_frameBytes = frame;
    m_consumer = consumer;
    m_stop = false;
    m_thread = std::thread([this, file, size = info.dataSize, rate = format.bytesPerSecond()] {
        run(file, size, rate);
    });
    return true;
}

void WavFileCaptureSource::stop() {
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void WavFileCaptureSource::run(std::FILE* file, std::uint64_t dataBytes,
                               std::uint32_t bytesPerSecond) {
    using namespace std::chrono;
    std::vector<std::uint8_t> piece(m_pieceBytes);
    const auto started = steady_clock::now();
    std::uint64_t sent = 0;
    bool ended = false;
    while (!m_stop) {
        if (sent >= dataBytes) {
            ended = true;
            break;
        }
        std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), dataBytes - sent));
        if (m_pacing == Pacing::AsTaken) {
            want = m_consumer->waitForRoom(want, milliseconds(50));
            want -= want % m_frameBytes;
            if (want == 0) {
                continue;
            }
        } else {
            const auto due = started + microseconds(sent * 1000000 / bytesPerSecond);
            std::this_thread::sleep_until(std::min(due, steady_clock::now() + milliseconds(20)));
            if (steady_clock::now() < due) {
                continue;
            }
        }
        const std::size_t got = std::fread(piece.data(), 1, want, file);
        if (got == 0) {
            ended = true;
            break;
        }
        m_consumer->onCapturedData(piece.data(), got);
        sent += got;
    }
    std::fclose(file);
    if (ended && !m_stop) {
        m_consumer->onCaptureEnded(CaptureEnd::EndOfInput, "end of " + m_path);
    }
}

}  // namespace orvel
