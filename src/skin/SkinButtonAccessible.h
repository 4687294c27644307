#pragma once

#include <QAccessibleWidget>

// A skin button for assistive technology: a check box, radio button or push button by its
// picture, with its latched flag as the checked state (the button itself is not checkable),
// and a press action that clicks it.
//
// Thread contract: GUI thread only.
namespace orvel {

class SkinButton;

class SkinButtonAccessible : public QAccessibleWidget {
public:
    explicit SkinButtonAccessible(SkinButton* button);

    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;

private:
    SkinButton* button() const;
};

}  // namespace orvel
