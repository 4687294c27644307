#pragma once

#include <QDialog>
#include <functional>

class QDialogButtonBox;
class QFileSystemModel;
class QLineEdit;
class QTreeView;

namespace orvel {

// "Select a Folder": a folder tree with a field above it that names the folder, which may be
// one that does not exist yet. OK checks the field (FolderCheck): an invalid folder is refused
// with its message; a missing one is created when the user agrees to the question, and a
// failure says so. The dialog stays open with the focus in the field until a folder passes.
//
// The dialog opens window-modal over its parent and returns at once; every message it shows
// opens the same way, so nothing waits in a nested event loop.
//
// Thread contract: GUI thread only.
class FolderDialog : public QDialog {
    Q_OBJECT

public:
    using Chosen = std::function<void(const QString& folder)>;

    // Opens the dialog at `initial` (a trailing "/" is dropped); `chosen` runs with the folder
    // once one has passed. The dialog deletes itself when it closes.
    static FolderDialog* ask(QWidget* parent, const QString& initial, Chosen chosen);

    FolderDialog(QWidget* parent, const QString& initial);

    QLineEdit* field() const { return m_field; }
    QTreeView* tree() const { return m_tree; }
    // OK: the check, and the question or message it leads to.
    void confirm();

signals:
    void folderChosen(const QString& folder);

private:
    void backToField();
    void finish(const QString& folder);

    QFileSystemModel* m_model;
    QLineEdit* m_field;
    QTreeView* m_tree;
    QDialogButtonBox* m_buttons;
    QString m_initial;
};

}  // namespace orvel
