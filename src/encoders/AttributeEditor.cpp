#include "encoders/AttributeEditor.h"

#include <taglib/asffile.h>
#include <taglib/asftag.h>
#include <taglib/tbytevectorstream.h>

#include <QLoggingCategory>
#include <vector>

#include "audio/FileKind.h"
#include "config/FormatTables.h"
#include "config/Text.h"
#include "encoders/GenreTable.h"
#include "encoders/Id3v1Tag.h"
#include "encoders/WmaAttributeNames.h"

Q_DECLARE_LOGGING_CATEGORY(lcWma)

namespace orvel {

namespace {

constexpr std::uint8_t kNoGenre = 255;

TagLib::String toTagLib(std::string_view value) {
    return TagLib::String(std::string(value), TagLib::String::UTF8);
}

std::string fromTagLib(const TagLib::String& value) {
    return value.to8Bit(true);
}

std::string attributeText(const TagLib::ASF::Attribute& attribute) {
    switch (attribute.type()) {
        case TagLib::ASF::Attribute::UnicodeType:
            return fromTagLib(attribute.toString());
        case TagLib::ASF::Attribute::DWordType:
            return std::to_string(attribute.toUInt());
        case TagLib::ASF::Attribute::QWordType:
            return std::to_string(attribute.toULongLong());
        case TagLib::ASF::Attribute::WordType:
            return std::to_string(attribute.toUShort());
        case TagLib::ASF::Attribute::BoolType:
            return attribute.toBool() ? "1" : "0";
        default:
            return {};
    }
}

// Whether the content description holds the attribute, and its value there.
bool contentField(const TagLib::ASF::Tag& tag, std::string_view name, std::string* value) {
    TagLib::String field;
    if (name == wma::kTitle) {
        field = tag.title();
    } else if (name == wma::kAuthor) {
        field = tag.artist();
    } else if (name == wma::kCopyright) {
        field = tag.copyright();
    } else if (name == wma::kDescription) {
        field = tag.comment();
    } else {
        return false;
    }
    *value = fromTagLib(field);
    return true;
}

void setContentField(TagLib::ASF::Tag& tag, std::string_view name, const TagLib::String& value) {
    if (name == wma::kTitle) {
        tag.setTitle(value);
    } else if (name == wma::kAuthor) {
        tag.setArtist(value);
    } else if (name == wma::kCopyright) {
        tag.setCopyright(value);
    } else if (name == wma::kDescription) {
        tag.setComment(value);
    }
}

// The attribute's value: the content description's field when it is set, else the extended
// attribute of that name, else one whose name differs only in case.
std::string readAttribute(TagLib::ASF::Tag& tag, std::string_view name) {
    std::string value;
    if (contentField(tag, name, &value) && !value.empty()) {
        return value;
    }
    const TagLib::ASF::AttributeListMap& map = tag.attributeListMap();
    const TagLib::String exact = toTagLib(name);
    if (map.contains(exact) && !map[exact].isEmpty()) {
        return attributeText(map[exact].front());
    }
    for (const auto& [key, list] : map) {
        if (!list.isEmpty() && text::equalsIgnoreCaseAscii(fromTagLib(key), name)) {
            return attributeText(list.front());
        }
    }
    return {};
}

void writeAttribute(TagLib::ASF::Tag& tag, std::string_view name, std::string_view value) {
    const TagLib::String exact = toTagLib(name);
    const TagLib::String newValue = toTagLib(value);
    std::string ignored;
    const bool inContent = contentField(tag, name, &ignored);
    if (inContent) {
        setContentField(tag, name, newValue);
    }
    // An extended attribute of the same name is kept in step (changed in place); an extended
    // attribute is added only for names outside the content description.
    if (!inContent || tag.contains(exact)) {
        tag.setAttribute(exact, TagLib::ASF::Attribute(newValue));
    }
    std::vector<TagLib::String> variants;
    for (const auto& [key, list] : tag.attributeListMap()) {
        if (key != exact && text::equalsIgnoreCaseAscii(fromTagLib(key), name)) {
            variants.push_back(key);
        }
    }
    for (const TagLib::String& key : variants) {
        tag.removeItem(key);
    }
}

bool readFrom(TagLib::ASF::File& file, TagRecord& record, AttributeEditor::Texts texts) {
    record = TagRecord{};
    TagLib::ASF::Tag* tag = file.isValid() ? file.tag() : nullptr;
    if (tag == nullptr) {
        return false;
    }
    record.artist = readAttribute(*tag, wma::kAuthor);
    record.title = readAttribute(*tag, wma::kTitle);
    record.album = readAttribute(*tag, wma::kAlbumTitle);
    record.composer = readAttribute(*tag, wma::kComposer);
    record.description = readAttribute(*tag, wma::kDescription);
    record.genre = readAttribute(*tag, wma::kGenre);
    record.copyright = readAttribute(*tag, wma::kCopyright);
    if (texts == AttributeEditor::Texts::Cut) {
        record.fitTexts();
    }
    const int number = genre::findByName(record.genre);
    record.genreNumber = number < 0 ? kNoGenre : static_cast<std::uint8_t>(number);
    record.hasTag = true;
    return true;
}

}  // namespace

bool AttributeEditor::isMp3Path(const std::string& path) {
    return formatOfFileName(text::trimTrailingBlanks(path)) == OutputFormat::Mp3;
}

bool AttributeEditor::read(const std::string& path, TagRecord& record, Texts texts) {
    return isMp3Path(path) ? readMp3(path, record) : readWma(path, record, texts);
}

bool AttributeEditor::write(const std::string& path, const TagRecord& record, unsigned fields) {
    return isMp3Path(path) ? writeMp3(path, record, fields) : writeWma(path, record, fields);
}

bool AttributeEditor::readWma(const std::string& path, TagRecord& record, Texts texts) {
    // Opening anything but a plain file could wait for ever (a FIFO waits for a writer).
    if (file::kindOf(path) != file::Kind::Regular) {
        record = TagRecord{};
        return false;
    }
    TagLib::ASF::File file(path.c_str(), false);
    return readFrom(file, record, texts);
}

bool AttributeEditor::readWmaContents(std::span<const std::uint8_t> contents, TagRecord& record) {
    TagLib::ByteVector bytes(reinterpret_cast<const char*>(contents.data()),
                             static_cast<unsigned int>(contents.size()));
    TagLib::ByteVectorStream stream(bytes);
    TagLib::ASF::File file(&stream, false);
    return readFrom(file, record, Texts::Cut);
}

bool AttributeEditor::writeWma(const std::string& path, const TagRecord& input, unsigned fields) {
    TagRecord record = input;
    record.fitTexts();
    if (file::kindOf(path) != file::Kind::Regular) {
        qCWarning(lcWma) << "not a plain file:" << path.c_str();
        return false;
    }
    TagLib::ASF::File file(path.c_str(), false);
    TagLib::ASF::Tag* tag = file.isValid() ? file.tag() : nullptr;
    if (tag == nullptr || file.readOnly()) {
        qCWarning(lcWma) << "cannot edit the attributes of" << path.c_str();
        return false;
    }
    const auto put = [&](TagRecord::Field field, std::string_view name, const std::string& value) {
        if (fields & field) {
            writeAttribute(*tag, name, value);
        }
    };
    put(TagRecord::Artist, wma::kAuthor, record.artist);
    put(TagRecord::Title, wma::kTitle, record.title);
    put(TagRecord::Album, wma::kAlbumTitle, record.album);
    put(TagRecord::Copyright, wma::kCopyright, record.copyright);
    put(TagRecord::Description, wma::kDescription, record.description);
    put(TagRecord::Composer, wma::kComposer, record.composer);
    put(TagRecord::Genre, wma::kGenre, record.genre);
    if (!file.save()) {
        qCWarning(lcWma) << "cannot save the attributes of" << path.c_str();
        return false;
    }
    return true;
}

bool AttributeEditor::readMp3(const std::string& path, TagRecord& record) {
    record = TagRecord{};
    const auto tag = Id3v1Tag::readFile(path);
    if (!tag) {
        return false;
    }
    record.artist = tag->artist;
    record.title = tag->title;
    record.album = tag->album;
    record.description = tag->year;
    record.genre = genre::name(tag->genre);
    record.genreNumber = tag->genre;
    record.hasTag = true;
    record.fitTexts();
    return true;
}

bool AttributeEditor::writeMp3(const std::string& path, const TagRecord& record, unsigned fields) {
    Id3v1Tag tag;
    if (const auto present = Id3v1Tag::readFile(path)) {
        tag = *present;
    } else {
        tag.genre = kNoGenre;
    }
    if (fields & TagRecord::Artist) {
        tag.artist = record.artist;
    }
    if (fields & TagRecord::Title) {
        tag.title = record.title;
    }
    if (fields & TagRecord::Album) {
        tag.album = record.album;
    }
    if (fields & TagRecord::Description) {
        tag.year = record.description;
    }
    if (fields & TagRecord::Genre) {
        tag.genre = record.genreNumber;
    }
    return Id3v1Tag::writeFile(path, tag);
}

}  // namespace orvel
