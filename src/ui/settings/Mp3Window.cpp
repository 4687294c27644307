#include "ui/settings/Mp3Window.h"

#include <QComboBox>
#include <QLineEdit>

#include "config/FormatTables.h"
#include "config/Text.h"
#include "encoders/GenreTable.h"
#include "encoders/Mp3Options.h"
#include "skin/SkinButton.h"

namespace orvel {

namespace {

struct FlagCheck {
    ControlId id;
    setting::NumberSetting setting;
};
constexpr FlagCheck kFlags[] = {{ControlId::BTN_CRC, setting::kCrc},
                                {ControlId::BTN_ORIGINAL, setting::kOriginal},
                                {ControlId::BTN_COPYRIGHT, setting::kCopyright},
                                {ControlId::BTN_PRIVATE, setting::kPrivate},
                                {ControlId::BTN_ID3, setting::kId3}};

constexpr ControlId kTagFields[] = {ControlId::EDIT_ARTIST, ControlId::EDIT_ALBUM,
                                    ControlId::EDIT_TITLE, ControlId::EDIT_YEAR,
                                    ControlId::COMBO_GENRE};

std::string cut(const QLineEdit* field, std::size_t bytes) {
    return std::string(text::cutBytes(field->text().toStdString(), bytes));
}

}  // namespace

Mp3Window::Mp3Window(const SettingsStore& store, QWidget* parent)
    : TagFace(skin::FaceId::Mp3, nullptr, parent), m_store(store) {
    fillGenres(combo(ControlId::COMBO_GENRE));
    connectButtons();
    showSettings();
}

Mp3Window::Mp3Window(const TagEdit& edit, QWidget* parent)
    : TagFace(skin::FaceId::Mp3, &edit, parent) {
    fillGenres(combo(ControlId::COMBO_GENRE));
    connectButtons();
    showTag();
}

void Mp3Window::connectButtons() {
    for (const FlagCheck& flag : kFlags) {
        SkinButton* check = button(flag.id);
        connect(check, &SkinButton::clicked, this, [this, check] {
            check->setLatched(!check->latched());
            if (check->id() == ControlId::BTN_ID3) {
                setTagFieldsEnabled(check->latched());
            }
        });
    }
    connect(button(ControlId::BTN_OK), &SkinButton::clicked, this, &Mp3Window::confirm);
    connect(button(ControlId::BTN_CANCEL), &SkinButton::clicked, this, &Mp3Window::reject);
}

void Mp3Window::setTagFieldsEnabled(bool enabled) {
    for (ControlId id : kTagFields) {
        control(id)->setEnabled(enabled);
    }
}

void Mp3Window::showSettings() {
    for (const FlagCheck& flag : kFlags) {
        button(flag.id)->setLatched(m_store.readNumber(flag.setting) != 0);
    }
    setTagFieldsEnabled(button(ControlId::BTN_ID3)->latched());
    QComboBox* bitrate = combo(ControlId::COMBO_BITRATE);
    bitrate->addItem(QStringLiteral("Default"));
    for (int i = 1; i < format::kMp3BitrateCount; ++i) {
        bitrate->addItem(QString::number(format::kMp3Bitrates[static_cast<std::size_t>(i)]));
    }
    bitrate->setCurrentIndex(m_store.readMp3Bitrate());
    combo(ControlId::COMBO_STEREOMODE)
        ->addItems({QStringLiteral("Default"), QStringLiteral("Mono"), QStringLiteral("Stereo")});
    combo(ControlId::COMBO_STEREOMODE)->setCurrentIndex(m_store.readMp3Mode());
    for (const auto& [id, which] : {std::pair{ControlId::EDIT_ARTIST, setting::kArtist},
                                    std::pair{ControlId::EDIT_ALBUM, setting::kAlbum},
                                    std::pair{ControlId::EDIT_TITLE, setting::kTitle},
                                    std::pair{ControlId::EDIT_YEAR, setting::kYear}}) {
        edit(id)->setText(QString::fromStdString(m_store.readText(which)));
        edit(id)->setCursorPosition(0);
    }
    showGenreNumber(combo(ControlId::COMBO_GENRE), m_store.readNumber(setting::kGenre));
}

void Mp3Window::showTag() {
    for (const FlagCheck& flag : kFlags) {
        button(flag.id)->setEnabled(false);
    }
    combo(ControlId::COMBO_BITRATE)->setEnabled(false);
    combo(ControlId::COMBO_STEREOMODE)->setEnabled(false);
    const TagRecord& tag = tagEdit().original();
    showText(edit(ControlId::EDIT_ARTIST), tag.artist);
    showText(edit(ControlId::EDIT_ALBUM), tag.album);
    showText(edit(ControlId::EDIT_TITLE), tag.title);
    showText(edit(ControlId::EDIT_YEAR), tag.description);
    showGenreName(combo(ControlId::COMBO_GENRE), tag.genre);
}

void Mp3Window::confirm() {
    if (tagMode()) {
        const TagRecord& original = tagEdit().original();
        TagRecord edited = original;
        edited.artist = changedText(edit(ControlId::EDIT_ARTIST), original.artist);
        edited.album = changedText(edit(ControlId::EDIT_ALBUM), original.album);
        edited.title = changedText(edit(ControlId::EDIT_TITLE), original.title);
        edited.description = changedText(edit(ControlId::EDIT_YEAR), original.description);
        if (const auto genre = pickedGenre(combo(ControlId::COMBO_GENRE))) {
            edited.genreNumber = static_cast<std::uint8_t>(*genre);
            edited.genre = std::string(genre::name(*genre));
        }
        writeTag(edited);
        return;
    }
    for (const FlagCheck& flag : kFlags) {
        m_store.writeNumber(flag.setting, button(flag.id)->latched() ? 1 : 0);
    }
    m_store.writeMp3Bitrate(combo(ControlId::COMBO_BITRATE)->currentIndex());
    m_store.writeMp3Mode(combo(ControlId::COMBO_STEREOMODE)->currentIndex());
    m_store.writeText(setting::kArtist, cut(edit(ControlId::EDIT_ARTIST), Mp3Options::kTextBytes));
    m_store.writeText(setting::kAlbum, cut(edit(ControlId::EDIT_ALBUM), Mp3Options::kTextBytes));
    m_store.writeText(setting::kTitle, cut(edit(ControlId::EDIT_TITLE), Mp3Options::kTextBytes));
    m_store.writeText(setting::kYear, cut(edit(ControlId::EDIT_YEAR), Mp3Options::kYearBytes));
    m_store.writeNumber(setting::kGenre, combo(ControlId::COMBO_GENRE)->currentIndex());
    accept();
}

bool Mp3Window::runSettings(QWidget* parent, const SettingsStore& store) {
    Mp3Window window(store, parent);
    return window.runModal() == QDialog::Accepted;
}

std::optional<TagEdit::Result> Mp3Window::runTag(QWidget* parent, const std::string& path,
                                                 const std::string& recordingPath) {
    return editFile<Mp3Window>(parent, path, recordingPath);
}

}  // namespace orvel
