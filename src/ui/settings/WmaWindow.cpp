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

constexpr int kGenreCombo = 1151;
constexpr int kProfileCombo = 1178;
constexpr int kOkButton = 1032;
constexpr int kCancelButton = 1033;

// The text fields: their control, setting and place in the tag record.
struct TextField {
    int id;
    setting::TextSetting setting;
    std::string TagRecord::*field;
};
const TextField kTexts[] = {
    {1173, setting::kWmaArtist, &TagRecord::artist},
    {1140, setting::kWmaTitle, &TagRecord::title},
    {1141, setting::kWmaAlbum, &TagRecord::album},
    {1175, setting::kWmaComposer, &TagRecord::composer},
    {1176, setting::kWmaCopyright, &TagRecord::copyright},
    {1177, setting::kWmaDescription, &TagRecord::description},
};

}  // namespace

WmaWindow::WmaWindow(const SettingsStore& store, QWidget* parent, const AudioFormat& recording)
    : TagFace(skin::FaceId::Wma, nullptr, parent), m_store(store) {
    fillGenres(combo(kGenreCombo));
    connectButtons();
    showSettings(recording);
}

WmaWindow::WmaWindow(const TagEdit& edit, QWidget* parent)
    : TagFace(skin::FaceId::Wma, &edit, parent) {
    fillGenres(combo(kGenreCombo));
    connectButtons();
    showTag();
}

void WmaWindow::connectButtons() {
    connect(button(kOkButton), &SkinButton::clicked, this, &WmaWindow::confirm);
    connect(button(kCancelButton), &SkinButton::clicked, this, &WmaWindow::reject);
}

void WmaWindow::showSettings(const AudioFormat& recording) {
    for (const TextField& t : kTexts) {
        edit(t.id)->setText(QString::fromStdString(m_store.readText(t.setting)));
        edit(t.id)->setCursorPosition(0);
    }
    showGenreNumber(combo(kGenreCombo), m_store.readNumber(setting::kWmaGenre));
    const auto profiles = WmaProfile::all();
    std::vector<int> order(profiles.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return profiles[static_cast<std::size_t>(a)].name <
               profiles[static_cast<std::size_t>(b)].name;
    });
    QComboBox* list = combo(kProfileCombo);
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
    combo(kProfileCombo)->setEnabled(false);
    const TagRecord& tag = tagEdit().original();
    for (const TextField& t : kTexts) {
        showText(edit(t.id), tag.*t.field);
    }
    showGenreName(combo(kGenreCombo), tag.genre);
}

void WmaWindow::confirm() {
    if (tagMode()) {
        const TagRecord& original = tagEdit().original();
        TagRecord edited = original;
        for (const TextField& t : kTexts) {
            edited.*t.field = changedText(edit(t.id), original.*t.field);
        }
        if (const auto genre = pickedGenre(combo(kGenreCombo))) {
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
    m_store.writeNumber(setting::kWmaGenre, combo(kGenreCombo)->currentIndex());
    const QComboBox* list = combo(kProfileCombo);
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
