#include "ui/settings/FolderDialog.h"

#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "config/FolderCheck.h"
#include "skin/PlainMessage.h"

namespace orvel {

namespace {

const QString kTitle = QStringLiteral("Select a Folder");

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

FolderDialog* FolderDialog::ask(QWidget* parent, const QString& initial, Chosen chosen) {
    auto* dialog = new FolderDialog(parent, initial);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &FolderDialog::folderChosen, dialog, std::move(chosen));
    dialog->open();
    return dialog;
}

FolderDialog::FolderDialog(QWidget* parent, const QString& initial)
    : QDialog(parent),
      m_model(new QFileSystemModel(this)),
      m_field(new QLineEdit(this)),
      m_tree(new QTreeView(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(kTitle);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setRootPath(QStringLiteral("/"));
    m_tree->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column) {
        m_tree->hideColumn(column);
    }
    m_tree->header()->hide();
    m_field->setAccessibleName(tr("Folder"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(kTitle, this));
    layout->addWidget(m_field);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_buttons);
    resize(420, 460);

    QString start = initial;
    while (start.size() > 1 && start.endsWith('/')) {
        start.chop(1);
    }
    m_initial = start;
    m_field->setText(start);
    const QModelIndex at = m_model->index(start);
    if (at.isValid()) {
        m_tree->setCurrentIndex(at);
        // The model reads and sorts folders in the background: keep the folder in view as its
        // neighbours come in, until the user chooses another.
        const auto keepInView = [this] {
            if (m_tree->currentIndex() == m_model->index(m_initial)) {
                m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
            }
        };
        connect(m_model, &QFileSystemModel::directoryLoaded, this, keepInView);
        connect(m_model, &QAbstractItemModel::layoutChanged, this, keepInView);
    }
    QPushButton* ok = m_buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(!start.isEmpty());
    ok->setDefault(true);
    connect(m_field, &QLineEdit::textEdited, ok,
            [ok](const QString& text) { ok->setEnabled(!text.isEmpty()); });
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, ok](const QModelIndex& current) {
                const QString path = m_model->filePath(current);
                m_field->setText(path);
                ok->setEnabled(!path.isEmpty());
            });
    connect(m_buttons, &QDialogButtonBox::accepted, this, &FolderDialog::confirm);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &FolderDialog::reject);
}

void FolderDialog::confirm() {
    const QString folder = m_field->text();
    if (folder.isEmpty()) {
        return;
    }
    const std::string path = folder.toStdString();
    switch (FolderCheck::check(path)) {
        case FolderCheck::Verdict::Exists:
            finish(folder);
            return;
        case FolderCheck::Verdict::Invalid:
            PlainMessage::show(this, QMessageBox::Warning, {},
                               fromStd(FolderCheck::invalidMessage(path)), QMessageBox::Ok,
                               [this](QMessageBox::StandardButton) { backToField(); });
            return;
        case FolderCheck::Verdict::Missing:
            break;
    }
    PlainMessage::show(
        this, QMessageBox::Question, {}, fromStd(FolderCheck::missingQuestion(path)),
        QMessageBox::Yes | QMessageBox::No, [this, folder, path](QMessageBox::StandardButton b) {
            if (b != QMessageBox::Yes) {
                backToField();
            } else if (FolderCheck::create(path)) {
                finish(folder);
            } else {
                PlainMessage::show(this, QMessageBox::Warning, {},
                                   fromStd(FolderCheck::notCreatedMessage(path)), QMessageBox::Ok,
                                   [this](QMessageBox::StandardButton) { backToField(); });
            }
        });
}

void FolderDialog::backToField() {
    m_field->setFocus(Qt::OtherFocusReason);
    m_field->selectAll();
}

void FolderDialog::finish(const QString& folder) {
    emit folderChosen(folder);
    accept();
}

}  // namespace orvel
