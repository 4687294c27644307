#include "encoders/AttributeEditor.h"

#include <gtest/gtest.h>

#include <taglib/asffile.h>

#include "Decoded.h"
#include "Recording.h"
#include "encoders/Id3v1Tag.h"
#include "encoders/WmaProfile.h"
#include "support/Signal.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using test::TempDir;

std::string recordWma(const TempDir& dir, const std::string& name, const TagRecord& attributes) {
    const std::string path = dir.file(name);
    EncoderSettings settings;
    settings.wmaAttributes = attributes;
    const auto pcm = test::sinePcm(440.0, -6.0, 0.5, 16000, 1, 16);
    EXPECT_EQ(
        test::recordThroughEngine(pcm, {1, 16000, 16}, path, OutputFormat::Wma, settings).result,
        StartResult::Ok);
    return path;
}

TagRecord someAttributes() {
    TagRecord record;
    record.artist = "First Artist";
    record.title = "First Title";
    record.album = "First Album";
    record.copyright = "First Copyright";
    record.description = "First Description";
    record.genre = "Rock";
    return record;
}

TEST(AttributeEditor, ReadsWhatTheWriterWrote) {
    TempDir dir;
    const std::string path = recordWma(dir, "a.wma", someAttributes());
    TagRecord record;
    record.composer = "stale";
    ASSERT_TRUE(AttributeEditor::read(path, record));
    EXPECT_TRUE(record.hasTag);
    EXPECT_EQ(record.artist, "First Artist");
    EXPECT_EQ(record.title, "First Title");
    EXPECT_EQ(record.album, "First Album");
    EXPECT_EQ(record.copyright, "First Copyright");
    EXPECT_EQ(record.description, "First Description");
    EXPECT_EQ(record.genre, "Rock");
    EXPECT_EQ(record.genreNumber, 17);
    EXPECT_EQ(record.composer, "");
}

