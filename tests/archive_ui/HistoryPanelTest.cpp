#include "ui/history/HistoryPanel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTreeWidget>

#include "archive/HistoryTree.h"
#include "encoders/Id3v1Tag.h"
#include "skin/SkinButton.h"
#include "skin/SkinFace.h"
#include "skin/TrackList.h"
#include "support/TempDir.h"

namespace orvel {
namespace {

QList<QMessageBox*> openMessages() {
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
            boxes << box;
        }
    }
    return boxes;
}

// The tree as text: one line per node, indented by its depth.
QStringList treeLines(QTreeWidget* tree) {
    QStringList lines;
    std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
        lines << QString(depth * 2, ' ') + item->text(0);
        for (int i = 0; i < item->childCount(); ++i) {
            walk(item->child(i), depth + 1);
        }
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        walk(tree->topLevelItem(i), 0);
    }
    return lines;
}

QTreeWidgetItem* findNode(QTreeWidget* tree, const QString& text) {
    const QList<QTreeWidgetItem*> found =
        tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

void clickNode(QTreeWidget* tree, QTreeWidgetItem* item) {
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
}

// A WAV file with a LIST chunk before its format: 22050 Hz, 8 bits, mono.
std::string wavBytes() {
    auto u32 = [](std::uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    auto u16 = [](std::uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    const std::string list = "LIST" + u32(4) + "INFO";
    const std::string fmt =
        "fmt " + u32(16) + u16(1) + u16(1) + u32(22050) + u32(22050) + u16(1) + u16(8);
    const std::string data = "data" + u32(4) + std::string(4, '\x80');
    const std::string body = "WAVE" + list + fmt + data;
    return "RIFF" + u32(std::uint32_t(body.size())) + body;
}

class HistoryPanelTest : public ::testing::Test {
protected:
    HistoryPanelTest() : m_face(skin::FaceId::Front) {
        HistoryPanel::Hooks hooks;
        hooks.recordingFile = [this] { return m_recording; };
        hooks.playing = [this] { return m_playing; };
        hooks.editTag = [this](const std::string& path) {
            m_edited.push_back(path);
            Id3v1Tag tag = Id3v1Tag::readFile(path).value_or(Id3v1Tag());
            tag.artist = "Edited Artist";
            return Id3v1Tag::writeFile(path, tag);
        };
        m_panel = std::make_unique<HistoryPanel>(m_face, m_dir.path(), hooks);
        m_face.show();
    }

    ~HistoryPanelTest() override {
        for (QMessageBox* box : openMessages()) {
            box->close();
        }
    }

    void writeDay(const std::string& relative, const std::string& lines) {
        QDir().mkpath(QString::fromStdString(m_dir.file("Log/" + relative)).section('/', 0, -2));
        m_dir.write("Log/" + relative, lines);
    }

    test::TempDir m_dir;
    SkinFace m_face;
    std::unique_ptr<HistoryPanel> m_panel;
    std::string m_recording;
    bool m_playing = false;
    std::vector<std::string> m_edited;
};

// Opening the panel builds the tree from the log folder: only year folders 2001..2049, only
// day files of eight digits with a real month and day, newest first; stray files and folders
// are passed over.
TEST_F(HistoryPanelTest, TreeListsOnlyWellFormedDaysNewestFirst) {
    for (const char* name :
         {"2006/20061201.txt", "2006/20061215.txt", "2006/20061103.txt", "2006/notes.txt",
          "2006/20061399.txt", "2006/20061200.txt", "2006/20060015.txt", "2006/2006121.txt",
          "2006/20061201.txt.bak", "2006/2006120a.txt", "1999/19991231.txt", "2050/20500101.txt",
          "old/20061201.txt", "2007/readme"}) {
        writeDay(name, "");
    }
    QDir().mkpath(QString::fromStdString(m_dir.file("Log/2006/20061231.txt")));  // a folder
    m_dir.write("Log/2008", "a file where a year folder would be");

    QTest::mouseClick(m_face.button(ControlId::BTN_ARCHIVE), Qt::LeftButton);
    ASSERT_TRUE(m_panel->isOpen());
    EXPECT_FALSE(m_face.button(ControlId::BTN_ARCHIVE)->isVisible());
    EXPECT_TRUE(m_face.button(ControlId::BTN_EDITID3TAG)->isVisible());
    EXPECT_EQ(
        treeLines(m_panel->tree()),
        (QStringList{"Files for playing", "Record History", "  2007", "  2006", "    December",
                     "      12/15/2006", "      12/01/2006", "    November", "      11/03/2006"}));

    // Days logged since appear at the next opening.
    writeDay("2007/20070102.txt", "");
    m_panel->close();
    EXPECT_EQ(m_panel->tree()->topLevelItemCount(), 0);
    m_panel->open();
    EXPECT_TRUE(findNode(m_panel->tree(), "01/02/2007"));
}

// A day's recordings are listed newest first, at most the list's capacity (the newest); a
// click on a row makes it the file to play and shows its format; WAV files have no tag to
// edit.
TEST_F(HistoryPanelTest, DayListsNewestFirstAndAClickedRowBecomesThePlayFile) {
    std::string lines;
    for (int i = 0; i < 105; ++i) {
        lines += "take" + std::to_string(i) + ".wav," + m_dir.path() +
                 "/,10:00:" + std::to_string(10 + i % 50) + ",0:0" + std::to_string(i % 10) +
                 ",1 - Line In,,\n";
    }
    writeDay("2006/20061206.txt", lines);
    m_dir.write("take104.wav", wavBytes());
    m_panel->open();
    QSignalSpy chosen(m_panel.get(), &HistoryPanel::playFileChosen);

    clickNode(m_panel->tree(), findNode(m_panel->tree(), "12/06/2006"));
    TrackList* list = m_panel->trackList();
    QTRY_COMPARE(list->count(), HistoryTree::kMaxRows);
    EXPECT_EQ(list->row(0)->name, "take104.wav");
    EXPECT_EQ(list->row(0)->audioLine, "1 - Line In");
    EXPECT_EQ(list->row(99)->name, "take5.wav");
    EXPECT_EQ(chosen.count(), 0);

    const QRect first = list->visualRect(list->model()->index(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.front().front().toString().toStdString(), m_dir.file("take104.wav"));
    EXPECT_EQ(m_panel->currentFile(), m_dir.file("take104.wav"));
    EXPECT_EQ(list->current(), 0);
    EXPECT_EQ(m_panel->tagTexts(),
              (HistoryFile::PanelTexts{"Samples per second : 22050 ", "", "Bits per Sample : 8 ",
                                       "", "Channels : Mono ", ""}));
    EXPECT_FALSE(m_face.button(ControlId::BTN_EDITID3TAG)->isEnabled());

    // Reopened, the panel starts from the current file alone.
    m_panel->close();
    m_panel->open();
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->path(0), m_dir.file("take104.wav"));
}

// Tag editing goes through the front face's hook, but never for the file being recorded
// (however its path is written) and never while something plays.
TEST_F(HistoryPanelTest, TagEditingIsRefusedForTheFileBeingRecorded) {
    const std::string mp3 = m_dir.file("take.mp3");
    m_dir.write("take.mp3", std::string(2000, '\0'));
    Id3v1Tag tag;
    tag.artist = "First Artist";
    tag.genre = 8;
    ASSERT_TRUE(Id3v1Tag::writeFile(mp3, tag));
    QFile::link(QString::fromStdString(mp3), QString::fromStdString(m_dir.file("link.mp3")));
    m_panel->setCurrentFile(mp3);
    m_panel->open();
    EXPECT_EQ(m_panel->tagTexts()[0], "Artist : First Artist");
    EXPECT_EQ(m_panel->tagTexts()[3], "Genre : Jazz");
    ASSERT_TRUE(m_face.button(ControlId::BTN_EDITID3TAG)->isEnabled());

    for (const std::string& recording :
         {m_dir.file("link.mp3"), m_dir.path() + "/sub/../take.mp3", mp3}) {
        m_recording = recording;
        QTest::mouseClick(m_face.button(ControlId::BTN_EDITID3TAG), Qt::LeftButton);
        EXPECT_TRUE(m_edited.empty()) << recording;
        QTRY_COMPARE(openMessages().size(), 1);
        EXPECT_TRUE(openMessages().front()->text().contains("is being recorded"));
        openMessages().front()->close();
    }

    m_recording = m_dir.file("other.mp3");
    m_playing = true;
    QTest::mouseClick(m_face.button(ControlId::BTN_EDITID3TAG), Qt::LeftButton);
    EXPECT_TRUE(m_edited.empty());

    m_playing = false;
    QTest::mouseClick(m_face.button(ControlId::BTN_EDITID3TAG), Qt::LeftButton);
    EXPECT_EQ(m_edited, std::vector<std::string>{mp3});
    EXPECT_EQ(m_panel->tagTexts()[0], "Artist : Edited Artist");
    EXPECT_TRUE(openMessages().isEmpty());
}

// "Files for playing" opens one picker per click, in the music folder, also when it is the
// current node already; the files chosen are listed and the first becomes the play file.
TEST_F(HistoryPanelTest, FilesForPlayingPicksFilesOncePerClick) {
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    ASSERT_TRUE(QDir().mkpath(music));
    m_panel->open();
    QTreeWidgetItem* files = findNode(m_panel->tree(), "Files for playing");
    auto pickers = [this] { return m_face.findChildren<QFileDialog*>(); };

    clickNode(m_panel->tree(), files);
    QTRY_COMPARE(pickers().size(), 1);
    QApplication::processEvents();
    EXPECT_EQ(pickers().size(), 1);
    QFileDialog* picker = pickers().front();
    EXPECT_EQ(picker->directory().absolutePath(), QDir(music).absolutePath());
    picker->reject();
    QTRY_VERIFY(pickers().isEmpty());

    clickNode(m_panel->tree(), files);
    QTRY_COMPARE(pickers().size(), 1);
    QSignalSpy chosen(m_panel.get(), &HistoryPanel::playFileChosen);
    const QString a = QString::fromStdString(m_dir.file("a b.wav"));
    const QString b = QString::fromStdString(m_dir.file("c.mp3"));
    emit pickers().front()->filesSelected({a, b});
    pickers().front()->reject();
    TrackList* list = m_panel->trackList();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->row(0)->name, "a b.wav");
    EXPECT_EQ(list->row(0)->location, m_dir.path() + "/");
    EXPECT_EQ(list->path(1), b.toStdString());
    EXPECT_EQ(list->current(), 0);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.front().front().toString(), a);
}

}  // namespace
}  // namespace orvel
