#include "ui/settings/TagFace.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>

#include "encoders/GenreTable.h"
#include "skin/PlainMessage.h"
#include "skin/SkinStrings.h"
#include "skin/layout/SkinStyle.h"

namespace orvel {

namespace {

// Kept as the field showed it at opening, to tell a changed text from one left alone.
constexpr char kShownProperty[] = "orvelShownText";

QString framed(const QString& path, const char* end) {
    return QStringLiteral("The file:\n\n%1\n\n%2").arg(path, QString::fromLatin1(end));
}

}  // namespace

TagFace::TagFace(skin::FaceId face, const TagEdit* edit, QWidget* parent)
    : SkinFace(face, parent), m_edit(edit) {
    if (m_edit) {
        setWindowTitle(windowTitle() + QStringLiteral(" - ") +
                       QString::fromStdString(m_edit->path()).section('/', -1));
    }
}

QString TagFace::beingRecordedMessage(const QString& path) {
    return framed(path, "is being recorded. Its tag can be edited when the recording has stopped.");
}

QString TagFace::unreadableMessage(const QString& path) {
    return framed(path, "can not be read. Please double check.");
}

QString TagFace::notWrittenMessage(const QString& path) {
    return framed(path, "can not be written. Please double check.");
}

bool TagFace::refuse(QWidget* parent, const TagEdit& edit) {
    const QString path = QString::fromStdString(edit.path());
    switch (edit.status()) {
        case TagEdit::Status::Ready:
            return false;
        case TagEdit::Status::BeingRecorded:
            PlainMessage::show(parent, QMessageBox::Warning, {}, beingRecordedMessage(path));
            return true;
        case TagEdit::Status::Unreadable:
            PlainMessage::show(parent, QMessageBox::Warning, {}, unreadableMessage(path));
            return true;
    }
    return true;
}

void TagFace::fillGenres(QComboBox* combo) {
    for (int number = 0; number < genre::kCount; ++number) {
        combo->addItem(toQString(genre::listEntry(number)));
    }
}

void TagFace::showGenreNumber(QComboBox* combo, int number) {
    m_genreShown = number >= 0 && number < genre::kCount ? number : -1;
    combo->setCurrentIndex(m_genreShown);
}

void TagFace::showGenreName(QComboBox* combo, const std::string& name) {
    m_genreShown = genre::findByName(name);
    combo->setCurrentIndex(m_genreShown);
    if (m_genreShown < 0) {
        combo->setPlaceholderText(QString::fromStdString(name));
    }
}

std::optional<int> TagFace::pickedGenre(const QComboBox* combo) const {
    const int current = combo->currentIndex();
    if (current < 0 || current == m_genreShown) {
        return std::nullopt;
    }
    return current;
}

void TagFace::showText(QLineEdit* field, const std::string& text) {
    field->setText(QString::fromStdString(text));
    field->setCursorPosition(0);
    field->setProperty(kShownProperty, field->text());
}

std::string TagFace::changedText(const QLineEdit* field, const std::string& original) {
    // A text left alone is the file's own, whole, whatever the field made of it.
    if (field->text() == field->property(kShownProperty).toString()) {
        return original;
    }
    return field->text().toStdString();
}

void TagFace::writeTag(const TagRecord& edited) {
    const TagEdit::Result result = m_edit->write(edited);
    if (!result.ok) {
        PlainMessage::show(this, QMessageBox::Warning, {},
                           notWrittenMessage(QString::fromStdString(m_edit->path())));
        return;
    }
    m_written = result;
    accept();
}

void TagFace::paintContents(QPainter& painter) {
    if (!m_edit) {
        return;
    }
    const QRect area = areaRect(skin::AreaId::TagFile);
    painter.save();
    painter.setFont(skin::SkinStyle::font(skin::FontRole::Note));
    painter.setPen(skin::SkinStyle::colour(skin::palette::kEngraving));
    const QString text = QStringLiteral("Tag of ") + QString::fromStdString(m_edit->path());
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(text, Qt::ElideMiddle, area.width()));
    painter.restore();
}

}  // namespace orvel
