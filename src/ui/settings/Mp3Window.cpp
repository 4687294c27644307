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

constexpr int kBitrateCombo = 1144;
constexpr int kModeCombo = 1150;
constexpr int kId3Check = 1149;
constexpr int kArtistEdit = 1141;
constexpr int kAlbumEdit = 1183;
constexpr int kTitleEdit = 1140;
constexpr int kYearEdit = 1142;
constexpr int kGenreCombo = 1151;
constexpr int kOkButton = 1032;
constexpr int kCancelButton = 1033;

struct FlagCheck {
    int id;
    setting::NumberSetting setting;
};
constexpr FlagCheck kFlags[] = {{1145, setting::kCrc},
                                {1146, setting::kOriginal},
                                {1147, setting::kCopyright},
                                {1148, setting::kPrivate},
                                {kId3Check, setting::kId3}};

constexpr int kTagFields[] = {kArtistEdit, kAlbumEdit, kTitleEdit, kYearEdit, kGenreCombo};

std::string cut(const QLineEdit* field, std::size_t bytes) {
    return std::string(text::cutBytes(field->text().toStdString(), bytes));
}

}  // namespace

Mp3Window::Mp3Window(const SettingsStore& store, QWidget* parent)
    : TagFace(skin::FaceId::Mp3, nullptr, parent), m_store(store) {
    fillGenres(combo(kGenreCombo));
    connectButtons();
    showSettings();
}

Mp3Window::Mp3Window(const TagEdit& edit, QWidget* parent)
    : TagFace(skin::FaceId::Mp3, &edit, parent) {
    fillGenres(combo(kGenreCombo));
    connectButtons();
    showTag();
}

void Mp3Window::connectButtons() {
    for (const FlagCheck& flag : kFlags) {
        SkinButton* check = button(flag.id);
        connect(check, &SkinButton::clicked, this, [this, check] {
            check->setLatched(!check->latched());
            if (check->id() == kId3Check) {
                setTagFieldsEnabled(check->latched());
            }
        });
    }
    connect(button(kOkButton), &SkinButton::clicked, this, &Mp3Window::confirm);
    connect(button(kCancelButton), &SkinButton::clicked, this, &Mp3Window::reject);
}

void Mp3Window::setTagFieldsEnabled(bool enabled) {
    for (int id : kTagFields) {
        control(id)->setEnabled(enabled);
    }
}

void Mp3Window::showSettings() {
    for (const FlagCheck& flag : kFlags) {
        button(flag.id)->setLatched(m_store.readNumber(flag.setting) != 0);
    }
    setTagFieldsEnabled(button(kId3Check)->latched());
    QComboBox* bitrate = combo(kBitrateCombo);
    bitrate->addItem(QStringLiteral("Default"));
    for (int i = 1; i < format::kMp3BitrateCount; ++i) {
        bitrate->addItem(QString::number(format::kMp3Bitrates[static_cast<std::size_t>(i)]));
    }
    bitrate->setCurrentIndex(m_store.readMp3Bitrate());
    combo(kModeCombo)
        ->addItems({QStringLiteral("Default"), QStringLiteral("Mono"), QStringLiteral("Stereo")});
    combo(kModeCombo)->setCurrentIndex(m_store.readMp3Mode());
    for (const auto& [id, which] :
         {std::pair{kArtistEdit, setting::kArtist}, std::pair{kAlbumEdit, setting::kAlbum},
          std::pair{kTitleEdit, setting::kTitle}, std::pair{kYearEdit, setting::kYear}}) {
        edit(id)->setText(QString::fromStdString(m_store.readText(which)));
        edit(id)->setCursorPosition(0);
    }
    showGenreNumber(combo(kGenreCombo), m_store.readNumber(setting::kGenre));
}

void Mp3Window::showTag() {
    for (const FlagCheck& flag : kFlags) {
        button(flag.id)->setEnabled(false);
    }
    combo(kBitrateCombo)->setEnabled(false);
    combo(kModeCombo)->setEnabled(false);
    const TagRecord& tag = tagEdit().original();
    showText(edit(kArtistEdit), tag.artist);
    showText(edit(kAlbumEdit), tag.album);
    showText(edit(kTitleEdit), tag.title);
    showText(edit(kYearEdit), tag.description);
    showGenreName(combo(kGenreCombo), tag.genre);
}

void Mp3Window::confirm() {
    if (tagMode()) {
        const TagRecord& original = tagEdit().original();
        TagRecord edited = original;
        edited.artist = changedText(edit(kArtistEdit), original.artist);
        edited.album = changedText(edit(kAlbumEdit), original.album);
        edited.title = changedText(edit(kTitleEdit), original.title);
        edited.description = changedText(edit(kYearEdit), original.description);
        if (const auto genre = pickedGenre(combo(kGenreCombo))) {
            edited.genreNumber = static_cast<std::uint8_t>(*genre);
            edited.genre = std::string(genre::name(*genre));
        }
        writeTag(edited);
        return;
    }
    for (const FlagCheck& flag : kFlags) {
        m_store.writeNumber(flag.setting, button(flag.id)->latched() ? 1 : 0);
    }
    m_store.writeMp3Bitrate(combo(kBitrateCombo)->currentIndex());
    m_store.writeMp3Mode(combo(kModeCombo)->currentIndex());
    m_store.writeText(setting::kArtist, cut(edit(kArtistEdit), Mp3Options::kTextBytes));
    m_store.writeText(setting::kAlbum, cut(edit(kAlbumEdit), Mp3Options::kTextBytes));
    m_store.writeText(setting::kTitle, cut(edit(kTitleEdit), Mp3Options::kTextBytes));
    m_store.writeText(setting::kYear, cut(edit(kYearEdit), Mp3Options::kYearBytes));
    m_store.writeNumber(setting::kGenre, combo(kGenreCombo)->currentIndex());
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
