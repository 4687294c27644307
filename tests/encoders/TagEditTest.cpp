#include "encoders/TagEdit.h"

#include <gtest/gtest.h>

#include <QFile>

#include "Decoded.h"
#include "encoders/Id3v1Tag.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using test::TempDir;

// The running recording's file is refused under any name that leads to it; other files, and
// every file while nothing records, are open to editing.
TEST(TagEdit, RefusesTheFileBeingRecordedUnderAnyOfItsNames) {
    TempDir dir;
    dir.write("take.mp3", std::string(500, '\x11'));
    const std::string path = dir.file("take.mp3");
    ASSERT_TRUE(
        QFile::link(QString::fromStdString(path), QString::fromStdString(dir.file("link.mp3"))));
    EXPECT_EQ(TagEdit(path, path).status(), TagEdit::Status::BeingRecorded);
    EXPECT_EQ(TagEdit(dir.path() + "/./sub/../take.mp3", path).status(),
              TagEdit::Status::BeingRecorded);
    EXPECT_EQ(TagEdit(dir.file("link.mp3"), path).status(), TagEdit::Status::BeingRecorded);
    EXPECT_EQ(TagEdit(path, "").status(), TagEdit::Status::Ready);
    EXPECT_EQ(TagEdit(path, dir.file("other.mp3")).status(), TagEdit::Status::Ready);
    EXPECT_EQ(TagEdit(dir.file("missing.mp3"), "").status(), TagEdit::Status::Unreadable);
    dir.write("noise.wma", "not a media file");
    EXPECT_EQ(TagEdit(dir.file("noise.wma"), "").status(), TagEdit::Status::Unreadable);
}

// A file without a tag gets one with only what the user typed: no genre rather than the first
// genre of the table, and a confirmation without changes writes nothing at all.
TEST(TagEdit, WritesOnlyWhatChanged) {
    TempDir dir;
    dir.write("take.mp3", std::string(500, '\x11'));
    const std::string path = dir.file("take.mp3");
    const TagEdit untouched(path, "");
    ASSERT_EQ(untouched.status(), TagEdit::Status::Ready);
    EXPECT_EQ(untouched.original().genreNumber, 255);
    const TagEdit::Result nothing = untouched.write(untouched.original());
    EXPECT_TRUE(nothing.ok);
    EXPECT_EQ(nothing.written, 0u);
    EXPECT_EQ(test::readBytes(path).size(), 500u);

    TagRecord edited = untouched.original();
    edited.title = "Morning";
    const TagEdit::Result result = untouched.write(edited);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.written, unsigned{TagRecord::Title});
    EXPECT_EQ(result.record.title, "Morning");
    const auto tag = Id3v1Tag::readFile(path);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->title, "Morning");
    EXPECT_EQ(tag->genre, 255);
}

}  // namespace
}  // namespace orvel
