#include "encoders/Id3v1Tag.h"

#include <gtest/gtest.h>

#include <taglib/id3v1tag.h>
#include <taglib/mpegfile.h>

#include "Decoded.h"
#include "Recording.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using test::TempDir;

TEST(Mp3Options, TextsAreCutToTheirFieldsAtACharacterBoundary) {
    Mp3Options options;
    options.setTitle("A title of thirty-five characters!!");
    EXPECT_EQ(options.title(), "A title of thirty-five charact");
    // Sixteen two-byte characters are 32 bytes: the cut keeps fifteen, not half of one.
    std::string accents;
    for (int i = 0; i < 16; ++i) {
        accents += "\xC3\xA9";
    }
    options.setArtist(accents);
    EXPECT_EQ(options.artist(), accents.substr(0, 30));
    options.setAlbum(accents.substr(0, 4) + "x" + accents);
    EXPECT_EQ(options.album().size(), 29u);
    options.setYear("20245");
    EXPECT_EQ(options.year(), "2024");
}

TEST(Id3v1Tag, LaysOutTheFieldsAsTheFormatHasThem) {
    Id3v1Tag tag;
    tag.title = "Title";
    tag.artist = "Artist";
    tag.album = "Album";
    tag.year = "2006";
    tag.genre = 79;
    const auto bytes = tag.bytes();
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "TAG");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[3])), "Title");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[33])), "Artist");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[63])), "Album");
    EXPECT_EQ(std::string(bytes.begin() + 93, bytes.begin() + 97), "2006");
    for (std::size_t i = 97; i < 126; ++i) {
        EXPECT_EQ(bytes[i], 0) << i;
    }
    EXPECT_EQ(bytes[126], 1);
    EXPECT_EQ(bytes[127], 79);
    EXPECT_EQ(Id3v1Tag::parse(bytes), tag);
}

TEST(Id3v1Tag, ReadsPaddedAndLatin1TagsWrittenElsewhere) {
    std::array<std::uint8_t, 128> block{};
    const std::string fields = std::string("TAG") + "Caf\xE9 Song" + std::string(21, ' ');
    std::copy(fields.begin(), fields.end(), block.begin());
    const std::string artist =
        "\xC3\x9C"
        "ber";  // already UTF-8
    std::copy(artist.begin(), artist.end(), block.begin() + 33);
    block[126] = 7;
    block[125] = 'x';  // a 30-byte comment: no track number
    block[127] = 255;
    const auto tag = Id3v1Tag::parse(block);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->title, "Caf\xC3\xA9 Song");
    EXPECT_EQ(tag->artist, artist);
    EXPECT_EQ(tag->album, "");
    EXPECT_EQ(tag->track, 0);
    EXPECT_EQ(tag->genre, 255);

    block[0] = 'X';
    EXPECT_FALSE(Id3v1Tag::parse(block));
    EXPECT_FALSE(Id3v1Tag::fromFileContents(std::span<const std::uint8_t>(block.data(), 100)));
}

TEST(Id3v1Tag, FilesWithoutATagGetOneAppendedAndATaggedFileKeepsItsLength) {
    TempDir dir;
    const std::string path = dir.file("audio.mp3");
    dir.write("audio.mp3", std::string(1000, '\x55'));
    EXPECT_FALSE(Id3v1Tag::readFile(path));

    Id3v1Tag tag;
    tag.title = "First";
    tag.artist = "Someone";
    tag.album = "Somewhere";
    ASSERT_TRUE(Id3v1Tag::writeFile(path, tag));
    EXPECT_EQ(test::readBytes(path).size(), 1128u);
    tag.title = "Second";
    ASSERT_TRUE(Id3v1Tag::writeFile(path, tag));
    const auto bytes = test::readBytes(path);
    ASSERT_EQ(bytes.size(), 1128u);
    EXPECT_EQ(bytes[999], 0x55);
    EXPECT_EQ(Id3v1Tag::readFile(path)->title, "Second");

    EXPECT_FALSE(Id3v1Tag::writeFile(dir.file("missing.mp3"), tag));
    EXPECT_FALSE(test::fileExists(dir.file("missing.mp3")));
    dir.write("short.mp3", "TAG");
    EXPECT_FALSE(Id3v1Tag::readFile(dir.file("short.mp3")));
}

// A tag another program wrote keeps its comment and track when the recorder replaces the texts
// it edits.
TEST(Id3v1Tag, ReplacingAForeignTagKeepsItsCommentAndTrack) {
    TempDir dir;
    const std::string path = dir.file("foreign.mp3");
    dir.write("foreign.mp3", std::string(400, '\0'));
    {
        TagLib::MPEG::File file(path.c_str());
        auto* tag = file.ID3v1Tag(true);
        tag->setTitle("Old");
        tag->setComment("kept comment");
        tag->setTrack(9);
        ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v1, TagLib::File::StripNone, TagLib::ID3v2::v4,
                              TagLib::File::DoNotDuplicate));
    }
    Id3v1Tag mine;
    mine.title = "New";
    ASSERT_TRUE(Id3v1Tag::writeFile(path, mine));
    TagLib::MPEG::File file(path.c_str());
    ASSERT_TRUE(file.hasID3v1Tag());
    EXPECT_EQ(file.ID3v1Tag()->title().to8Bit(true), "New");
    EXPECT_EQ(file.ID3v1Tag()->comment().to8Bit(true), "kept comment");
    EXPECT_EQ(file.ID3v1Tag()->track(), 9u);
}

// Rewriting one text leaves the others' bytes alone: a Latin-1 artist written elsewhere stays
// Latin-1 and a blank-padded album keeps its padding.
TEST(Id3v1Tag, TextsThatReadTheSameKeepTheirBytes) {
    TempDir dir;
    Id3v1Tag foreign;
    foreign.title = "Old";
    auto block = foreign.bytes();
    const std::string artist = "Caf\xE9";
    const std::string album = "Album        ";
    std::copy(artist.begin(), artist.end(), block.begin() + 33);
    std::copy(album.begin(), album.end(), block.begin() + 63);
    dir.write("foreign.mp3", std::string(300, '\x11') + std::string(block.begin(), block.end()));
    const std::string path = dir.file("foreign.mp3");

    Id3v1Tag edited = *Id3v1Tag::readFile(path);
    EXPECT_EQ(edited.artist, "Caf\xC3\xA9");
    EXPECT_EQ(edited.album, "Album");
    edited.title = "New";
    ASSERT_TRUE(Id3v1Tag::writeFile(path, edited));
    const std::vector<std::uint8_t> bytes = test::readBytes(path);
    ASSERT_EQ(bytes.size(), 428u);
    const auto* tag = bytes.data() + 300;
    EXPECT_EQ(std::string(tag + 3, tag + 6), "New");
    EXPECT_EQ(std::string(tag + 33, tag + 33 + artist.size()), artist);
    EXPECT_EQ(std::string(tag + 63, tag + 63 + album.size()), album);
}

}  // namespace
}  // namespace orvel
