#include "config/Text.h"

#include <gtest/gtest.h>

namespace orvel::text {
namespace {

TEST(TextCut, KeepsShortTextsWhole) {
    EXPECT_EQ(cutBytes("abc", 3), "abc");
    EXPECT_EQ(cutToCapacity("abc", 4), "abc");
    EXPECT_EQ(cutToCapacity("abcd", 4), "abc");
    EXPECT_EQ(cutToCapacity("abc", 0), "");
}

TEST(TextCut, NeverSplitsACharacter) {
    // "é" is two bytes, "€" three, "😀" four.
    const std::string s = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(cutBytes(s, 1), "a");
    EXPECT_EQ(cutBytes(s, 2), "a");
    EXPECT_EQ(cutBytes(s, 3), "a\xC3\xA9");
    EXPECT_EQ(cutBytes(s, 4), "a\xC3\xA9");
    EXPECT_EQ(cutBytes(s, 5), "a\xC3\xA9");
    EXPECT_EQ(cutBytes(s, 6), "a\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(cutBytes(s, 9), "a\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(cutBytes(s, 10), s);
}

TEST(TextCut, InvalidSequencesAreCutWhereTheyStand) {
    const std::string s = "ab\x80\x80\x80\x80\x80\x80";
    EXPECT_EQ(cutBytes(s, 7).size(), 7u);
}

TEST(TextNumbers, ReadsLeadingDigitsLikeTheCLibrary) {
    EXPECT_EQ(leadingNumber("44"), 44);
    EXPECT_EQ(leadingNumber("  16 "), 16);
    EXPECT_EQ(leadingNumber("12abc"), 12);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("-3"), -3);
    EXPECT_EQ(leadingNumber("99999999999999999999"), 2147483647);
}

}  // namespace
}  // namespace orvel::text
