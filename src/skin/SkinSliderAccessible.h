#pragma once

#include <QAccessibleInterface>
#include <QPointer>

// A face's slider for assistive technology: role Slider, its tooltip text as name, its value;
// setting the value moves the thumb and applies it as a release would.
//
// Thread contract: GUI thread only.
namespace orvel {

class SkinSlider;

class SkinSliderAccessible : public QAccessibleInterface, public QAccessibleValueInterface {
public:
    explicit SkinSliderAccessible(SkinSlider* slider);

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override;
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Slider; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    QPointer<SkinSlider> m_slider;
};

}  // namespace orvel
