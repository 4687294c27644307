#pragma once

#include <QString>

#include "recorder/StartupChoice.h"
#include "skin/SkinFace.h"

// The first-run window: the version, two choices (configure the recording line automatically,
// or not), Help, Exit and Continue. It closes with a StartupChoice::Result: Continue gives 1 or
// 2 by the choice, Exit and every other way of closing 0.
//
// Thread contract: GUI thread only.
namespace orvel {

class StartupFace : public SkinFace {
    Q_OBJECT

public:
    explicit StartupFace(const QString& versionText, QWidget* parent = nullptr);

    const StartupChoice& choice() const { return m_choice; }

signals:
    void helpRequested();

protected:
    void paintContents(QPainter& painter) override;

private:
    void showChoice();

    StartupChoice m_choice;
    QString m_version;
};

}  // namespace orvel
