#include "skin/TrackList.h"

#include <QKeyEvent>

#include "skin/SkinFace.h"
#include "skin/TrackListHeader.h"
#include "skin/layout/SkinStyle.h"

namespace orvel {

namespace {

// The first four columns; "Audio line" takes the rest, so that the five fit the log panel's
// 431 pixels with or without the vertical scroll bar, and no title is cut.
constexpr int kColumnWidths[TrackListModel::kColumns - 1] = {110, 110, 60, 55};
// The header's least and default section size: a stretched last column never gets narrower
// than either, and the defaults (100 px) would push it out of view.
constexpr int kMinimumColumn = 40;

}  // namespace

TrackList::TrackList(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("TrackList"));
    setModel(&m_model);
    setHorizontalHeader(new TrackListHeader(this));
    SkinFace::dress(this);
    // The rows stand on the list's pattern, as the header does.
    setStyleSheet(styleSheet() + QStringLiteral("QTableView { background-image: "
                                                "url(:/skin/IDR_GREENBACKGROUNDBMP.bmp); }"));
    verticalHeader()->hide();
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::NoContextMenu);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setMinimumSectionSize(kMinimumColumn);
    horizontalHeader()->setDefaultSectionSize(kMinimumColumn);
    for (int column = 0; column < TrackListModel::kColumns - 1; ++column) {
        setColumnWidth(column, kColumnWidths[column]);
    }
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setAccessibleName(tr("Recordings"));
    connect(this, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) {
            emit rowClicked(index.row());
        }
    });
}

bool TrackList::add(const TrackRow& row) {
    return m_model.append(row);
}

void TrackList::clear() {
    m_model.clear();
}

int TrackList::count() const {
    return m_model.rowCount();
}

std::optional<TrackRow> TrackList::row(int index) const {
    if (index < 0 || index >= count()) {
        return std::nullopt;
    }
    return m_model.rows()[std::size_t(index)];
}

int TrackList::current() const {
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.front().row();
}

void TrackList::setCurrent(int index) {
    if (index < 0 || index >= count()) {
        clearSelection();
        selectionModel()->clearCurrentIndex();
        return;
    }
    selectRow(index);
    scrollTo(m_model.index(index, 0));
}

std::string TrackList::path(int index) const {
    const std::optional<TrackRow> r = row(index);
    return r ? r->location + r->name : std::string();
}

void TrackList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && current() >= 0) {
        emit rowClicked(current());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace orvel
