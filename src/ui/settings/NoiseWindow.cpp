#include "ui/settings/NoiseWindow.h"

#include "skin/SkinButton.h"
#include "skin/SkinLineEdit.h"
#include "skin/SkinSlider.h"
#include "skin/SkinStrings.h"
#include "skin/layout/SkinStyle.h"

namespace orvel {

namespace {

// Field and slider of each value, in NoiseSettings::Field order.
constexpr ControlId kEdits[NoiseSettings::kFieldCount] = {
    ControlId::EDIT_THRESHOLD, ControlId::EDIT_RELEASETIME, ControlId::EDIT_ATTACKTIME,
    ControlId::EDIT_LOWPASS, ControlId::EDIT_HIGHPASS};
constexpr skin::SliderId kSliders[NoiseSettings::kFieldCount] = {
    skin::SliderId::NoiseThreshold, skin::SliderId::Release, skin::SliderId::Attack,
    skin::SliderId::LowPass, skin::SliderId::HighPass};

}  // namespace

NoiseWindow::NoiseWindow(const SettingsStore& store, QWidget* parent)
    : SkinFace(skin::FaceId::Noise, parent), m_store(store) {
    const NoiseSettings settings = NoiseSettings::fromStore(m_store);
    for (int i = 0; i < NoiseSettings::kFieldCount; ++i) {
        const auto field = static_cast<NoiseSettings::Field>(i);
        const NumberField range = NoiseSettings::spec(field).shown;
        SkinLineEdit* edit = qobject_cast<SkinLineEdit*>(this->edit(kEdits[i]));
        SkinSlider* slider = this->slider(kSliders[i]);
        m_fields[i] = edit;
        // The small displays' condensed font: five digits fit the narrow fields.
        edit->setFont(skin::SkinStyle::font(skin::FontRole::Display));
        edit->setAlignment(Qt::AlignRight);
        edit->setCheck(
            [range](const QString& text) { return toQString(range.check(text.toStdString())); });
        connect(edit, &SkinLineEdit::accepted, slider, [slider, field](const QString& text) {
            NoiseSettings value;
            value.shown[field] = NumberField::parse(text.toStdString());
            slider->setValue(value.sliderValue(field));
        });
        auto show = [edit, field](int value) {
            edit->setText(QString::number(NoiseSettings::shownFromSlider(field, value)));
        };
        connect(slider, &SkinSlider::moved, this, show);
        connect(slider, &SkinSlider::released, this, show);
        slider->setValue(settings.sliderValue(field));
        edit->setText(QString::number(settings.shown[i]));
    }
    connect(button(ControlId::BTN_OK), &SkinButton::clicked, this, &NoiseWindow::confirm);
    connect(button(ControlId::BTN_CANCEL), &SkinButton::clicked, this, &NoiseWindow::reject);
}

void NoiseWindow::confirm() {
    // Every field again, whatever path led here: the first refused one shows its message and
    // takes the focus, and nothing is stored.
    for (SkinLineEdit* field : m_fields) {
        if (!field->check()) {
            return;
        }
    }
    NoiseSettings settings;
    for (int i = 0; i < NoiseSettings::kFieldCount; ++i) {
        settings.shown[i] = NumberField::parse(m_fields[i]->text().toStdString());
    }
    settings.write(m_store);
    accept();
}

NoiseWindow::Outcome NoiseWindow::run(QWidget* parent, const SettingsStore& store) {
    NoiseWindow window(store, parent);
    Outcome outcome;
    outcome.accepted = window.runModal() == QDialog::Accepted;
    outcome.settings = NoiseSettings::fromStore(store);
    return outcome;
}

}  // namespace orvel
