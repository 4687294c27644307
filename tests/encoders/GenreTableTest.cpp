#include "encoders/GenreTable.h"

#include <gtest/gtest.h>

#include <set>

#include "config/SettingsStore.h"
#include "encoders/EncoderSettings.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

TEST(GenreTable, ListEntriesEndInABlankExactlyWhereTheListsHaveOne) {
    const std::set<int> blank = {0, 3, 47, 51, 52, 53, 54, 55, 58, 59, 74, 79};
    for (int n = 0; n < genre::kCount; ++n) {
        const auto entry = genre::listEntry(n);
        ASSERT_FALSE(entry.empty()) << n;
        EXPECT_EQ(entry.back() == ' ', blank.count(n) == 1) << n;
        EXPECT_NE(genre::name(n).back(), ' ') << n;
        EXPECT_EQ(entry.substr(0, genre::name(n).size()), genre::name(n));
    }
    EXPECT_EQ(genre::listEntry(0), "Blues ");
    EXPECT_EQ(genre::name(0), "Blues");
    EXPECT_EQ(genre::name(12), "Other");
    EXPECT_EQ(genre::name(79), "Hard Rock");
    EXPECT_EQ(genre::name(80), "");
    EXPECT_EQ(genre::name(-1), "");
    EXPECT_EQ(genre::name(255), "");
}

// The tag windows select by the whole name: a genre the table does not have, or none, selects
// nothing instead of the first genre that begins with it.
TEST(GenreTable, WholeNameLookupIgnoresOnlyBlanksAroundAndCase) {
    EXPECT_EQ(genre::findByName("Blues"), 0);
    EXPECT_EQ(genre::findByName(" blues "), 0);
    EXPECT_EQ(genre::findByName("HARD ROCK"), 79);
    EXPECT_EQ(genre::findByName("Rock"), 17);
    EXPECT_EQ(genre::findByName("Roc"), -1);
    EXPECT_EQ(genre::findByName("Electronica"), -1);
    EXPECT_EQ(genre::findByName(""), -1);
    EXPECT_EQ(genre::findByName("  "), -1);
}

TEST(EncoderSettings, ReadsTheStoredChoices) {
    test::TempDir dir(test::TempDir::Xdg::Redirect);
    const SettingsStore store;
    store.writeMp3Bitrate(14);
    store.writeMp3Mode(1);
    store.writeNumber(setting::kCrc, 1);
    store.writeNumber(setting::kPrivate, 1);
    store.writeNumber(setting::kId3, 1);
    store.writeText(setting::kArtist, std::string(40, 'a'));
    store.writeText(setting::kYear, "2006x");
    store.writeNumber(setting::kGenre, 0x1234);
    store.writeNumber(setting::kWmaFormat, 3);
    store.writeText(setting::kWmaTitle, "Title");
    store.writeText(setting::kWmaComposer, std::string(200, 'c'));
    store.writeNumber(setting::kWmaGenre, 79);

    auto settings = EncoderSettings::fromStore(store);
    EXPECT_EQ(settings.mp3BitRateKbps(), 256);
    EXPECT_EQ(settings.mp3Mode, 1);
    EXPECT_TRUE(settings.mp3.crc);
    EXPECT_TRUE(settings.mp3.privateBit);
    EXPECT_FALSE(settings.mp3.copyright);
    EXPECT_TRUE(settings.mp3.writeId3);
    EXPECT_EQ(settings.mp3.artist(), std::string(30, 'a'));
    EXPECT_EQ(settings.mp3.year(), "2006");
    EXPECT_EQ(settings.mp3.genre, 0x34);
    EXPECT_EQ(settings.wmaProfile, 3);
    EXPECT_EQ(settings.wmaAttributes.title, "Title");
    EXPECT_EQ(settings.wmaAttributes.composer, std::string(126, 'c'));
    EXPECT_EQ(settings.wmaAttributes.genre, "Hard Rock");

    store.writeNumber(setting::kWmaGenre, 80);
    EXPECT_EQ(EncoderSettings::fromStore(store).wmaAttributes.genre, "");
    store.writeNumber(setting::kWmaGenre, -1);
    EXPECT_EQ(EncoderSettings::fromStore(store).wmaAttributes.genre, "");

    settings.mp3BitrateIndex = 99;
    EXPECT_EQ(settings.mp3BitRateKbps(), 128);
}

}  // namespace
}  // namespace orvel
