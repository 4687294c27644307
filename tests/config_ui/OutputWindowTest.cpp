#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "config/SettingsStore.h"
#include "skin/SkinButton.h"
#include "support/TempDir.h"
#include "support/WindowDriver.h"
#include "ui/settings/FolderDialog.h"
#include "ui/settings/OutputWindow.h"

namespace orvel {
namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

class OutputWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        store.writeLastName(dir.file("take.mp3"));
        store.writeNumber(setting::kAlert, 1);
        window = std::make_unique<OutputWindow>(store);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override { test::dismissMessages(); }

    bool latched(ControlId id) const { return window->button(id)->latched(); }
    QString text(ControlId id) const { return window->edit(id)->text(); }

    test::TempDir dir{test::TempDir::Xdg::Redirect};
    SettingsStore store;
    std::unique_ptr<OutputWindow> window;
};

TEST_F(OutputWindowTest, ShowsTheStoredChoicesAndOkStoresTheEditedOnes) {
    EXPECT_EQ(text(ControlId::EDIT_FILELOCATION), qs(dir.path() + "/"));
    EXPECT_EQ(text(ControlId::EDIT_FILENAME), "take.MP3");
    EXPECT_TRUE(latched(ControlId::BTN_MP3FILE) && latched(ControlId::BTN_ALERT_OUTPUT));
    EXPECT_FALSE(latched(ControlId::BTN_WAVFILE) || latched(ControlId::BTN_WMAFILE) ||
                 latched(ControlId::BTN_MULTIFILE_OUTPUT) ||
                 latched(ControlId::BTN_TIMESTAMPLE_OUTPUT));

    window->edit(ControlId::EDIT_FILENAME)->setText("concert");
    test::click(*window, ControlId::BTN_WMAFILE);
    EXPECT_EQ(text(ControlId::EDIT_FILENAME), "concert.WMA");
    EXPECT_TRUE(latched(ControlId::BTN_WMAFILE) && !latched(ControlId::BTN_MP3FILE));
    test::click(*window, ControlId::BTN_TIMESTAMPLE_OUTPUT);
    EXPECT_TRUE(latched(ControlId::BTN_TIMESTAMPLE_OUTPUT) &&
                latched(ControlId::BTN_MULTIFILE_OUTPUT));
    test::click(*window, ControlId::BTN_MULTIFILE_OUTPUT);
    EXPECT_FALSE(latched(ControlId::BTN_TIMESTAMPLE_OUTPUT) ||
                 latched(ControlId::BTN_MULTIFILE_OUTPUT))
        << "time stamps need multiple files";
    test::click(*window, ControlId::BTN_TIMESTAMPLE_OUTPUT);
    test::click(*window, ControlId::BTN_ALERT_OUTPUT);
    window->edit(ControlId::EDIT_FILELOCATION)->setText(qs(dir.file("live")));

    test::click(*window, ControlId::BTN_CANCEL);
    EXPECT_EQ(store.readLastName(), dir.file("take.mp3"));
    EXPECT_EQ(store.readTimeStampedStatus(), 0);

    window->show();
    test::click(*window, ControlId::BTN_OK);
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(store.readLastName(), dir.file("live/concert.WMA"));
    EXPECT_TRUE(QFileInfo(qs(dir.file("live"))).isDir());
    EXPECT_EQ(store.readTimeStampedStatus(), 1);
    EXPECT_EQ(store.readMultiFileStatus(), 1);
    EXPECT_EQ(store.readNumber(setting::kAlert), 0);
}

// A name the recorder cannot write is refused on OK with the reason: nothing is stored, so the
// next recording never writes one format's data under another format's name.
TEST_F(OutputWindowTest, OkRefusesANameThatCannotBeRecorded) {
    window->edit(ControlId::EDIT_FILENAME)->setText("talk.flac");
    test::click(*window, ControlId::BTN_OK);
    QMessageBox* box = test::awaitMessage();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(),
              "\"talk.flac\" cannot be recorded: only .wav, .mp3 and .wma files are "
              "written (any letter case).");
    test::dismissMessages();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(store.readLastName(), dir.file("take.mp3"));
}

// A folder that cannot be created is said so on OK; the window stays open and stores nothing,
// instead of closing as if the next recording had somewhere to go.
TEST_F(OutputWindowTest, OkRefusesAFolderThatCannotBeCreated) {
    dir.write("file", "x");
    window->edit(ControlId::EDIT_FILELOCATION)->setText(qs(dir.file("file/sub")));
    test::click(*window, ControlId::BTN_OK);
    QMessageBox* box = test::awaitMessage();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), qs("The folder:\n\n" + dir.file("file/sub/") +
                              "\n\ncan not be created. Please double check."));
    test::dismissMessages();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(store.readLastName(), dir.file("take.mp3"));

    window->edit(ControlId::EDIT_FILELOCATION)->setText("relative/folder");
    test::click(*window, ControlId::BTN_OK);
    box = test::awaitMessage();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "The folder:\n\nrelative/folder\n\nis invalid. Please reenter.");
}

// Browse: the dialog opens on the window's folder; OK checks the typed folder, refuses an
// invalid one, asks before creating a missing one, says so when it cannot, and hands the
// folder that passed to the window.
TEST_F(OutputWindowTest, FolderDialogChecksAsksAndCreates) {
    test::click(*window, ControlId::BTN_BROWSE);
    FolderDialog* dialog = window->folderDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    EXPECT_EQ(dialog->windowTitle(), "Select a Folder");
    EXPECT_EQ(dialog->field()->text(), qs(dir.path()));
    QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_TRUE(ok->isEnabled());
    dialog->field()->selectAll();
    QTest::keyClick(dialog->field(), Qt::Key_Backspace);
    EXPECT_FALSE(ok->isEnabled()) << "OK with an empty folder";
    QTest::keyClicks(dialog->field(), "/");
    EXPECT_TRUE(ok->isEnabled());

    const auto answer = [&](const QString& typed, QMessageBox::StandardButton button) {
        dialog->field()->setText(typed);
        dialog->confirm();
        QMessageBox* box = test::awaitMessage();
        const QString shown = box ? box->text() : QString();
        if (box) {
            box->button(button)->click();
        }
        return shown;
    };
    EXPECT_EQ(answer(qs(dir.file("a?b")), QMessageBox::Ok),
              qs("The folder:\n\n" + dir.file("a?b") + "\n\nis invalid. Please reenter."));
    EXPECT_EQ(answer(qs(dir.file("new")), QMessageBox::No),
              qs("The folder:\n\n" + dir.file("new") +
                 "\n\ndoes not exist. Do you want the folder to be created?"));
    EXPECT_FALSE(QFileInfo::exists(qs(dir.file("new"))));
    dir.write("file", "x");
    answer(qs(dir.file("file/sub")), QMessageBox::Yes);
    QMessageBox* failed = test::awaitMessage();
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->text(), qs("The folder:\n\n" + dir.file("file/sub") +
                                 "\n\ncan not be created. Please double check."));
    test::dismissMessages();
    ASSERT_TRUE(window->folderDialog()) << "the dialog closed on a folder that failed";

    answer(qs(dir.file("new/deeper")), QMessageBox::Yes);
    QTRY_VERIFY(!window->folderDialog());
    EXPECT_TRUE(QFileInfo(qs(dir.file("new/deeper"))).isDir());
    EXPECT_EQ(text(ControlId::EDIT_FILELOCATION), qs(dir.file("new/deeper")));
}

}  // namespace
}  // namespace orvel
