#include "archive/HistoryFile.h"

#include "audio/FileKind.h"
#include "audio/WavReader.h"
#include "config/FormatTables.h"
#include "config/Text.h"
#include "encoders/AttributeEditor.h"
#include "encoders/TagEdit.h"
#include "encoders/TagRecord.h"

namespace orvel {

HistoryFile::Type HistoryFile::typeOf(std::string_view path) {
    const std::optional<OutputFormat> format = formatOfFileName(text::trimTrailingBlanks(path));
    if (!format) {
        return Type::Other;
    }
    switch (*format) {
        case OutputFormat::Mp3:
            return Type::Mp3;
        case OutputFormat::Wma:
            return Type::Wma;
        case OutputFormat::Wav:
            return Type::Wav;
    }
    return Type::Other;
}

HistoryFile::PanelTexts HistoryFile::panelTexts(const std::string& path) {
    PanelTexts texts;
    const Type type = typeOf(path);
    if (type == Type::Other || file::kindOf(path) != file::Kind::Regular) {
        return texts;
    }
    if (type == Type::Wav) {
        const WavReader::FormatTexts format = WavReader::formatTexts(path);
        texts[0] = format.sampleRate;
        texts[2] = format.bits;
        texts[4] = format.channels;
        return texts;
    }
    TagRecord tag;
    if (type == Type::Mp3) {
        // A file without a tag still shows the labels.
        AttributeEditor::readMp3(path, tag);
        texts = {"Artist : " + tag.artist, "Title : " + tag.title,      "Album : " + tag.album,
                 "Genre : " + tag.genre,   "Year : " + tag.description, {}};
        return texts;
    }
    if (!AttributeEditor::readWma(path, tag)) {
        return texts;
    }
    texts = {"Artist : " + tag.artist,     "Title : " + tag.title,
             "Album : " + tag.album,       "Genre : " + tag.genre,
             "Composer : " + tag.composer, "Copyright : " + tag.copyright};
    return texts;
}

HistoryFile::EditRefusal HistoryFile::editRefusal(const std::string& path,
                                                  const std::string& recordingPath, bool playing) {
    if (!taggable(typeOf(path))) {
        return EditRefusal::NotTaggable;
    }
    if (TagEdit::sameFile(path, recordingPath)) {
        return EditRefusal::BeingRecorded;
    }
    if (playing) {
        return EditRefusal::Playing;
    }
    return EditRefusal::None;
}

}  // namespace orvel
