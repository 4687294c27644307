#include "ui/settings/WmaWindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <algorithm>
#include <numeric>
#include <vector>

#include "config/Text.h"
#include "encoders/GenreTable.h"
#include "encoders/WmaProfile.h"
#include "skin/SkinButton.h"
#include "skin/SkinStrings.h"

namespace orvel {

namespace {

// The text fields: their control, setting and place in the tag record.
struct TextField {
    ControlId id;
    setting::TextSetting setting;
    std::string TagRecord::*field;
};
const TextField kTexts[] = {
    {ControlId::EDIT_AUTHOR, setting::kWmaArtist, &TagRecord::artist},
    {ControlId::EDIT_TITLE, setting::kWmaTitle, &TagRecord::title},
    {ControlId::EDIT_ARTIST, setting::kWmaAlbum, &TagRecord::album},
    {ControlId::EDIT_PROVIDER, setting::kWmaComposer, &TagRecord::composer},
    {ControlId::EDIT_TRACKNUMBER, setting::kWmaCopyright, &TagRecord::copyright},
    {ControlId::EDIT_DISTRIBUTOR, setting::kWmaDescription, &TagRecord::description},
};

}  // namespace

WmaWindow::WmaWindow(const SettingsStore& store, QWidget* parent, const AudioFormat& recording)
    : TagFace(skin::FaceId::Wma, nullptr, parent), m_store(store) {
    fillGenres(combo(ControlId::COMBO_GENRE));
    connectButtons();
    showSettings(recording);
}

WmaWindow::WmaWindow(const TagEdit& edit, QWidget* parent)
    : TagFace(skin::FaceId::Wma, &edit, parent) {
    fillGenres(combo(ControlId::COMBO_GENRE));
    connectButtons();
    showTag();
}

void WmaWindow::connectButtons() {
    connect(button(ControlId::BTN_OK), &SkinButton::clicked, this, &WmaWindow::confirm);
    connect(button(ControlId::BTN_CANCEL), &SkinButton::clicked, this, &WmaWindow::reject);
}

void WmaWindow::showSettings(const AudioFormat& recording) {
    for (const TextField& t : kTexts) {
        edit(t.id)->setText(QString::fromStdString(m_store.readText(t.setting)));
        edit(t.id)->setCursorPosition(0);
    }
    showGenreNumber(combo(ControlId::COMBO_GENRE), m_store.readNumber(setting::kWmaGenre));
    const auto profiles = WmaProfile::all();
    std::vector<int> order(profiles.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return profiles[static_cast<std::size_t>(a)].name <
               profiles[static_cast<std::size_t>(b)].name;
    });
    QComboBox* list = combo(ControlId::COMBO_FORMAT);
    for (int index : order) {
        list->addItem(toQString(profiles[static_cast<std::size_t>(index)].name), index);
    }
    // With no profile stored, a recording takes the first profile of its own format: the
    // window shows that one, so OK keeps what recordings have used so far.
    int shown = list->findData(m_store.readNumber(setting::kWmaFormat));
    if (shown < 0) {
        shown = list->findData(WmaProfile::firstFor(recording));
    }
    list->setCurrentIndex(std::max(shown, 0));
}

void WmaWindow::showTag() {
    combo(ControlId::COMBO_FORMAT)->setEnabled(false);
    const TagRecord& tag = tagEdit().original();
    for (const TextField& t : kTexts) {
        showText(edit(t.id), tag.*t.field);
    }
    showGenreName(combo(ControlId::COMBO_GENRE), tag.genre);
}

void WmaWindow::confirm() {
    if (tagMode()) {
        const TagRecord& original = tagEdit().original();
        TagRecord edited = original;
        for (const TextField& t : kTexts) {
            edited.*t.field = changedText(edit(t.id), original.*t.field);
        }
        if (const auto genre = pickedGenre(combo(ControlId::COMBO_GENRE))) {
            edited.genre = std::string(genre::name(*genre));
            edited.genreNumber = static_cast<std::uint8_t>(*genre);
        }
        writeTag(edited);
        return;
    }
    for (const TextField& t : kTexts) {
        m_store.writeText(t.setting, text::fitCapacity(edit(t.id)->text().toStdString(),
                                                       TagRecord::kTextCapacity));
    }
    m_store.writeNumber(setting::kWmaGenre, combo(ControlId::COMBO_GENRE)->currentIndex());
    const QComboBox* list = combo(ControlId::COMBO_FORMAT);
    m_store.writeNumber(setting::kWmaFormat,
                        list->currentIndex() < 0 ? -1 : list->currentData().toInt());
    accept();
}

bool WmaWindow::runSettings(QWidget* parent, const SettingsStore& store,
                            const AudioFormat& recording) {
    WmaWindow window(store, parent, recording);
    return window.runModal() == QDialog::Accepted;
}

std::optional<TagEdit::Result> WmaWindow::runTag(QWidget* parent, const std::string& path,
                                                 const std::string& recordingPath) {
    return editFile<WmaWindow>(parent, path, recordingPath);
}

}  // namespace orvel
