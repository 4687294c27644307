#include "cli/TagsCommand.h"

#include <unistd.h>

#include <ostream>

#include "audio/FileKind.h"
#include "cli/CommandContext.h"
#include "cli/CommandText.h"
#include "config/FormatTables.h"
#include "config/Text.h"
#include "encoders/AttributeEditor.h"
#include "encoders/GenreTable.h"

namespace orvel {

namespace {

using command::inQuotes;

constexpr int kNoGenre = 255;

void printTag(std::ostream& out, const TagRecord& tag, bool mp3) {
    out << "artist: " << tag.artist << "\n"
        << "title: " << tag.title << "\n"
        << "album: " << tag.album << "\n";
    if (mp3) {
        out << "year: " << tag.description << "\n";
        if (tag.genreNumber == kNoGenre || genre::name(tag.genreNumber).empty()) {
            out << "genre: none (" << int(tag.genreNumber) << ")\n";
        } else {
            out << "genre: " << genre::name(tag.genreNumber) << " (" << int(tag.genreNumber)
                << ")\n";
        }
        return;
    }
    out << "composer: " << tag.composer << "\n"
        << "description: " << tag.description << "\n"
        << "genre: " << text::trimBlanks(tag.genre) << "\n"
        << "copyright: " << tag.copyright << "\n";
}

}  // namespace

int TagsCommand::run(const TagArguments& arguments) const {
    const std::string& path = arguments.file;
    const std::optional<OutputFormat> format = formatOfFileName(path);
    const bool mp3 = format == OutputFormat::Mp3;
    if (!mp3 && format != OutputFormat::Wma) {
        m_context.refuse("UnknowType", inQuotes(path) + ": only MP3 and WMA recordings have tags");
        return command::kExitFailed;
    }
    const file::Kind kind = file::kindOf(path);
    if (kind != file::Kind::Regular || ::access(path.c_str(), R_OK) != 0) {
        m_context.refuse("", "cannot read " + inQuotes(path) +
                                 (kind != file::Kind::Regular ? ": " + file::kindProblem(kind)
                                                              : ""));
        return command::kExitFailed;
    }
    if (arguments.changes()) {
        return rewrite(arguments, mp3);
    }
    TagRecord tag;
    if (!AttributeEditor::read(path, tag)) {
        if (!mp3) {
            m_context.refuse("", inQuotes(path) + " cannot be read as a WMA file");
            return command::kExitFailed;
        }
        m_context.out() << inQuotes(path) << " has no ID3v1 tag\n";
        return command::kExitOk;
    }
    printTag(m_context.out(), tag, mp3);
    return command::kExitOk;
}

int TagsCommand::rewrite(const TagArguments& arguments, bool mp3) const {
    const std::string& path = arguments.file;
    TagRecord tag;
    if (!AttributeEditor::read(path, tag) && !mp3) {
        m_context.refuse("", inQuotes(path) + " cannot be read as a WMA file");
        return command::kExitFailed;
    }
    tag.artist = arguments.artist.value_or(tag.artist);
    tag.title = arguments.title.value_or(tag.title);
    tag.album = arguments.album.value_or(tag.album);
    if (mp3) {
        tag.description = arguments.year.value_or(tag.description);
        for (const auto& [given, name] :
             {std::pair{arguments.composer.has_value(), "--composer"},
              std::pair{arguments.description.has_value(), "--description"},
              std::pair{arguments.copyright.has_value(), "--copyright"}}) {
            if (given) {
                m_context.note(std::string(name) + " is not kept in an ID3v1 tag: ignored");
            }
        }
    } else {
        tag.composer = arguments.composer.value_or(tag.composer);
        tag.description = arguments.description.value_or(tag.description);
        tag.copyright = arguments.copyright.value_or(tag.copyright);
        if (arguments.year) {
            m_context.note("--year is not kept in WMA attributes: ignored");
        }
    }
    if (arguments.genre) {
        tag.genreNumber = static_cast<std::uint8_t>(*arguments.genre);
        tag.genre = std::string(genre::name(*arguments.genre));
    }
    tag.fitTexts();
    if (!AttributeEditor::write(path, tag)) {
        m_context.refuse("", "cannot rewrite the tag of " + inQuotes(path));
        return command::kExitFailed;
    }
    TagRecord written;
    AttributeEditor::read(path, written);
    printTag(m_context.out(), written, mp3);
    return command::kExitOk;
}

}  // namespace orvel
