#include "skin/AboutFace.h"

#include <QPainter>

#include "skin/SkinButton.h"

namespace orvel {

namespace {}  // namespace

AboutFace::AboutFace(const QString& versionText, QWidget* parent)
    : SkinFace(skin::FaceId::About, parent), m_version(versionText) {
    if (SkinButton* ok = button(ControlId::BTN_OK)) {
        connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
    }
}

void AboutFace::paintContents(QPainter& painter) {
    painter.save();
    painter.setFont(skin::SkinStyle::font(skin::FontRole::Display));
    painter.setPen(skin::SkinStyle::colour(skin::palette::kVersionText));
    painter.drawText(areaRect(skin::AreaId::AboutVersion), Qt::AlignHCenter | Qt::AlignTop,
                     m_version);
    painter.restore();
}

}  // namespace orvel
