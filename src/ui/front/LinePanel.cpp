#include "ui/front/LinePanel.h"

#include <QPainter>

#include "skin/FacePicture.h"
#include "skin/layout/SkinStyle.h"

namespace orvel {

namespace {

QRect toQRect(const skin::Rect& r) {
    return {r.x, r.y, r.width, r.height};
}

const char* socketImage(SocketState state) {
    switch (state) {
        case SocketState::Hover:
            return "IDR_BTNSOCKETHOVER";
        case SocketState::UnderTest:
            return "IDR_BTNSOCKETDOWN";
        case SocketState::Current:
            return "IDR_BTNSOCKETDISABLE";
        case SocketState::Normal:
            break;
    }
    return "IDR_BTNSOCKETUP";
}

}  // namespace

LinePanel::LinePanel(const skin::FaceSpec& face) {
    const skin::AreaSpec* sockets = face.area(skin::AreaId::Sockets);
    const skin::AreaSpec* names = face.area(skin::AreaId::LineNames);
    for (int i = 0; sockets && names && i < sockets->count; ++i) {
        m_sockets.push_back(toQRect(sockets->row(i)));
        m_names.push_back(toQRect(names->row(i)));
    }
}

int LinePanel::socketAt(const QPoint& point, std::size_t count) const {
    for (std::size_t i = 0; i < count && i < m_sockets.size(); ++i) {
        if (m_sockets[i].contains(point)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QRect LinePanel::setHover(int socket) {
    if (socket == m_hover) {
        return {};
    }
    m_hover = socket;
    return socketColumn();
}

QRect LinePanel::socketColumn() const {
    return m_sockets.empty() ? QRect() : m_sockets.front().united(m_sockets.back());
}

QRect LinePanel::area() const {
    return m_names.empty() ? socketColumn()
                           : socketColumn().united(m_names.back()).united(m_names.front());
}

void LinePanel::paint(QPainter& painter, const FaceState& state) const {
    painter.save();
    painter.setFont(skin::SkinStyle::font(skin::FontRole::Small));
    painter.setPen(skin::SkinStyle::colour(skin::palette::kFieldText));
    const std::size_t count = std::min(state.sockets.size(), m_sockets.size());
    for (std::size_t i = 0; i < count; ++i) {
        SocketState shown = state.sockets[i];
        if (shown == SocketState::Normal && static_cast<int>(i) == m_hover) {
            shown = SocketState::Hover;
        }
        FacePicture(socketImage(shown)).renderNatural(painter, m_sockets[i].topLeft());
        const QRect name = m_names[i];
        const QString text =
            i < state.lineNames.size() ? QString::fromStdString(state.lineNames[i]) : QString();
        painter.drawText(name, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(text, Qt::ElideRight, name.width()));
    }
    painter.restore();
}

}  // namespace orvel
