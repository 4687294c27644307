#pragma once

#include <QString>
#include <optional>
#include <string>

#include "encoders/TagEdit.h"
#include "skin/SkinFace.h"

class QComboBox;
class QLineEdit;

namespace orvel {

// What the MP3 and WMA windows share. Each works in settings mode (the values every new
// recording gets, in the settings store) or in tag mode (the tag of an existing file, through
// a TagEdit). In tag mode the window names the file, writes on OK only the fields the user
// changed, and stays open with a message when the file cannot be written.
//
// The genre lists hold the 80 genres in number order. A genre is selected by its whole name
// (blanks and letter case aside); one the lists do not know is shown greyed in the empty list
// and stays in the file unless the user picks another.
//
// Thread contract: GUI thread only.
class TagFace : public SkinFace {
    Q_OBJECT

public:
    bool tagMode() const { return m_edit != nullptr; }
    // What OK wrote in tag mode; empty before.
    const std::optional<TagEdit::Result>& written() const { return m_written; }

    // Messages of tag mode (plain text, the program's name as caption).
    static QString beingRecordedMessage(const QString& path);
    static QString unreadableMessage(const QString& path);
    static QString notWrittenMessage(const QString& path);

protected:
    TagFace(skin::FaceId face, const TagEdit* edit, QWidget* parent);

    const TagEdit& tagEdit() const { return *m_edit; }

    // Opens a window of type W in tag mode on `path` and runs it; nothing when the file is the
    // one being recorded or cannot be read (each says so) or when the user cancels.
    template <class W>
    static std::optional<TagEdit::Result> editFile(QWidget* parent, const std::string& path,
                                                   const std::string& recordingPath) {
        const TagEdit edit(path, recordingPath);
        if (refuse(parent, edit)) {
            return std::nullopt;
        }
        W window(edit, parent);
        if (window.runModal() != QDialog::Accepted) {
            return std::nullopt;
        }
        return window.written();
    }

    static void fillGenres(QComboBox* combo);
    // Settings mode: the genre of a stored number (none outside 0..79).
    void showGenreNumber(QComboBox* combo, int number);
    // Tag mode: the genre of a name.
    void showGenreName(QComboBox* combo, const std::string& name);
    // The genre number the user picked, if they picked one since it was shown.
    std::optional<int> pickedGenre(const QComboBox* combo) const;

    // A tag-mode field: its text as read, and whether the user has changed what it showed.
    void showText(QLineEdit* field, const std::string& text);
    static std::string changedText(const QLineEdit* field, const std::string& original);

    // Tag mode OK: writes what differs from the file and closes, or says why it cannot.
    void writeTag(const TagRecord& edited);

    void paintContents(QPainter& painter) override;

private:
    static bool refuse(QWidget* parent, const TagEdit& edit);

    const TagEdit* m_edit;
    int m_genreShown = -1;
    std::optional<TagEdit::Result> m_written;
};

}  // namespace orvel
