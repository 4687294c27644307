#include "config/OutputSettings.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include "config/FolderCheck.h"
#include "config/SettingsStore.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

using test::TempDir;

struct FolderCase {
    const char* folder;
    bool valid;
};

void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << '"' << c.folder << '"';
}

class FolderValidity : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderValidity, FollowsTheFolderRules) {
    EXPECT_EQ(FolderCheck::isValid(GetParam().folder), GetParam().valid);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Folders, FolderValidity, ::testing::Values(
    FolderCase{"/", true}, FolderCase{"/home/ann/Music", true}, FolderCase{"/tmp/two words", true},
    FolderCase{"/tmp/caf\xC3\xA9", true},
    FolderCase{"", false}, FolderCase{"Music", false}, FolderCase{"~/Music", false},
    FolderCase{"/tmp/", false}, FolderCase{"/tmp//x", false}, FolderCase{"/tmp/ x", false},
    FolderCase{"/tmp/x ", false}, FolderCase{"/tmp/\tx", false}, FolderCase{"/tmp/x.", false},
    FolderCase{"/tmp/.x", false}, FolderCase{"/tmp/..", false}, FolderCase{"/tmp/a?b", false},
    FolderCase{"/tmp/a:b", false}, FolderCase{"/tmp/a\\b", false}, FolderCase{"/tmp/a|b", false},
    FolderCase{"/tmp/a*b", false}, FolderCase{"/tmp/a\"b", false}, FolderCase{"/tmp/a<b>", false}));
// clang-format on

TEST(FolderCheck, CreatesEveryMissingLevelAndReportsWhatCannotBeMade) {
    TempDir dir;
    const std::string nested = dir.file("a/b/c");
    EXPECT_EQ(FolderCheck::check(nested), FolderCheck::Verdict::Missing);
    EXPECT_TRUE(FolderCheck::create(nested));
    EXPECT_EQ(FolderCheck::check(nested), FolderCheck::Verdict::Exists);
    dir.write("file", "x");
    EXPECT_EQ(FolderCheck::check(dir.file("file")), FolderCheck::Verdict::Missing);
    EXPECT_FALSE(FolderCheck::create(dir.file("file/sub")));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.file("file/sub"))));
}

class OutputSettingsTest : public ::testing::Test {
protected:
    OutputSettings load(const std::string& lastName) {
        store.writeLastName(lastName);
        return OutputSettings::fromStore(store, "/home/ann/Music/Orvel.wav");
    }

    TempDir dir{TempDir::Xdg::Redirect};
    SettingsStore store;
};

TEST_F(OutputSettingsTest, SplitsTheStoredPathAndTakesTheFormatFromItsName) {
    OutputSettings s = load("");
    EXPECT_EQ(s.folder, "/home/ann/Music/");
    EXPECT_EQ(s.fileName, "Orvel.WAV");
    EXPECT_EQ(s.format, OutputFormat::Wav);
    s = load("/data/rec/take.mp3");
    EXPECT_EQ(s.folder, "/data/rec/");
    EXPECT_EQ(s.fileName, "take.MP3");
    EXPECT_EQ(s.format, OutputFormat::Mp3);
    s = load("/data/rec/take.ogg");
    EXPECT_EQ(s.fileName, "take.ogg");
    EXPECT_FALSE(s.format.has_value());
    s = load("take.wma");
    EXPECT_EQ(s.folder, "");
    EXPECT_EQ(s.fileName, "");
}

TEST_F(OutputSettingsTest, FormatButtonsRewriteTheExtension) {
    const struct {
        const char* name;
        OutputFormat format;
        const char* expected;
    } cases[] = {{"take.MP3", OutputFormat::Wma, "take.WMA"},
                 {"take", OutputFormat::Wma, "take.WMA"},
                 {"  ", OutputFormat::Wma, "Orvel.WMA"},
                 {"", OutputFormat::Mp3, "Orvel.MP3"},
                 {"a.b.wav", OutputFormat::Mp3, "a.b.MP3"}};
    for (const auto& c : cases) {
        OutputSettings s;
        s.fileName = c.name;
        EXPECT_TRUE(s.chooseFormat(c.format));
        EXPECT_EQ(s.fileName, c.expected) << c.name;
        EXPECT_FALSE(s.chooseFormat(c.format)) << "pressing the lit button changed something";
    }
}

TEST_F(OutputSettingsTest, TimeStampedNamesNeedMultipleFiles) {
    OutputSettings s;
    s.toggleTimeStamped();
    EXPECT_TRUE(s.multiFile && s.timeStamped);
    s.toggleMultiFile();
    EXPECT_FALSE(s.multiFile || s.timeStamped);
    s.toggleMultiFile();
    EXPECT_TRUE(s.multiFile && !s.timeStamped);
}

// Saving creates the folder; a folder that is relative or cannot be created writes nothing.
TEST_F(OutputSettingsTest, SaveCreatesTheFolderOrWritesNothing) {
    OutputSettings s = load("/old/take.wav");
    s.multiFile = s.alert = true;
    s.folder = "recordings/";
    EXPECT_EQ(s.save(store), OutputSettings::SaveResult::FolderInvalid);
    dir.write("file", "x");
    s.folder = dir.file("file/sub");
    EXPECT_EQ(s.save(store), OutputSettings::SaveResult::FolderNotCreated);
    EXPECT_EQ(store.readLastName(), "/old/take.wav");
    EXPECT_EQ(store.readMultiFileStatus(), 0);

    s.folder = dir.file("new/deeper") + "  ";
    EXPECT_EQ(s.save(store), OutputSettings::SaveResult::Saved);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(dir.file("new/deeper"))).isDir());
    EXPECT_EQ(store.readLastName(), dir.file("new/deeper/take.WAV"));
    EXPECT_EQ(store.readMultiFileStatus(), 1);
    EXPECT_EQ(store.readNumber(setting::kAlert), 1);
}

}  // namespace
}  // namespace orvel
