#include "ui/front/StartupFace.h"

#include <QPainter>

#include "skin/SkinButton.h"

namespace orvel {

StartupFace::StartupFace(const QString& versionText, QWidget* parent)
    : SkinFace(skin::FaceId::Startup, parent), m_version(versionText) {
    auto on = [this](ControlId id, auto action) {
        if (SkinButton* b = button(id)) {
            connect(b, &QAbstractButton::clicked, this, action);
        }
    };
    on(ControlId::kAutoConfigure, [this] {
        m_choice.pressAutomatic();
        showChoice();
    });
    on(ControlId::kNoAutoConfigure, [this] {
        m_choice.pressManual();
        showChoice();
    });
    on(ControlId::BTN_CONTINUE, [this] { done(m_choice.continuePressed()); });
    on(ControlId::BTN_EXIT, [this] { done(StartupChoice::closed()); });
    on(ControlId::BTN_HELP, [this] { emit helpRequested(); });
    showChoice();
}

void StartupFace::showChoice() {
    button(ControlId::kAutoConfigure)->setLatched(m_choice.automatic());
    button(ControlId::kNoAutoConfigure)->setLatched(!m_choice.automatic());
}

void StartupFace::paintContents(QPainter& painter) {
    const QRect version = areaRect(skin::AreaId::StartupVersion);
    painter.save();
    painter.setFont(skin::SkinStyle::font(skin::FontRole::Display));
    painter.setPen(skin::SkinStyle::colour(skin::palette::kVersionText));
    painter.drawText(version.adjusted(0, 4, 0, 0), Qt::AlignHCenter | Qt::AlignTop, m_version);
    painter.restore();
}

}  // namespace orvel
