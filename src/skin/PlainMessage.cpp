#include "skin/PlainMessage.h"

#include <QTextDocument>

#include "config/Product.h"

namespace orvel {

QMessageBox* PlainMessage::show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                const QString& text, QMessageBox::StandardButtons buttons,
                                Done done) {
    auto* box = new QMessageBox(icon, title.isEmpty() ? QString::fromLatin1(product::kName) : title,
                                text, buttons, parent);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [box, done = std::move(done)](int) {
        if (done) {
            done(box->standardButton(box->clickedButton()));
        }
    });
    box->open();
    return box;
}

QString PlainMessage::tooltip(const QString& text) {
    if (text.isEmpty()) {
        return text;
    }
    // Escaped and wrapped as rich text: Qt then shows every character as written.
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

}  // namespace orvel
