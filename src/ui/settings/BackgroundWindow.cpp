#include "ui/settings/BackgroundWindow.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPainter>

#include "skin/FacePicture.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"
#include "skin/layout/SkinStyle.h"

namespace orvel {

namespace {

constexpr int kMaxScale = 100;

// The four radio groups: their buttons in window order and the value each one stands for.
struct RadioGroup {
    int BackgroundSettings::*value;
    ControlId ids[3];
    int values[3];
};
const RadioGroup kGroups[] = {
    {&BackgroundSettings::backgroundChannel,
     {ControlId::BTN_BACKGROUNDLEFT, ControlId::BTN_BACKGROUNDRIGHT,
      ControlId::BTN_BACKGROUNDLEFTRIGHT},
     {BackgroundSettings::LeftOnly, BackgroundSettings::RightOnly, BackgroundSettings::Both}},
    {&BackgroundSettings::recordingChannel,
     {ControlId::BTN_RECORDINGLEFT, ControlId::BTN_RECORDINGRIGHT,
      ControlId::BTN_RECORDINGLEFTRIGHT},
     {BackgroundSettings::LeftOnly, BackgroundSettings::RightOnly, BackgroundSettings::Both}},
    {&BackgroundSettings::vocalChannel,
     {ControlId::BTN_VOCALLEFT, ControlId::BTN_VOCALRIGHT, ControlId::BTN_VOCALLEFTRIGHT},
     {BackgroundSettings::RightChannel, BackgroundSettings::LeftChannel,
      BackgroundSettings::Difference}},
    {&BackgroundSettings::action,
     {ControlId::BTN_REPEAT, ControlId::BTN_STOPRECORDING, ControlId::BTN_STOPBACKGROUND},
     {BackgroundSettings::Repeat, BackgroundSettings::StopRecording,
      BackgroundSettings::StopBackground}},
};

}  // namespace

BackgroundWindow::BackgroundWindow(const SettingsStore& store, QWidget* parent)
    : SkinFace(skin::FaceId::Background, parent),
      m_store(store),
      m_settings(BackgroundSettings::fromStore(m_store)) {
    for (const RadioGroup& group : kGroups) {
        for (int i = 0; i < 3; ++i) {
            connect(button(group.ids[i]), &SkinButton::clicked, this, [this, &group, i] {
                m_settings.*group.value = group.values[i];
                showChoices();
            });
        }
    }
    connect(button(ControlId::BTN_REMOVE), &SkinButton::clicked, this, [this] {
        m_settings.removeVoice = !m_settings.removeVoice;
        showChoices();
    });
    connect(button(ControlId::BTN_PREVIEW), &SkinButton::clicked, this, [this] {
        m_settings.preview = !m_settings.preview;
        showChoices();
    });
    SkinSlider* mix = slider(skin::SliderId::Mix);
    auto takeMix = [this](int position) {
        m_settings.scale = kMaxScale - position;
        update();
    };
    connect(mix, &SkinSlider::moved, this, takeMix);
    connect(mix, &SkinSlider::released, this, takeMix);
    mix->setValue(kMaxScale - m_settings.scale);
    edit(ControlId::EDIT_BACKGROUNDFILE)->setText(QString::fromStdString(m_settings.file));
    edit(ControlId::EDIT_BACKGROUNDFILE)->setCursorPosition(0);
    connect(button(ControlId::BTN_BROWSE), &SkinButton::clicked, this, &BackgroundWindow::browse);
    connect(button(ControlId::BTN_OK), &SkinButton::clicked, this, &BackgroundWindow::confirm);
    connect(button(ControlId::BTN_CANCEL), &SkinButton::clicked, this, &BackgroundWindow::reject);
    showChoices();
}

void BackgroundWindow::showChoices() {
    for (const RadioGroup& group : kGroups) {
        for (int i = 0; i < 3; ++i) {
            button(group.ids[i])->setLatched(m_settings.*group.value == group.values[i]);
        }
    }
    button(ControlId::BTN_REMOVE)->setLatched(m_settings.removeVoice);
    button(ControlId::BTN_PREVIEW)->setLatched(m_settings.preview);
}

QStringList BackgroundWindow::fileFilters() {
    return {QStringLiteral("All Files (*)"), QStringLiteral("MP3 Files (*.mp3 *.MP3)"),
            QStringLiteral("WAV File (*.wav *.WAV)"), QStringLiteral("WMA File (*.wma *.WMA)")};
}

void BackgroundWindow::browse() {
    if (m_fileDialog) {
        return;
    }
    auto* dialog = new QFileDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters(fileFilters());
    const QString current = edit(ControlId::EDIT_BACKGROUNDFILE)->text();
    if (!current.isEmpty()) {
        dialog->selectFile(current);
    }
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        edit(ControlId::EDIT_BACKGROUNDFILE)->setText(file);
        edit(ControlId::EDIT_BACKGROUNDFILE)->setCursorPosition(0);
    });
    m_fileDialog = dialog;
    // Opened without waiting: the click that asked for it returns at once.
    dialog->open();
}

void BackgroundWindow::confirm() {
    m_settings.file = edit(ControlId::EDIT_BACKGROUNDFILE)->text().toStdString();
    m_settings.write(m_store);
    accept();
}

void BackgroundWindow::paintContents(QPainter& painter) {
    using skin::AreaId;
    FacePicture("IDR_SCALEBACKGROUNDNAME").render(painter, areaRect(AreaId::BackgroundPlate));
    FacePicture("IDR_SCALERECORDINGNAME").render(painter, areaRect(AreaId::RecordingPlate));
    painter.save();
    painter.setFont(skin::SkinStyle::font(skin::FontRole::Display));
    painter.setPen(skin::SkinStyle::colour(skin::palette::kEngraving));
    painter.drawText(areaRect(AreaId::BackgroundShare), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("%1%").arg(m_settings.scale));
    painter.drawText(areaRect(AreaId::RecordingShare), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("%1%").arg(kMaxScale - m_settings.scale));
    painter.restore();
}

BackgroundWindow::Outcome BackgroundWindow::run(QWidget* parent, const SettingsStore& store) {
    BackgroundWindow window(store, parent);
    Outcome outcome;
    outcome.accepted = window.runModal() == QDialog::Accepted;
    outcome.settings = BackgroundSettings::fromStore(store);
    return outcome;
}

}  // namespace orvel
