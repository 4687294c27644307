#include "audio/WavOutput.h"

#include <QLoggingCategory>

#include "audio/CaptureEngine.h"

Q_DECLARE_LOGGING_CATEGORY(lcCapture)

namespace orvel {

WavOutput::WavOutput(std::size_t chunkBytes) : m_chunkBytes(chunkBytes) {}

WavWriter::Result WavOutput::open(const std::string& path, const AudioFormat& format) {
    m_path = path;
    return m_writer.open(path, format);
}

bool WavOutput::write(const std::uint8_t* pcm, std::size_t bytes) {
    const auto result = m_writer.append(pcm, bytes);
    m_bytesWritten.store(m_writer.dataBytes());
    return result == WavWriter::Result::Ok || result == WavWriter::Result::Empty;
}

bool WavOutput::finish() {
    return m_writer.close() == WavWriter::Result::Ok && !m_writer.failed();
}

std::string WavOutput::lastError() const {
    if (!m_writer.failed()) {
        return {};
    }
    // The writer's text names the file and the system's reason.
    return m_writer.errorText().empty() ? "cannot write \"" + m_path + "\"" : m_writer.errorText();
}

std::unique_ptr<AudioOutput> openWavOutput(const OutputRequest& request, StartResult& result) {
    if (request.format != OutputFormat::Wav) {
        result = StartResult::FormatError;
        return nullptr;
    }
    auto output = std::make_unique<WavOutput>(static_cast<std::size_t>(request.blockBytes) * 2);
    const auto opened = output->open(request.fileName, request.audio);
    if (opened != WavWriter::Result::Ok) {
        if (request.error != nullptr) {
            *request.error = {output->writerError(), output->lastOpenError()};
        }
        qCWarning(lcCapture) << "cannot create" << QString::fromStdString(request.fileName);
        result = opened == WavWriter::Result::BadFormat ? StartResult::FormatError
                                                        : StartResult::FileError;
        return nullptr;
    }
    result = StartResult::Ok;
    return output;
}

}  // namespace orvel
