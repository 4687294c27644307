#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

// Messages and tooltips that show their text exactly as it stands. Qt renders a string that
// looks like markup as rich text; the recorder's messages carry user paths and its tooltips
// come from language files, so neither may be read as markup.
//
// Messages open without a nested event loop (QMessageBox::open), window-modal over their
// parent, so nothing a command or a timer tick runs waits for the user.
//
// Thread contract: GUI thread only.
namespace orvel {

class PlainMessage {
public:
    using Done = std::function<void(QMessageBox::StandardButton)>;

    // Shows the message and returns at once; `done` runs with the button that closed it. The
    // box deletes itself when closed. An empty title shows the program's name.
    static QMessageBox* show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                             const QString& text,
                             QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                             Done done = {});

    // A tooltip that shows the text as it stands, markup-looking or not.
    static QString tooltip(const QString& text);
};

}  // namespace orvel
