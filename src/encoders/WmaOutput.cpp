#include "encoders/WmaOutput.h"

#include "audio/CaptureEngine.h"
#include "encoders/WmaProfile.h"

namespace orvel {

std::unique_ptr<WmaOutput> WmaOutput::open(const OutputRequest& request, int profileIndex,
                                           const TagRecord& attributes, StartResult& result) {
    // A recording the writer cannot convert is a format the recording cannot be made in, not a
    // failure of the writer.
    if (std::string problem = WmaWriter::conversionProblem(request.audio, profileIndex);
        !problem.empty() && WmaProfile::at(profileIndex) != nullptr) {
        if (request.error != nullptr) {
            *request.error = {0, std::move(problem)};
        }
        result = StartResult::FormatError;
        return nullptr;
    }
    auto output = std::make_unique<WmaOutput>();
    output->m_writer.selectProfile(profileIndex);
    output->m_writer.setAttributes(attributes);
    if (output->m_writer.begin(request.audio, request.fileName) != 0) {
        if (request.error != nullptr) {
            *request.error = {output->m_writer.errorCode(), output->m_writer.errorText()};
        }
        result = StartResult::WmaError;
        return nullptr;
    }
    output->m_chunkBytes = static_cast<std::size_t>(request.blockBytes) * 2;
    output->m_path = request.fileName;
    result = StartResult::Ok;
    return output;
}

std::string WmaOutput::reason() const {
    // The writer's text reads "cannot write: <reason>"; the reason alone follows the file here.
    const std::string& text = m_writer.errorText();
    const std::size_t colon = text.find(": ");
    return colon == std::string::npos ? text : text.substr(colon + 2);
}

bool WmaOutput::write(const std::uint8_t* pcm, std::size_t bytes) {
    if (!m_error.empty()) {
        return false;
    }
    std::uint64_t total = 0;
    if (m_writer.write(pcm, bytes, &total) != 0) {
        m_error = "cannot write \"" + m_path + "\": " + reason();
        return false;
    }
    m_total.store(total);
    return true;
}

bool WmaOutput::finish() {
    if (!m_writer.isWriting()) {
        return false;
    }
    const bool ok = m_writer.end() == 0;
    if (!ok && m_error.empty()) {
        m_error = "cannot complete \"" + m_path + "\": " + reason();
    }
    m_writer.release();
    return ok && m_error.empty();
}

}  // namespace orvel
