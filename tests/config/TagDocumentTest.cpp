#include "config/TagDocument.h"

#include <gtest/gtest.h>

#include <QDir>

#include "support/TempDir.h"

namespace orvel {
namespace {

TagDocument languageText(std::string_view bytes) {
    TagDocument doc(TagDocument::Kind::Language);
    doc.LoadText(bytes);
    return doc;
}

TEST(TagDocumentLoad, BuiltinTextsAreCompiledIntoTheLibrary) {
    // Resources of a static library must load without any registration call.
    const std::string& language = TagDocument::BuiltinText(TagDocument::Kind::Language);
    const std::string& script = TagDocument::BuiltinText(TagDocument::Kind::HotKeyScript);
    ASSERT_FALSE(language.empty());
    ASSERT_FALSE(script.empty());
    EXPECT_EQ(language.rfind("<?xml version=\"1.0\"?>", 0), 0u);
    EXPECT_NE(language, script);
    EXPECT_NE(script.find("<HOTKEYSCRIPT>"), std::string::npos);
}

TEST(TagDocumentLoad, FallsBackToTheBuiltinTextOfItsKind) {
    test::TempDir dir;
    TagDocument doc(TagDocument::Kind::HotKeyScript);
    EXPECT_TRUE(doc.IsBuiltin());

    dir.write("mine.xml", "<A>x</A>");
    EXPECT_TRUE(doc.Load(dir.file("mine.xml")));
    EXPECT_FALSE(doc.IsBuiltin());
    EXPECT_EQ(doc.DocumentText(), "<A>x</A>");

    // A missing file, a folder and no path at all: the built-in script stands in; only a
    // file that failed to read reports false.
    EXPECT_FALSE(doc.Load(dir.file("absent.xml")));
    EXPECT_EQ(doc.DocumentText(), TagDocument::BuiltinText(TagDocument::Kind::HotKeyScript));
    // A file far larger than any document is not taken either.
    dir.write("huge.xml", std::string(TagDocument::kMaxFileBytes + 1, 'x'));
    EXPECT_FALSE(doc.Load(dir.file("huge.xml")));
    EXPECT_TRUE(doc.IsBuiltin());
    QDir(QString::fromStdString(dir.path())).mkdir("folder.xml");
    EXPECT_FALSE(doc.Load(dir.file("folder.xml")));
    EXPECT_TRUE(doc.IsBuiltin());
    doc.LoadText("<A>y</A>");
    EXPECT_TRUE(doc.Load(""));
    EXPECT_EQ(doc.DocumentText(), TagDocument::BuiltinText(TagDocument::Kind::HotKeyScript));
}

TEST(TagDocumentLoad, TextEndsAtTheFirstZeroByte) {
    test::TempDir dir;
    dir.write("zero.xml", std::string("<A>x</A>\0<B>y</B>", 17));
    TagDocument doc(TagDocument::Kind::Language);
    ASSERT_TRUE(doc.Load(dir.file("zero.xml")));
    EXPECT_EQ(doc.FirstText("A", 100), "x");
    EXPECT_FALSE(doc.FirstText("B", 100));
}

TEST(TagDocumentFirstText, FindsExactTagsOnly) {
    const TagDocument doc = languageText(
        "<BTN_STOPRECORDING>a</BTN_STOPRECORDING><BTN_STOP>b</BTN_STOP>"
        "< BTN_X>c</BTN_X><BTN_Y a=\"1\">d</BTN_Y>");
    EXPECT_EQ(doc.FirstText("BTN_STOP", 100), "b");
    EXPECT_FALSE(doc.FirstText("BTN_X", 100));
    EXPECT_FALSE(doc.FirstText("BTN_Y", 100));
    EXPECT_FALSE(doc.FirstText("btn_stop", 100));
}

TEST(TagDocumentFirstText, ClosingTagIsSearchedAfterTheOpeningTag) {
    const TagDocument doc = languageText("</A>early<A>late</A><A>second</A>");
    EXPECT_EQ(doc.FirstText("A", 100), "late");
    EXPECT_FALSE(languageText("<A>open only").FirstText("A", 100));
    EXPECT_FALSE(languageText("close only</A>").FirstText("A", 100));
}

TEST(TagDocumentFirstText, ControlCharactersBecomeBlanksAndBlanksAreTrimmed) {
    const TagDocument doc = languageText("<T>\r\n\t  two\r\nlines \x1f </T><E></E>");
    EXPECT_EQ(doc.FirstText("T", 100), "two  lines");
    EXPECT_EQ(doc.FirstText("E", 100), "");
    // Bytes of other characters are kept as they are.
    EXPECT_EQ(languageText("<T>caf\xC3\xA9\x7f</T>").FirstText("T", 100), "caf\xC3\xA9\x7f");
}

TEST(TagDocumentFirstText, CapacityCutsBeforeCleaningAndAtCharacterBoundaries) {
    // The cut takes capacity - 1 raw bytes; trimming then works on what is left.
    EXPECT_EQ(languageText("<T>  abcdef</T>").FirstText("T", 5), "ab");
    EXPECT_EQ(languageText("<T>abc   xyz</T>").FirstText("T", 7), "abc");
    // "é" spans bytes 2..3: a cut after 2 bytes must not keep half of it.
    EXPECT_EQ(languageText("<T>a\xC3\xA9z</T>").FirstText("T", 3), "a");
    EXPECT_EQ(languageText("<T>a\xC3\xA9z</T>").FirstText("T", 4), "a\xC3\xA9");
    EXPECT_EQ(languageText("<T>abc</T>").FirstText("T", 0), "");
}

TEST(TagDocumentFirstText, TextWithinSearchesTheGivenText) {
    EXPECT_EQ(TagDocument::TextWithin("x<Line2> b </Line2>", "Line2", 100), "b");
    EXPECT_FALSE(TagDocument::TextWithin("x<Line2> b", "Line2", 100));
    EXPECT_FALSE(TagDocument::TextWithin("", "Line2", 100));
}

// The document's lookups use an index of its tags; they answer as a search through the text
// does, also where tags stand inside or across each other, and for names the index cannot hold.
TEST(TagDocumentFirstText, TheIndexAnswersAsTheSearchThroughTheText) {
    const std::string texts[] = {
        "<<A>>x<</A>>",          "<A<A>y</A>",         "<A>a<B>b</A>c</B>", "</A><A></A<A>>z</A>",
        "<A>\n<A>two</A></A>",   "<<>>e</>",           "<A><<A>in</A></A>", "<A>x</A><A>y</A>",
        "<A x>no</A><A>yes</A>", "<A>>gt</A>><A></A>",
    };
    for (const std::string& text : texts) {
        const TagDocument doc = languageText(text);
        for (const char* tag : {"A", "B", "", "<A", "A>", "/A", "A x", "x"}) {
            EXPECT_EQ(doc.FirstText(tag, 100), TagDocument::TextWithin(text, tag, 100))
                << "<" << tag << "> in " << text;
        }
    }
    EXPECT_EQ(languageText("<A<A>y</A>").FirstText("A", 100), "y");
    EXPECT_EQ(languageText("<A>>gt</A>><A></A>").AllTexts("A", 100), ">gt,");
    EXPECT_EQ(languageText("<A><<A>in</A></A>").AllTexts("A", 100), "<<A>in");
}

TEST(TagDocumentAllTexts, JoinsEveryElementInDocumentOrder) {
    const TagDocument doc = languageText("<K> F5 </K><O>x</O><K>ESC</K><K></K><K>\nCTRL+S</K>");
    EXPECT_EQ(doc.AllTexts("K", 100), "F5,ESC,,CTRL+S");
    EXPECT_EQ(doc.AllTexts("K", 7), "F5,ESC");
    EXPECT_EQ(doc.AllTexts("K", 1), "");
    EXPECT_FALSE(doc.AllTexts("Z", 100));
}

TEST(TagDocumentAllTexts, AnUnclosedOccurrenceSpoilsTheWholeAnswer) {
    EXPECT_FALSE(languageText("<K>a</K><K>b").AllTexts("K", 100));
    // Even when the texts before it already fill the capacity.
    EXPECT_FALSE(languageText("<K>aaaaaaaa</K><K>b").AllTexts("K", 3));
}

TEST(TagDocumentChildren, CountsClosingTagsOfTheFirstSection) {
    const TagDocument doc =
        languageText("<S><A>1</A> <B>2</B><C/><D><E>3</E></D></S><S><F>4</F></S>");
    EXPECT_EQ(doc.CountChildren("S"), 4);  // </A>, </B>, </E>, </D>
    EXPECT_EQ(languageText("<S></S>").CountChildren("S"), 0);
    EXPECT_EQ(languageText("<S><A>1</A>").CountChildren("S"), 0);
    EXPECT_EQ(languageText("<A>1</A></S>").CountChildren("S"), 0);
    // The first closing tag of the text, wherever it stands, ends the section.
    EXPECT_EQ(languageText("</S><S><A>1</A></S>").CountChildren("S"), 0);
}

TEST(TagDocumentChildren, MalformedSectionsHaveNoChildren) {
    EXPECT_EQ(languageText("<S><A>1</A><B<C>2</C></S>").CountChildren("S"), 0);
    EXPECT_EQ(languageText("<S><A>1</A>a > b</S>").CountChildren("S"), 0);
    EXPECT_EQ(languageText("<S><A>1</A>a < b</S>").CountChildren("S"), 0);
    // A tag of 199 bytes from "<" through ">" is read; one of 200 bytes spoils the section.
    const std::string name197(197, 'N');
    const std::string name198(198, 'N');
    EXPECT_EQ(languageText("<S><" + name197 + ">x</A></S>").CountChildren("S"), 1);
    EXPECT_EQ(languageText("<S><" + name198 + ">x</A></S>").CountChildren("S"), 0);
    EXPECT_EQ(languageText("<S><A>x</" + name198 + "></S>").CountChildren("S"), 0);
}

TEST(TagDocumentChildren, ChildIsTheTextBeforeEachClosingTag) {
    const TagDocument doc = languageText("<S>\n <A> F5 </A>\n <B><C>x</C> tail </B>bare</D></S>");
    ASSERT_EQ(doc.CountChildren("S"), 4);
    auto child = [&](int i) {
        const std::optional<TagDocument::ChildText> c = doc.Child("S", i, 100);
        return c ? c->name + "=" + c->content : std::string("none");
    };
    EXPECT_EQ(child(0), "A=F5");
    EXPECT_EQ(child(1), "C=x");
    EXPECT_EQ(child(2), "B=tail");
    EXPECT_EQ(child(3), "D=bare");
    EXPECT_EQ(child(4), "none");
    EXPECT_EQ(child(-1), "none");
    EXPECT_FALSE(doc.Child("Z", 0, 100));
    // Only blanks are trimmed around a child's text; the name is taken as it stands.
    const TagDocument raw = languageText("<S><a b>\tF5\n</a b></S>");
    EXPECT_EQ(raw.Child("S", 0, 100)->content, "\tF5\n");
    EXPECT_EQ(raw.Child("S", 0, 100)->name, "a b");
    EXPECT_EQ(raw.Child("S", 0, 3)->content, "\tF");
}

TEST(TagDocumentChildren, SectionsAreRescannedAfterReload) {
    TagDocument doc(TagDocument::Kind::Language);
    doc.LoadText("<S><A>1</A></S>");
    ASSERT_EQ(doc.CountChildren("S"), 1);
    doc.LoadText("<S><B>2</B><C>3</C></S>");
    EXPECT_EQ(doc.CountChildren("S"), 2);
    EXPECT_EQ(doc.Child("S", 0, 100)->name, "B");
    EXPECT_EQ(doc.CountChildren("T"), 0);
    EXPECT_EQ(doc.Child("S", 1, 100)->name, "C");
}

TEST(TagDocumentChildren, WalkingALargeSectionStaysLinear) {
    // 30000 children walked one by one: a rescan per child would take billions of steps.
    std::string text = "<S>";
    for (int i = 0; i < 30000; ++i) {
        text.append("<K>F").append(std::to_string(i)).append("</K>");
    }
    text += "</S>";
    const TagDocument doc = languageText(text);
    const int count = doc.CountChildren("S");
    ASSERT_EQ(count, 30000);
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(doc.Child("S", i, 100)->content, std::string("F").append(std::to_string(i)));
    }
}

}  // namespace
}  // namespace orvel
