#include "ui/history/HistoryPanel.h"

#include <QEvent>
#include <QLoggingCategory>
#include <QPainter>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeWidget>

#include "archive/HistoryTree.h"
#include "archive/RecordingLog.h"
#include "skin/PlainMessage.h"
#include "skin/SkinButton.h"
#include "skin/SkinFace.h"
#include "skin/SkinStrings.h"
#include "skin/TrackList.h"
#include "skin/layout/SkinStyle.h"

Q_LOGGING_CATEGORY(lcHistory, "orvel.history")

namespace orvel {

namespace {

constexpr int kNodeKind = Qt::UserRole;
constexpr int kNodePath = Qt::UserRole + 1;
// Texts stand this far inside the tag panel's columns.
constexpr int kTagInset = 4;

QRect toQRect(const skin::Rect& r) {
    return {r.x, r.y, r.width, r.height};
}

QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string toPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

TrackRow rowOf(const LogRecord& record) {
    return {record.fileName(), record.folder(),        record.startTime(),
            record.duration(), record.recordingLine(), record.backgroundFile()};
}

TrackRow rowOfFile(const std::string& path) {
    HistoryTree::PathParts parts = HistoryTree::splitPath(path);
    TrackRow row;
    row.name = std::move(parts.name);
    row.location = std::move(parts.folder);
    return row;
}

QTreeWidgetItem* node(QTreeWidgetItem* parent, const QString& text, int kind,
                      const std::string& path = {}) {
    auto* item = new QTreeWidgetItem(parent, {text});
    item->setData(0, kNodeKind, kind);
    if (!path.empty()) {
        item->setData(0, kNodePath, fromPath(path));
    }
    return item;
}

}  // namespace

HistoryPanel::HistoryPanel(SkinFace& face, std::string installFolder, Hooks hooks)
    : QWidget(&face),
      m_face(face),
      m_logFolder(RecordingLog(std::move(installFolder)).logFolder()),
      m_hooks(std::move(hooks)),
      m_tree(qobject_cast<QTreeWidget*>(face.control(ControlId::kHistoryTree))),
      m_list(new TrackList(this)),
      m_archive(face.button(ControlId::BTN_ARCHIVE)),
      m_archiveClose(face.button(ControlId::BTN_ARCHIVECLOSE)),
      m_editTag(face.button(ControlId::BTN_EDITID3TAG)) {
    Q_ASSERT(m_tree && m_archive && m_archiveClose && m_editTag);
    setObjectName(QStringLiteral("HistoryPanel"));
    const skin::ControlSpec* listSpec = face.spec().control(ControlId::kTrackList);
    const QRect listRect = toQRect(listSpec->rect);
    const skin::AreaSpec* tagArea = face.spec().area(skin::AreaId::TagPanel);
    const QRect tagRect = face.areaRect(skin::AreaId::TagPanel)
                              .united(face.areaRect(skin::AreaId::TagPanel, tagArea->count - 1));
    const QRect whole = listRect.united(tagRect);
    setGeometry(whole);
    m_list->setGeometry(listRect.translated(-whole.topLeft()));
    m_tagRect = tagRect.translated(-whole.topLeft());
    hide();

    connect(m_archive, &SkinButton::clicked, this, &HistoryPanel::open);
    connect(m_archiveClose, &SkinButton::clicked, this, &HistoryPanel::close);
    connect(m_editTag, &SkinButton::clicked, this, &HistoryPanel::editTag);
    connect(m_list, &TrackList::rowClicked, this, &HistoryPanel::rowClicked);
    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { nodeChosenLater(item); });
    // A press makes the node current before the click completes; the click handles it.
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (!m_treePressed) {
            nodeChosenLater(current);
        }
    });
    m_tree->viewport()->installEventFilter(this);
}

HistoryPanel::~HistoryPanel() = default;

void HistoryPanel::open() {
    if (m_open) {
        return;
    }
    m_open = true;
    m_face.setPanelOpen(skin::kLogPanel, true);
    m_archive->setEnabled(false);
    m_archive->hide();
    m_archiveClose->setEnabled(true);
    show();
    buildTree();
    m_list->setFocus(Qt::OtherFocusReason);
    showCurrentFile();
    m_list->clear();
    if (!m_currentFile.empty()) {
        m_list->add(rowOfFile(m_currentFile));
        m_list->setCurrent(0);
    }
}

void HistoryPanel::close() {
    if (!m_open) {
        return;
    }
    m_open = false;
    m_editTag->setEnabled(false);
    m_archiveClose->setEnabled(false);
    m_archive->setEnabled(true);
    m_archive->show();
    m_face.setPanelOpen(skin::kLogPanel, false);
    hide();
    m_pendingNode = nullptr;
    m_tree->clear();
    m_list->clear();
}

void HistoryPanel::setCurrentFile(const std::string& path) {
    m_currentFile = path;
    if (m_open) {
        showCurrentFile();
    }
}

void HistoryPanel::showCurrentFile() {
    m_editTag->setEnabled(HistoryFile::taggable(HistoryFile::typeOf(m_currentFile)));
    m_texts =
        m_currentFile.empty() ? HistoryFile::PanelTexts{} : HistoryFile::panelTexts(m_currentFile);
    update(m_tagRect);
}

