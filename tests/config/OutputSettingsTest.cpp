#include "config/OutputSettings.h"

#include <gtest/gtest.h>

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

// New settings ask before a recording replaces a file; a stored choice, "no" included, stands.
TEST_F(OutputSettingsTest, TheOverwriteAlertIsOnUnlessStoredOff) {
    EXPECT_TRUE(load("/data/rec/take.wav").alert);
    store.writeNumber(setting::kAlert, 0);
    EXPECT_FALSE(load("/data/rec/take.wav").alert);
    store.writeNumber(setting::kAlert, 1);
    EXPECT_TRUE(load("/data/rec/take.wav").alert);
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

}  // namespace
}  // namespace orvel
