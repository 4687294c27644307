#include "platform/HelpPage.h"

#include <gtest/gtest.h>

#include <QDir>

#include "support/TempDir.h"

namespace orvel {
namespace {

// The page is found beside an installed program (<prefix>/bin -> <prefix>/share/orvel/help)
// and nowhere else; a program folder without a page gives nothing to open.
TEST(HelpPage, FoundBesideTheProgram) {
    test::TempDir prefix;
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(prefix.file("bin"))));
    EXPECT_EQ(HelpPage::besideProgram(prefix.file("bin")), "");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(prefix.file("share/orvel/help"))));
    prefix.write("share/orvel/help/index.html", "<html></html>");
    EXPECT_EQ(HelpPage::besideProgram(prefix.file("bin")),
              prefix.file("share/orvel/help/index.html"));
    EXPECT_EQ(HelpPage::besideProgram(""), "");
}

}  // namespace
}  // namespace orvel
