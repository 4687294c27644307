#pragma once

#include <QFileDialog>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "archive/HistoryFile.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace orvel {

class SkinButton;
class SkinFace;
class TrackList;

// The record history in the front face's log panel: the tree of days the log holds (and "Files
// for playing"), the track list of the chosen day's recordings or files, and the tag panel of
// the current file above it. A row the user clicks becomes the current file, which the panel
// reports (playFileChosen) for the front face to make the file it plays. The tag of an MP3 or
// WMA file is edited through the front face's hook (the tag windows in tag mode), never for the
// file being recorded and never while something plays.
//
// The panel is a child of the front face covering the tag panel and the track list at the
// layout table's places; the face's own history tree (ControlId::kHistoryTree) and its buttons
// BTN_ARCHIVE, BTN_ARCHIVECLOSE and BTN_EDITID3TAG are driven by the panel, which connects
// their clicks itself. What the front face does: construct it with its hooks once, call
// setCurrentFile() with the file it plays (at start-up the stored PlayFile), take
// playFileChosen, and call pickFiles() on a double click on its playing-file line.
//
// The tree is rebuilt at every opening, so days logged since show up; tree and rows are
// dropped at closing. A node is chosen by a click (when the mouse is released, so a picker
// never opens under a held button) or by the keyboard moving the current node; the selection
// change a click causes is not handled a second time, and a click on the current "Files for
// playing" opens the picker again.
//
// Thread contract: GUI thread only. Nothing here waits: the file picker opens without a nested
// event loop and reports back when the user has chosen.
class HistoryPanel : public QWidget {
    Q_OBJECT

public:
    struct Hooks {
        // The file the running recording writes; empty while nothing records.
        std::function<std::string()> recordingFile;
        // Whether a playback runs.
        std::function<bool()> playing;
        // Opens the tag window for the file (MP3 or WMA, in tag mode) and returns whether it
        // wrote the file's tag. Called only when the edit is allowed.
        std::function<bool(const std::string& path)> editTag;
    };

    HistoryPanel(SkinFace& face, std::string installFolder, Hooks hooks);
    ~HistoryPanel() override;

    // BTN_ARCHIVE and BTN_ARCHIVECLOSE; nothing when already open or closed.
    void open();
    void close();
    bool isOpen() const { return m_open; }

    // The file the play button plays (PlayFile); the tag panel shows it.
    void setCurrentFile(const std::string& path);
    const std::string& currentFile() const { return m_currentFile; }

    // Offers the file picker (starting in the music folder); the chosen files fill the list
    // and the first becomes the current file. Nothing while a picker is open.
    void pickFiles();
    // What choosing files does: fills the list with them, the first one current and chosen.
    void showFiles(const QStringList& paths);
    // BTN_EDITID3TAG.
    void editTag();

    TrackList* trackList() const { return m_list; }
    QTreeWidget* tree() const { return m_tree; }
    const HistoryFile::PanelTexts& tagTexts() const { return m_texts; }

signals:
    // The user chose this file to play (a row clicked, or the first of the files picked).
    void playFileChosen(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Node { FilesNode = 1, HistoryNode, YearNode, MonthNode, DayNode };

    void buildTree();
    void nodeChosenLater(QTreeWidgetItem* item);
    void chooseNode();
    void showDay(const std::string& path);
    void rowClicked(int row);
    void showCurrentFile();

    SkinFace& m_face;
    std::string m_logFolder;
    Hooks m_hooks;
    QTreeWidget* m_tree;
    TrackList* m_list;
    SkinButton* m_archive;
    SkinButton* m_archiveClose;
    SkinButton* m_editTag;
    QRect m_tagRect;  // in panel coordinates
    bool m_open = false;
    std::string m_currentFile;
    HistoryFile::PanelTexts m_texts;
    QTreeWidgetItem* m_pendingNode = nullptr;
    bool m_treePressed = false;  // a mouse button is down on the tree
    QPointer<QFileDialog> m_picker;
};

}  // namespace orvel
