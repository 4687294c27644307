#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

namespace orvel {

// One row of the track list: a recording as the log names it, or a file the user picked. The
// background file is kept with the row but not shown.
struct TrackRow {
    std::string name;      // file name without folder
    std::string location;  // folder, ending in "/"
    std::string startTime;
    std::string duration;
    std::string audioLine;
    std::string backgroundFile;

    friend bool operator==(const TrackRow&, const TrackRow&) = default;
};

// The rows behind the track list: at most kCapacity of them, shown in five columns (name,
// location, start time, duration, audio line). Rows are only appended and cleared.
//
// Thread contract: GUI thread only.
class TrackListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kCapacity = 100;
    static constexpr int kColumns = 5;

    using QAbstractTableModel::QAbstractTableModel;

    // The column titles, as the header paints them.
    static QString title(int column);

    // Appends a row; false (the list unchanged) when it holds kCapacity rows already.
    bool append(const TrackRow& row);
    void clear();
    const std::vector<TrackRow>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<TrackRow> m_rows;
};

}  // namespace orvel
