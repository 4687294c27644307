#pragma once

#include <QString>

#include "skin/SkinFace.h"

// The about window: the product's face with its version text and an OK button. Opened from
// the front face's pop-up menu; OK, Escape or any other way of closing just closes it.
//
// Thread contract: GUI thread only.
namespace orvel {

class AboutFace : public SkinFace {
    Q_OBJECT

public:
    explicit AboutFace(const QString& versionText, QWidget* parent = nullptr);

protected:
    void paintContents(QPainter& painter) override;

private:
    QString m_version;
};

}  // namespace orvel