void HistoryPanel::buildTree() {
    m_pendingNode = nullptr;
    const QSignalBlocker quiet(m_tree);
    m_tree->clear();
    node(m_tree->invisibleRootItem(), tr("Files for playing"), FilesNode);
    QTreeWidgetItem* history = node(m_tree->invisibleRootItem(), tr("Record History"), HistoryNode);
    for (const HistoryTree::Year& year : HistoryTree::scan(m_logFolder)) {
        QTreeWidgetItem* yearNode = node(history, QString::fromStdString(year.label), YearNode);
        for (const HistoryTree::Month& month : year.months) {
            QTreeWidgetItem* monthNode = node(yearNode, toQString(month.name), MonthNode);
            for (const HistoryTree::Day& day : month.days) {
                node(monthNode, QString::fromStdString(day.label), DayNode, day.path);
            }
        }
    }
    m_tree->setCurrentItem(nullptr);
}

bool HistoryPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tree->viewport()) {
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick) {
            m_treePressed = true;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            m_treePressed = false;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void HistoryPanel::nodeChosenLater(QTreeWidgetItem* item) {
    // Handled from the event loop, after the signal's own handling has ended.
    if (!item || item == m_pendingNode) {
        return;
    }
    m_pendingNode = item;
    QTimer::singleShot(0, this, &HistoryPanel::chooseNode);
}

void HistoryPanel::chooseNode() {
    QTreeWidgetItem* item = m_pendingNode;
    m_pendingNode = nullptr;
    if (!item || !m_open) {
        return;
    }
    switch (item->data(0, kNodeKind).toInt()) {
        case FilesNode:
            pickFiles();
            break;
        case DayNode:
            showDay(toPath(item->data(0, kNodePath).toString()));
            break;
        default:
            break;
    }
}

void HistoryPanel::showDay(const std::string& path) {
    m_list->clear();
    for (const LogRecord& record : HistoryTree::dayRecords(path)) {
        m_list->add(rowOf(record));
    }
}

void HistoryPanel::pickFiles() {
    if (m_picker) {
        return;
    }
    QString start = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (start.isEmpty() || !QFileInfo(start).isDir()) {
        start = QDir::homePath();
    }
    // Numbered and time-stamped recordings end in upper case (".WAV"); a desktop's own dialog
    // may match case-sensitively.
    auto* dialog = new QFileDialog(
        &m_face, tr("Files for playing"), start,
        tr("Recordings (*.wav *.mp3 *.wma *.WAV *.MP3 *.WMA);;WMA File (*.wma *.WMA);;"
           "MP3 File (*.mp3 *.MP3);;WAV File (*.wav *.WAV);;All Files (*)"));
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::filesSelected, this, &HistoryPanel::showFiles);
    m_picker = dialog;
    dialog->open();
}

void HistoryPanel::showFiles(const QStringList& paths) {
    if (paths.isEmpty()) {
        return;
    }
    m_list->clear();
    for (const QString& path : paths) {
        m_list->add(rowOfFile(toPath(path)));
    }
    m_list->setCurrent(0);
    rowClicked(0);
}

void HistoryPanel::rowClicked(int row) {
    const std::string path = m_list->path(row);
    if (path.empty()) {
        return;
    }
    m_currentFile = path;
    showCurrentFile();
    emit playFileChosen(fromPath(path));
}

void HistoryPanel::editTag() {
    const std::string recording = m_hooks.recordingFile ? m_hooks.recordingFile() : std::string();
    const bool playing = m_hooks.playing && m_hooks.playing();
    switch (HistoryFile::editRefusal(m_currentFile, recording, playing)) {
        case HistoryFile::EditRefusal::None:
            break;
        case HistoryFile::EditRefusal::BeingRecorded:
            PlainMessage::show(&m_face, QMessageBox::Information, {},
                               tr("%1 is being recorded. Its tag can be edited when the "
                                  "recording has ended.")
                                   .arg(fromPath(m_currentFile)));
            return;
        case HistoryFile::EditRefusal::Playing:
            qCInfo(lcHistory) << "no tag editing while a playback runs";
            return;
        case HistoryFile::EditRefusal::NotTaggable:
            return;
    }
    if (m_hooks.editTag && m_hooks.editTag(m_currentFile)) {
        showCurrentFile();
    }
}

void HistoryPanel::paintEvent(QPaintEvent*) {
    // The face's artwork draws the tag panel's display; the texts stand on it like the
    // dashboard's.
    QPainter painter(this);
    painter.setPen(skin::SkinStyle::colour(skin::palette::kDisplayText));
    const skin::AreaSpec* area = m_face.spec().area(skin::AreaId::TagPanel);
    painter.setFont(skin::SkinStyle::font(area->font));
    const QFontMetrics metrics = painter.fontMetrics();
    const int half = m_tagRect.width() / 2;
    for (int i = 0; i < 6; ++i) {
        const int column = i % 2;
        const int row = i / 2;
        const QRect cell(m_tagRect.x() + column * half + kTagInset,
                         m_tagRect.y() + row * area->pitch, half - 2 * kTagInset, area->pitch);
        const QString text = QString::fromStdString(m_texts[std::size_t(i)]);
        painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         metrics.elidedText(text, Qt::ElideRight, cell.width()));
    }
}

}  // namespace orvel
