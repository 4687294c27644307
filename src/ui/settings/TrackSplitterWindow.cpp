#include "ui/settings/TrackSplitterWindow.h"

#include "skin/SkinButton.h"
#include "skin/SkinLineEdit.h"
#include "skin/SkinSlider.h"
#include "skin/SkinStrings.h"
#include "skin/layout/SkinStyle.h"

namespace orvel {

namespace {

struct ActionButton {
    ControlId id;
    int action;
};
constexpr ActionButton kActions[] = {{ControlId::BTN_NEWFILE, SignalSettings::NewFile},
                                     {ControlId::BTN_TRACKSPLITTERPAUSE, SignalSettings::Pause},
                                     {ControlId::BTN_TRACKSPLITTERSTOP, SignalSettings::Stop}};

// A number field that checks itself with `field` and moves `slider` to what it accepts.
void bindField(SkinLineEdit* edit, const NumberField& field, SkinSlider* slider, int toSlider) {
    // The small displays' condensed font: five digits fit the narrow fields.
    edit->setFont(skin::SkinStyle::font(skin::FontRole::Display));
    edit->setAlignment(Qt::AlignRight);
    edit->setCheck(
        [field](const QString& text) { return toQString(field.check(text.toStdString())); });
    QObject::connect(edit, &SkinLineEdit::accepted, slider, [=](const QString& text) {
        slider->setValue(NumberField::parse(text.toStdString()) + toSlider);
    });
}

}  // namespace

TrackSplitterWindow::TrackSplitterWindow(const SettingsStore& store, QWidget* parent)
    : SkinFace(skin::FaceId::TrackSplitter, parent),
      m_store(store),
      m_threshold(qobject_cast<SkinLineEdit*>(edit(ControlId::EDIT_THRESHOLD))),
      m_delay(qobject_cast<SkinLineEdit*>(edit(ControlId::EDIT_DELAY))) {
    SkinSlider* threshold = slider(skin::SliderId::SplitThreshold);
    SkinSlider* delay = slider(skin::SliderId::SplitDelay);
    const int offset = SignalSettings::kThresholdOffset;
    bindField(m_threshold, SignalSettings::kThresholdField, threshold, offset);
    bindField(m_delay, SignalSettings::kDelayField, delay, 0);
    // The field follows the thumb while it moves and where it snaps to.
    auto showThreshold = [this](int value) {
        m_threshold->setText(QString::number(value - SignalSettings::kThresholdOffset));
    };
    auto showDelay = [this](int value) { m_delay->setText(QString::number(value)); };
    connect(threshold, &SkinSlider::moved, this, showThreshold);
    connect(threshold, &SkinSlider::released, this, showThreshold);
    connect(delay, &SkinSlider::moved, this, showDelay);
    connect(delay, &SkinSlider::released, this, showDelay);

    for (const ActionButton& a : kActions) {
        connect(button(a.id), &SkinButton::clicked, this, [this, a] { chooseAction(a.action); });
    }
    connect(button(ControlId::BTN_OK), &SkinButton::clicked, this, &TrackSplitterWindow::confirm);
    connect(button(ControlId::BTN_CANCEL), &SkinButton::clicked, this,
            &TrackSplitterWindow::reject);

    const SignalSettings settings = SignalSettings::fromStore(m_store);
    // The window shows a stored action it does not know as a new file, which OK then stores.
    const int stored = m_store.readNumber(setting::kSignalType);
    chooseAction(stored == SignalSettings::Pause  ? SignalSettings::Pause
                 : stored == SignalSettings::Stop ? SignalSettings::Stop
                                                  : SignalSettings::NewFile);
    threshold->setValue(settings.threshold);
    delay->setValue(settings.delay);
    showThreshold(settings.threshold);
    showDelay(settings.delay);
}

void TrackSplitterWindow::chooseAction(int action) {
    m_action = action;
    for (const ActionButton& a : kActions) {
        button(a.id)->setLatched(a.action == action);
    }
}

void TrackSplitterWindow::confirm() {
    // A number typed but not yet left counts: it is checked (and moves its slider) now.
    if (!m_threshold->check() || !m_delay->check()) {
        return;
    }
    SignalSettings settings;
    settings.threshold = slider(skin::SliderId::SplitThreshold)->value();
    settings.action = m_action;
    settings.delay = slider(skin::SliderId::SplitDelay)->value();
    settings.write(m_store);
    accept();
}

TrackSplitterWindow::Outcome TrackSplitterWindow::run(QWidget* parent, const SettingsStore& store) {
    TrackSplitterWindow window(store, parent);
    Outcome outcome;
    outcome.accepted = window.runModal() == QDialog::Accepted;
    outcome.settings = SignalSettings::fromStore(store);
    return outcome;
}

}  // namespace orvel
