#include "ui/settings/OutputWindow.h"

#include <QLineEdit>

#include "config/FolderCheck.h"
#include "recorder/OutputNaming.h"
#include "skin/PlainMessage.h"
#include "skin/SkinButton.h"
#include "ui/settings/FolderDialog.h"

namespace orvel {

namespace {

constexpr int kFileNameEdit = 1132;
constexpr int kFolderEdit = 1182;
constexpr int kBrowseButton = 1136;
constexpr int kMultiFileCheck = 1133;
constexpr int kTimeStampedCheck = 1134;
constexpr int kAlertCheck = 1135;
constexpr int kOkButton = 1032;
constexpr int kCancelButton = 1033;

struct FormatRadio {
    int id;
    OutputFormat format;
};
constexpr FormatRadio kRadios[] = {
    {1170, OutputFormat::Wav}, {1049, OutputFormat::Mp3}, {1171, OutputFormat::Wma}};

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
    connect(button(kMultiFileCheck), &SkinButton::clicked, this,
            toggle(&OutputSettings::toggleMultiFile));
    connect(button(kTimeStampedCheck), &SkinButton::clicked, this,
            toggle(&OutputSettings::toggleTimeStamped));
    connect(button(kAlertCheck), &SkinButton::clicked, this, toggle(&OutputSettings::toggleAlert));
    connect(button(kBrowseButton), &SkinButton::clicked, this, &OutputWindow::browse);
    connect(button(kOkButton), &SkinButton::clicked, this, &OutputWindow::confirm);
    connect(button(kCancelButton), &SkinButton::clicked, this, &OutputWindow::reject);
    showSettings();
}

void OutputWindow::takeFields() {
    m_settings.fileName = edit(kFileNameEdit)->text().toStdString();
    m_settings.folder = edit(kFolderEdit)->text().toStdString();
}

void OutputWindow::showSettings() {
    for (const auto& [id, text] : {std::pair{kFileNameEdit, m_settings.fileName},
                                   std::pair{kFolderEdit, m_settings.folder}}) {
        QLineEdit* field = edit(id);
        if (field->text().toStdString() != text) {
            field->setText(QString::fromStdString(text));
            field->setCursorPosition(0);
        }
    }
    for (const FormatRadio& r : kRadios) {
        button(r.id)->setLatched(m_settings.format == r.format);
    }
    button(kMultiFileCheck)->setLatched(m_settings.multiFile);
    button(kTimeStampedCheck)->setLatched(m_settings.timeStamped);
    button(kAlertCheck)->setLatched(m_settings.alert);
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
                                           edit(kFolderEdit)->setText(folder);
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
