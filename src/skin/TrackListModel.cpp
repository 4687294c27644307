#include "skin/TrackListModel.h"

#include "skin/PlainMessage.h"

namespace orvel {

QString TrackListModel::title(int column) {
    switch (column) {
        case 0:
            return QStringLiteral("Name");
        case 1:
            return QStringLiteral("Location");
        case 2:
            return QStringLiteral("Start time");
        case 3:
            return QStringLiteral("Duration");
        case 4:
            return QStringLiteral("Audio line");
        default:
            return {};
    }
}

bool TrackListModel::append(const TrackRow& row) {
    if (m_rows.size() >= std::size_t(kCapacity)) {
        return false;
    }
    const int at = static_cast<int>(m_rows.size());
    beginInsertRows({}, at, at);
    m_rows.push_back(row);
    endInsertRows();
    return true;
}

void TrackListModel::clear() {
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

int TrackListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TrackListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant TrackListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const TrackRow& row = m_rows[std::size_t(index.row())];
    const std::string* texts[kColumns] = {&row.name, &row.location, &row.startTime, &row.duration,
                                          &row.audioLine};
    const QString text = QString::fromStdString(*texts[index.column()]);
    if (role == Qt::ToolTipRole) {
        // Columns are narrow: the whole text where it does not fit (as plain text).
        return text.isEmpty() ? QVariant() : QVariant(PlainMessage::tooltip(text));
    }
    return text;
}

QVariant TrackListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        return title(section);
    }
    return {};
}

}  // namespace orvel
