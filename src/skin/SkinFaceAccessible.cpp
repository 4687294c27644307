#include "skin/SkinFaceAccessible.h"

#include "skin/SkinButton.h"
#include "skin/SkinButtonAccessible.h"
#include "skin/SkinFace.h"
#include "skin/SkinSlider.h"
#include "skin/SkinSliderAccessible.h"

namespace orvel {

namespace {

QAccessibleInterface* factory(const QString&, QObject* object) {
    if (auto* face = qobject_cast<SkinFace*>(object)) {
        return new SkinFaceAccessible(face);
    }
    if (auto* button = qobject_cast<SkinButton*>(object)) {
        return new SkinButtonAccessible(button);
    }
    if (auto* slider = qobject_cast<SkinSlider*>(object)) {
        return new SkinSliderAccessible(slider);
    }
    return nullptr;
}

}  // namespace

SkinFaceAccessible::SkinFaceAccessible(SkinFace* face)
    : QAccessibleWidget(face, QAccessible::Dialog) {}

void SkinFaceAccessible::installFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

SkinFace* SkinFaceAccessible::face() const {
    return static_cast<SkinFace*>(widget());
}

int SkinFaceAccessible::visibleSliderCount() const {
    int count = 0;
    for (const auto& slider : face()->sliders()) {
        count += slider->isVisible() ? 1 : 0;
    }
    return count;
}

int SkinFaceAccessible::childCount() const {
    return QAccessibleWidget::childCount() + visibleSliderCount();
}

QAccessibleInterface* SkinFaceAccessible::child(int index) const {
    const int widgets = QAccessibleWidget::childCount();
    if (index < widgets) {
        return QAccessibleWidget::child(index);
    }
    int i = widgets;
    for (const auto& slider : face()->sliders()) {
        if (!slider->isVisible()) {
            continue;
        }
        if (i++ == index) {
            return QAccessible::queryAccessibleInterface(slider.get());
        }
    }
    return nullptr;
}

int SkinFaceAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child && qobject_cast<SkinSlider*>(child->object())) {
        int i = QAccessibleWidget::childCount();
        for (const auto& slider : face()->sliders()) {
            if (!slider->isVisible()) {
                continue;
            }
            if (slider.get() == child->object()) {
                return i;
            }
            ++i;
        }
        return -1;
    }
    return QAccessibleWidget::indexOfChild(child);
}

QAccessibleInterface* SkinFaceAccessible::childAt(int x, int y) const {
    const QPoint local = face()->mapFromGlobal(QPoint(x, y));
    for (const auto& slider : face()->sliders()) {
        if (slider->isVisible() && slider->trackRect().contains(local)) {
            return QAccessible::queryAccessibleInterface(slider.get());
        }
    }
    return QAccessibleWidget::childAt(x, y);
}

}  // namespace orvel