// Rewriting a file's attributes changes those it has in place and adds the missing one; every
// reader then sees the new values, and what the recorder does not edit stays.
TEST(AttributeEditor, RewritesInPlaceSoThatEveryReaderSeesTheNewValues) {
    TempDir dir;
    const std::string path = recordWma(dir, "b.wma", someAttributes());
    {
        TagLib::ASF::File file(path.c_str());
        file.tag()->setAttribute("WM/Year", TagLib::ASF::Attribute(TagLib::String("1987")));
        ASSERT_TRUE(file.save());
    }
    TagRecord changed;
    changed.artist = "Second Artist";
    changed.title = "Second Title \xC3\xA9";
    changed.album = "Second Album";
    changed.composer = "Second Composer";
    changed.copyright = "Second Copyright";
    changed.description = "Second Description";
    changed.genre = "Hard Rock";
    ASSERT_TRUE(AttributeEditor::write(path, changed));

    TagLib::ASF::File file(path.c_str());
    ASSERT_TRUE(file.isValid());
    auto* tag = file.tag();
    EXPECT_EQ(tag->title().to8Bit(true), "Second Title \xC3\xA9");
    EXPECT_EQ(tag->artist().to8Bit(true), "Second Artist");
    EXPECT_EQ(tag->copyright().to8Bit(true), "Second Copyright");
    EXPECT_EQ(tag->comment().to8Bit(true), "Second Description");
    // Title stays in the content description only: no second Title and no stale lower-case
    // copies beside it.
    EXPECT_FALSE(tag->contains("Title"));
    EXPECT_FALSE(tag->contains("title"));
    EXPECT_FALSE(tag->contains("copyright"));
    ASSERT_TRUE(tag->contains("WM/Composer"));
    ASSERT_TRUE(tag->contains("WM/Year"));
    EXPECT_EQ(tag->attribute("WM/Year").front().toString().to8Bit(true), "1987");
    EXPECT_EQ(tag->attribute("WM/Genre").size(), 1u);

    const auto decoded = test::decodeFile(path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_GE(decoded.frames(), 8000u);
    EXPECT_EQ(decoded.metadata.at("title"), "Second Title \xC3\xA9");
    EXPECT_EQ(decoded.metadata.at("artist"), "Second Artist");
    EXPECT_EQ(decoded.metadata.at("album"), "Second Album");
    EXPECT_EQ(decoded.metadata.at("composer"), "Second Composer");
    EXPECT_EQ(decoded.metadata.at("copyright"), "Second Copyright");
    EXPECT_EQ(decoded.metadata.at("comment"), "Second Description");
    EXPECT_EQ(decoded.metadata.at("genre"), "Hard Rock");

    TagRecord again;
    ASSERT_TRUE(AttributeEditor::read(path, again));
    changed.genreNumber = 79;
    changed.hasTag = true;
    EXPECT_EQ(again, changed);
}

TEST(AttributeEditor, TextsAreCutToTheRecordsCapacity) {
    TempDir dir;
    const std::string path = recordWma(dir, "c.wma", someAttributes());
    TagRecord record = someAttributes();
    record.title = std::string(200, 't');
    ASSERT_TRUE(AttributeEditor::write(path, record));
    TagRecord read;
    ASSERT_TRUE(AttributeEditor::read(path, read));
    EXPECT_EQ(read.title, std::string(126, 't'));
}

TEST(AttributeEditor, DamagedOrMissingFilesGiveEmptyTexts) {
    TempDir dir;
    const std::string path = recordWma(dir, "d.wma", someAttributes());
    auto bytes = test::readBytes(path);
    TagRecord record;
    record.title = "stale";
    ASSERT_TRUE(AttributeEditor::readWmaContents(bytes, record));
    EXPECT_EQ(record.title, "First Title");

    for (std::size_t cut : {std::size_t{0}, std::size_t{16}, std::size_t{40}, std::size_t{300}}) {
        const std::vector<std::uint8_t> damaged(bytes.begin(),
                                                bytes.begin() + static_cast<long>(cut));
        record.title = "stale";
        AttributeEditor::readWmaContents(damaged, record);
        if (!record.hasTag) {
            EXPECT_EQ(record, TagRecord{}) << cut;
        }
    }
    dir.write("noise.wma", std::string(5000, '\x7f'));
    EXPECT_FALSE(AttributeEditor::read(dir.file("noise.wma"), record));
    EXPECT_EQ(record, TagRecord{});
    EXPECT_FALSE(AttributeEditor::write(dir.file("noise.wma"), someAttributes()));
    EXPECT_EQ(test::readBytes(dir.file("noise.wma")).size(), 5000u);
    EXPECT_FALSE(AttributeEditor::read(dir.file("missing.wma"), record));
    EXPECT_FALSE(AttributeEditor::write(dir.file("missing.wma"), someAttributes()));
}

TEST(AttributeEditor, Mp3FilesGoThroughTheirId3v1Tag) {
    TempDir dir;
    dir.write("song.MP3", std::string(2000, '\x11'));
    const std::string path = dir.file("song.MP3");
    EXPECT_TRUE(AttributeEditor::isMp3Path(path + "  "));
    EXPECT_FALSE(AttributeEditor::isMp3Path(dir.file("song.wma")));

    TagRecord record;
    EXPECT_FALSE(AttributeEditor::read(path, record));
    EXPECT_FALSE(record.hasTag);

    TagRecord edited;
    edited.artist = "An Artist";
    edited.title = "A title that is longer than the thirty bytes of the field";
    edited.album = "An Album";
    edited.description = "19845";
    edited.genre = "Hard Rock ";
    edited.genreNumber = 79;
    ASSERT_TRUE(AttributeEditor::write(path, edited));
    ASSERT_TRUE(AttributeEditor::read(path, record));
    EXPECT_TRUE(record.hasTag);
    EXPECT_EQ(record.artist, "An Artist");
    EXPECT_EQ(record.title, "A title that is longer than th");
    EXPECT_EQ(record.album, "An Album");
    EXPECT_EQ(record.description, "1984");
    EXPECT_EQ(record.genre, "Hard Rock");
    EXPECT_EQ(record.genreNumber, 79);
    EXPECT_EQ(test::readBytes(path).size(), 2128u);
}

}  // namespace
}  // namespace orvel
