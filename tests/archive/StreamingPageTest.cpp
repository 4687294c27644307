#include "archive/StreamingPage.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <algorithm>

#include "support/TempDir.h"

namespace orvel {
namespace {

TEST(StreamingPageExtensions, MediaIsToldByTheTextAfterTheLastDot) {
    for (const char* url : {"http://radio.example/live.WMA", "http://r.example/a.ra",
                            "http://r.example/a.rm", "mms://r.example/a.Mp3", "x.3g2",
                            "http://r.example/list.m3u", "http://r.example/a.b.smil"}) {
        EXPECT_TRUE(StreamingPage::namesMediaFile(url)) << url;
    }
    for (const char* url :
         {"http://r.example/index.html", "http://r.example/a.mp3?x=1", "http://r.example/stream",
          "localhost", "http://r.example/a.mp3/", "http://r.example/a.mp33", ""}) {
        EXPECT_FALSE(StreamingPage::namesMediaFile(url)) << url;
    }
    // The rule reads the host when the path has no dot: a host under ".au" looks like media.
    EXPECT_TRUE(StreamingPage::namesMediaFile("http://radio.example.au"));
}

TEST(StreamingPageTarget, MediaGetsAPageOtherAddressesGoAsTheyAre) {
    test::TempDir dir;
    StreamingPage page(dir.path());
    const std::string url = "http://radio.example/live.mp3";

    // Trailing blanks go before the extension is read.
    EXPECT_EQ(page.targetFor(url + "  "), dir.file("orvelurl.htm"));
    EXPECT_EQ(dir.read("orvelurl.htm"),
              "<html><head><title>Streaming URL</title></head><body><b>Loaded by Orvel</b><p>" +
                  url + "</p><embed src=\"" + url +
                  "\" width=\"128\" height=\"128\"></body></html>");

    dir.write("orvelurl.htm", "old");
    EXPECT_EQ(page.targetFor("http://radio.example/index.html "),
              "http://radio.example/index.html");
    EXPECT_EQ(dir.read("orvelurl.htm"), "old");  // not touched for a direct address

    // A page that cannot be written leaves the address itself as the target.
    StreamingPage nowhere(dir.file("missing/folder"));
    EXPECT_EQ(nowhere.targetFor(url), url);
    StreamingPage unset("");
    EXPECT_EQ(unset.targetFor(url), url);
}

TEST(StreamingPageTarget, TheUrlCannotBreakOutOfThePage) {
    test::TempDir dir;
    StreamingPage page(dir.path());
    const std::string url = "http://x.example/\"><script>alert('x')</script><b a=\"&.mp3";
    ASSERT_EQ(page.targetFor(url), dir.file("orvelurl.htm"));
    const std::string html = dir.read("orvelurl.htm");

    EXPECT_EQ(html.find("<script"), std::string::npos);
    // The template's own quotes and tags are the only ones.
    const std::string plain = StreamingPage::pageText("plain.mp3");
    for (const char c : {'"', '<', '>', '\''}) {
        EXPECT_EQ(std::count(html.begin(), html.end(), c),
                  std::count(plain.begin(), plain.end(), c))
            << c;
    }
    const std::string escaped =
        "http://x.example/&quot;&gt;&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;&lt;b "
        "a=&quot;&amp;.mp3";
    EXPECT_NE(html.find("<p>" + escaped + "</p>"), std::string::npos);
    EXPECT_NE(html.find("src=\"" + escaped + "\""), std::string::npos);
}

TEST(StreamingPageEscape, NonAsciiBecomesCharacterReferences) {
    EXPECT_EQ(StreamingPage::escapeHtml("a b-c/d?e=f"), "a b-c/d?e=f");
    EXPECT_EQ(StreamingPage::escapeHtml("caf\xC3\xA9/\xE2\x82\xAC"), "caf&#233;/&#8364;");
    EXPECT_EQ(StreamingPage::escapeHtml("bad\xFF\xC3"), "bad&#65533;&#65533;");
    EXPECT_EQ(StreamingPage::escapeHtml(std::string("nul\0x", 5)), "nul&#65533;x");
}

}  // namespace
}  // namespace orvel
