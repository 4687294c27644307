#pragma once

#include <QTableView>
#include <optional>
#include <string>

#include "skin/TrackListModel.h"

// The list of recordings in the front face's log panel: up to 100 rows under a header with the
// painted titles "Name", "Location", "Start time", "Duration" and "Audio line", on the skin's
// pattern, scrolling both ways. A click on a row (or Enter on the current one) selects it and
// emits rowClicked; the list itself plays nothing. Rows are only appended, read and cleared:
// there are no check boxes, marks, notes or in-place editing.
//
// Texts come back as strings (row(), path()), never copied into a caller's buffer.
//
// Thread contract: GUI thread only.
namespace orvel {

class TrackList : public QTableView {
    Q_OBJECT

public:
    static constexpr int kCapacity = TrackListModel::kCapacity;

    explicit TrackList(QWidget* parent = nullptr);

    // Appends a row; a row beyond the capacity is ignored (false).
    bool add(const TrackRow& row);
    // Empties the list; no row is current afterwards.
    void clear();
    int count() const;
    // The row at an index; none outside 0..count()-1.
    std::optional<TrackRow> row(int index) const;
    // The current (selected) row, -1 for none.
    int current() const;
    // Makes a row current and selected; an index outside the rows clears the selection.
    void setCurrent(int index);
    // Location and name joined, as they stand (the location ends in "/"); empty outside the
    // rows.
    std::string path(int index) const;

signals:
    // The user clicked a row (it is current and selected by then).
    void rowClicked(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TrackListModel m_model;
};

}  // namespace orvel
