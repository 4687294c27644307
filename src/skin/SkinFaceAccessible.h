#pragma once

#include <QAccessibleWidget>

// What assistive technology and interface tests see of a face: its child widgets as usual, and
// its sliders (drawn by the face, not widgets) as children of their own with the Slider role.
//
// Thread contract: GUI thread only.
namespace orvel {

class SkinFace;

class SkinFaceAccessible : public QAccessibleWidget {
public:
    explicit SkinFaceAccessible(SkinFace* face);

    // Installs the factory for faces, skin buttons and sliders; once per process.
    static void installFactory();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

private:
    SkinFace* face() const;
    int visibleSliderCount() const;
};

}  // namespace orvel
