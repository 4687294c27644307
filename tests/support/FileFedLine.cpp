#include "support/FileFedLine.h"

#include <atomic>

#include "audio/WavFileCaptureSource.h"
#include "audio/WavWriter.h"

namespace orvel::test {

FileFedLine::FileFedLine(std::string folder, PcmMaker makePcm, bool realTime)
    : m_folder(std::move(folder)), m_makePcm(std::move(makePcm)), m_realTime(realTime) {}

FileFedLine::~FileFedLine() = default;

bool FileFedLine::start(const AudioFormat& format, CaptureConsumer* consumer, std::string* error) {
    // Every start has a file of its own: a line may be started again while the engine still
    // reads the previous one.
    static std::atomic<int> counter{0};
    const std::string path = m_folder + "/line" + std::to_string(++counter) + ".wav";
    const std::vector<std::uint8_t> pcm = m_makePcm(format);
    WavWriter writer;
    if (writer.open(path, format) != WavWriter::Result::Ok ||
        writer.append(pcm.data(), pcm.size()) != WavWriter::Result::Ok ||
        writer.close() != WavWriter::Result::Ok) {
        *error = "cannot write the line's sound to " + path;
        return false;
    }
    m_file = std::make_unique<WavFileCaptureSource>(
        path, m_realTime ? WavFileCaptureSource::Pacing::RealTime
                         : WavFileCaptureSource::Pacing::AsTaken);
    return m_file->start(format, consumer, error);
}

void FileFedLine::stop() {
    if (m_file) {
        m_file->stop();
    }
}

}  // namespace orvel::test
