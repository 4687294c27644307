#include "ui/settings/OutputWindow.h"

#include <QLineEdit>

#include "config/FolderCheck.h"
#include "recorder/OutputNaming.h"
#include "skin/PlainMessage.h"
#include "skin/SkinButton.h"
#include "ui/settings/FolderDialog.h"

namespace orvel {

namespace {

struct FormatRadio {
    ControlId id;
    OutputFormat format;
};
constexpr FormatRadio kRadios[] = {{ControlId::BTN_WAVFILE, OutputFormat::Wav},
                                   {ControlId::BTN_MP3FILE, OutputFormat::Mp3},
                                   {ControlId::BTN_WMAFILE, OutputFormat::Wma}};

}  // namespace

OutputWindow::OutputWindow(const SettingsStore& store, QWidget* parent)
    : SkinFace(skin::FaceId::Output, parent),
      m_store(store),
      m_settings(OutputSettings::fromStore(m_store, OutputNaming::defaultPath())) {
    for (const FormatRadio& r : kRadios) {
        connect(button(r.id), &SkinButton::clicked, this, [this, r] { chooseFormat(r.format); });
    }
    auto toggle = [this](void (OutputSettings::*flip)()) {
        return [this, flip] {
            (m_settings.*flip)();
            showSettings();
        };
    };
    connect(button(ControlId::BTN_MULTIFILE_OUTPUT), &SkinButton::clicked, this,
            toggle(&OutputSettings::toggleMultiFile));
    connect(button(ControlId::BTN_TIMESTAMPLE_OUTPUT), &SkinButton::clicked, this,
            toggle(&OutputSettings::toggleTimeStamped));
    connect(button(ControlId::BTN_ALERT_OUTPUT), &SkinButton::clicked, this,
            toggle(&OutputSettings::toggleAlert));
    connect(button(ControlId::BTN_BROWSE), &SkinButton::clicked, this, &OutputWindow::browse);
    connect(button(ControlId::BTN_OK), &SkinButton::clicked, this, &OutputWindow::confirm);
    connect(button(ControlId::BTN_CANCEL), &SkinButton::clicked, this, &OutputWindow::reject);
    showSettings();
}

void OutputWindow::takeFields() {
    m_settings.fileName = edit(ControlId::EDIT_FILENAME)->text().toStdString();
    m_settings.folder = edit(ControlId::EDIT_FILELOCATION)->text().toStdString();
}

void OutputWindow::showSettings() {
    for (const auto& [id, text] : {std::pair{ControlId::EDIT_FILENAME, m_settings.fileName},
                                   std::pair{ControlId::EDIT_FILELOCATION, m_settings.folder}}) {
        QLineEdit* field = edit(id);
        if (field->text().toStdString() != text) {
            field->setText(QString::fromStdString(text));
            field->setCursorPosition(0);
        }
    }
    for (const FormatRadio& r : kRadios) {
        button(r.id)->setLatched(m_settings.format == r.format);
    }
    button(ControlId::BTN_MULTIFILE_OUTPUT)->setLatched(m_settings.multiFile);
    button(ControlId::BTN_TIMESTAMPLE_OUTPUT)->setLatched(m_settings.timeStamped);
    button(ControlId::BTN_ALERT_OUTPUT)->setLatched(m_settings.alert);
}

void OutputWindow::chooseFormat(OutputFormat format) {
    takeFields();
    if (m_settings.chooseFormat(format)) {
        showSettings();
    }
}

void OutputWindow::browse() {
    takeFields();
    m_folderDialog = FolderDialog::ask(this, QString::fromStdString(m_settings.folder),
                                       [this](const QString& folder) {
                                           edit(ControlId::EDIT_FILELOCATION)->setText(folder);
                                           takeFields();
                                       });
}

void OutputWindow::confirm() {
    takeFields();
    switch (m_settings.save(m_store)) {
        case OutputSettings::SaveResult::Saved:
            accept();
            return;
        case OutputSettings::SaveResult::FolderInvalid:
            PlainMessage::show(
                this, QMessageBox::Warning, {},
                QString::fromStdString(FolderCheck::invalidMessage(m_settings.folder)));
            return;
        case OutputSettings::SaveResult::NameNotWritten:
            PlainMessage::show(this, QMessageBox::Warning, {},
                               QString::fromStdString(m_settings.nameRefusal()));
            return;
        case OutputSettings::SaveResult::FolderNotCreated:
            PlainMessage::show(this, QMessageBox::Warning, {},
                               QString::fromStdString(
                                   FolderCheck::notCreatedMessage(m_settings.normalisedFolder())));
            return;
    }
}

bool OutputWindow::run(QWidget* parent, const SettingsStore& store) {
    OutputWindow window(store, parent);
    return window.runModal() == QDialog::Accepted;
}

}  // namespace orvel
