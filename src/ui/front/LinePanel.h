#pragma once

#include <QRect>
#include <vector>

#include "recorder/FaceState.h"
#include "skin/layout/SkinLayout.h"

class QPainter;

// The line window's sockets on the front face's side panel: one jack socket per recording line
// (at most ten) with the line's name beside it, drawn in the state the controller gives it, and
// lit as hovered under the mouse while it is in its normal state.
//
// Thread contract: GUI thread only.
namespace orvel {

class LinePanel {
public:
    explicit LinePanel(const skin::FaceSpec& face);

    // The socket under a point of the face among `count` sockets, or -1.
    int socketAt(const QPoint& point, std::size_t count) const;
    // The socket the mouse is over (-1: none); returns the area to repaint when it changed.
    QRect setHover(int socket);

    void paint(QPainter& painter, const FaceState& state) const;
    // The sockets' column and the names beside them.
    QRect area() const;
    QRect socketColumn() const;

private:
    std::vector<QRect> m_sockets;
    std::vector<QRect> m_names;
    int m_hover = -1;
};

}  // namespace orvel
