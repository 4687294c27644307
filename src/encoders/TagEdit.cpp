#include "encoders/TagEdit.h"

#include <QDir>
#include <QFileInfo>

#include "audio/FileKind.h"
#include "encoders/AttributeEditor.h"

namespace orvel {

namespace {

constexpr std::uint8_t kNoGenre = 255;

QFileInfo infoOf(const std::string& path) {
    return QFileInfo(QString::fromStdString(path));
}

}  // namespace

TagEdit::TagEdit(std::string path, const std::string& recordingPath)
    : m_path(std::move(path)), m_mp3(AttributeEditor::isMp3Path(m_path)) {
    if (sameFile(m_path, recordingPath)) {
        m_status = Status::BeingRecorded;
        return;
    }
    // Only plain files: opening a FIFO would wait for a writer.
    if (file::kindOf(m_path) != file::Kind::Regular || !infoOf(m_path).isReadable()) {
        return;
    }
    const bool read = AttributeEditor::read(m_path, m_original, AttributeEditor::Texts::Whole);
    if (m_mp3) {
        if (!read) {
            // No tag yet: the edit adds one.
            m_original = TagRecord{};
            m_original.genreNumber = kNoGenre;
        }
        m_status = Status::Ready;
    } else {
        m_status = read ? Status::Ready : Status::Unreadable;
    }
}

TagEdit::Result TagEdit::write(const TagRecord& edited) const {
    Result result;
    if (m_status != Status::Ready) {
        return result;
    }
    const unsigned changed = edited.differences(m_original);
    if (changed != 0 && !AttributeEditor::write(m_path, edited, changed)) {
        return result;
    }
    result.ok = true;
    result.written = changed;
    if (!AttributeEditor::read(m_path, result.record, AttributeEditor::Texts::Whole)) {
        result.record = m_original;
    }
    return result;
}

bool TagEdit::sameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) {
        return false;
    }
    const QFileInfo first = infoOf(a);
    const QFileInfo second = infoOf(b);
    const QString firstCanonical = first.canonicalFilePath();
    const QString secondCanonical = second.canonicalFilePath();
    if (!firstCanonical.isEmpty() && !secondCanonical.isEmpty()) {
        return firstCanonical == secondCanonical;
    }
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}

}  // namespace orvel
