#pragma once

#include <QHeaderView>

// The track list's header: each cell on the list's pattern with its title painted centred in
// the engraving colour, a one-pixel line between cells (none after the last). Clicking it does
// nothing: the list is not sorted.
//
// Thread contract: GUI thread only.
namespace orvel {

class TrackListHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit TrackListHeader(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

}  // namespace orvel
