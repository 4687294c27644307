#include "skin/SkinFace.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QTreeWidget>
#include <QWindow>

#include "config/ControlNames.h"
#include "config/HotKeyScript.h"
#include "config/LanguageTable.h"
#include "skin/PlainMessage.h"
#include "skin/SkinButton.h"
#include "skin/SkinFaceAccessible.h"
#include "skin/SkinImageCache.h"
#include "skin/SkinLineEdit.h"
#include "skin/SkinSlider.h"
#include "skin/SkinStrings.h"
#include "skin/layout/SkinStyle.h"

namespace orvel {

namespace {

QPointer<SkinFace> s_modalFace;

QRect toQRect(const skin::Rect& r) {
    return {r.x, r.y, r.width, r.height};
}

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

SkinFace::SkinFace(skin::FaceId face, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_spec(skin::SkinLayout::face(face)),
      m_picture(m_spec.image) {
    SkinFaceAccessible::installFactory();
    SkinImageCache::registerResources();
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowTitle(toQString(m_spec.title));
    setObjectName(toQString(m_spec.key));
    for (const skin::PanelSpec& panel : m_spec.panels) {
        m_panelPictures.emplace_back(panel.image);
    }
    createControls();
    for (const skin::SliderSpec& spec : m_spec.sliders) {
        m_sliders.push_back(SkinSlider::make(spec, this));
        m_sliders.back()->setVisible(onOpenPanel(spec.panel));
    }
    applyOutline();
    move(skin::SkinLayout::kPlacement.x, skin::SkinLayout::kPlacement.y);
    applyTexts(LanguageTable());
}

SkinFace::~SkinFace() = default;

void SkinFace::createControls() {
    for (const skin::ControlSpec& spec : m_spec.controls) {
        QWidget* widget = nullptr;
        switch (spec.kind) {
            case skin::ControlKind::Button:
                widget = new SkinButton(spec, this);
                break;
            case skin::ControlKind::Edit:
                widget = new SkinLineEdit(this);
                break;
            case skin::ControlKind::Combo:
                widget = new QComboBox(this);
                break;
            case skin::ControlKind::List:
                widget = new QListWidget(this);
                break;
            case skin::ControlKind::DatePicker: {
                auto* date = new QDateEdit(this);
                date->setCalendarPopup(true);
                widget = date;
                break;
            }
            case skin::ControlKind::Tree: {
                auto* tree = new QTreeWidget(this);
                tree->setHeaderHidden(true);
                // The panel's tree is narrow: days stand three levels deep.
                tree->setIndentation(10);
                widget = tree;
                break;
            }
            case skin::ControlKind::TrackList:
                // The log panel's list is a widget of its own, placed there by its window.
                continue;
        }
        if (spec.kind != skin::ControlKind::Button) {
            dress(widget);
            widget->setGeometry(toQRect(spec.rect));
            widget->setObjectName(toQString(spec.name().empty() ? spec.label : spec.name()));
        }
        widget->setHidden(spec.hidden || !onOpenPanel(spec.panel));
        m_controls.push_back({&spec, widget});
    }
}

void SkinFace::dress(QWidget* widget) {
    widget->setStyleSheet(skin::SkinStyle::stockStyleSheet());
    widget->setFont(skin::SkinStyle::font(skin::FontRole::List));
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setFrame(false);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setFrame(false);
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget)) {
        spin->setFrame(false);
    } else if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
        view->setFrameShape(QFrame::NoFrame);
    }
}

QWidget* SkinFace::control(ControlId id) const {
    for (const Control& c : m_controls) {
        if (c.spec->id == id) {
            return c.widget;
        }
    }
    return nullptr;
}

SkinButton* SkinFace::button(ControlId id) const {
    return qobject_cast<SkinButton*>(control(id));
}

QLineEdit* SkinFace::edit(ControlId id) const {
    return qobject_cast<QLineEdit*>(control(id));
}

QComboBox* SkinFace::combo(ControlId id) const {
    return qobject_cast<QComboBox*>(control(id));
}

SkinSlider* SkinFace::slider(skin::SliderId id) const {
    for (const auto& s : m_sliders) {
        if (s->spec().id == id) {
            return s.get();
        }
    }
    return nullptr;
}

QRect SkinFace::areaRect(skin::AreaId id, int row) const {
    const skin::AreaSpec* area = m_spec.area(id);
    return area ? toQRect(area->row(row)) : QRect();
}

bool SkinFace::onOpenPanel(int panel) const {
    return panel == skin::kNoPanel || panelOpen(panel);
}

const skin::Outline& SkinFace::outline() const {
    return m_openPanels < m_spec.outlines.size() ? m_spec.outlines[m_openPanels]
                                                 : m_spec.outlines.front();
}

void SkinFace::setPanelOpen(int panel, bool open) {
    if (panel < 0 || static_cast<std::size_t>(panel) >= m_spec.panels.size() ||
        panelOpen(panel) == open) {
        return;
    }
    m_openPanels ^= 1u << panel;
    for (const Control& c : m_controls) {
        if (c.spec->panel == panel) {
            c.widget->setHidden(c.spec->hidden || !open);
        }
    }
    for (const auto& s : m_sliders) {
        if (s->spec().panel == panel) {
            s->setVisible(open);
        }
    }
    applyOutline();
}

void SkinFace::applyOutline() {
    const skin::Outline& shape = outline();
    QPolygon polygon;
    for (const skin::Point& point : shape.points) {
        polygon << QPoint(point.x, point.y);
    }
    // Points beyond the window are cut off by it.
    m_region =
        QRegion(polygon, Qt::WindingFill) & QRegion(0, 0, shape.size.width, shape.size.height);
    setFixedSize(shape.size.width, shape.size.height);
    setMask(m_region);
    // Controls that reach beyond the outline (the line window's handle, the history tab) are
    // cut like the face: the window's mask does it on screen, this does it everywhere the
    // face is drawn without one (grabs, renders).
    for (const Control& c : m_controls) {
        const QRegion inside = m_region & c.widget->geometry();
        if (inside == QRegion(c.widget->geometry())) {
            c.widget->clearMask();
        } else {
            c.widget->setMask(inside.translated(-c.widget->pos()));
        }
    }
    update();
}

void SkinFace::applyTexts(const LanguageTable& language, const HotKeyScript* keys) {
    for (const Control& c : m_controls) {
        QString text;
        if (!c.spec->name().empty()) {
            if (keys) {
                text = fromStd(keys->ControlTooltip(c.spec->id, language).value_or(std::string()));
            } else {
                text = fromStd(language.Tooltip(c.spec->name()));
            }
        }
        if (text.isEmpty()) {
            text = toQString(c.spec->label);
        }
        c.widget->setToolTip(PlainMessage::tooltip(text));
        c.widget->setAccessibleName(text);
    }
    for (const auto& s : m_sliders) {
        const std::string_view tip = s->spec().tipName;
        QString text;
        if (keys && tip == "AREA_FREQUENCY") {
            text = fromStd(keys->AreaTooltip(HotKeyScript::FaceArea::Frequency, language));
        } else if (keys && tip == "AREA_VOLUME") {
            text = fromStd(keys->AreaTooltip(HotKeyScript::FaceArea::Volume, language));
        } else if (keys && ControlNames::IdOf(tip) != 0) {
            text = fromStd(keys->ControlTooltip(ControlId{ControlNames::IdOf(tip)}, language)
                               .value_or(std::string()));
        } else if (!tip.empty()) {
            text = fromStd(language.Tooltip(tip));
        }
        if (text.isEmpty()) {
            text = toQString(s->spec().label);
        }
        s->setToolTip(PlainMessage::tooltip(text));
        s->setAccessibleName(text);
    }
}

int SkinFace::runModal() {
    if (s_modalFace) {
        qCInfo(lcSkin) << "a modal face is open already; not opening" << objectName();
        return QDialog::Rejected;
    }
    s_modalFace = this;
    setWindowModality(Qt::ApplicationModal);
    const int result = exec();
    s_modalFace = nullptr;
    return result;
}

bool SkinFace::modalRunning() {
    return !s_modalFace.isNull();
}

void SkinFace::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setClipRegion(m_region);
    // The face image is painted at its outline's size whatever its own size.
    m_picture.render(painter, QRect(0, 0, m_spec.size().width, m_spec.size().height));
    for (std::size_t i = 0; i < m_spec.panels.size(); ++i) {
        if (panelOpen(static_cast<int>(i))) {
            m_panelPictures[i].render(painter, toQRect(m_spec.panels[i].rect));
        }
    }
    paintContents(painter);
    for (const auto& s : m_sliders) {
        if (s->isVisible()) {
            s->paint(painter);
        }
    }
}

QString SkinFace::toolTipAt(const QPoint& point) const {
    for (const auto& s : m_sliders) {
        if (s->isVisible() && s->trackRect().contains(point)) {
            return s->toolTip();
        }
    }
    return {};
}

bool SkinFace::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    return QDialog::event(event);
}

bool SkinFace::startSystemMove() {
    QWindow* window = windowHandle();
    return window && window->startSystemMove();
}

void SkinFace::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    if (pressArea(event)) {
        return;
    }
    for (const auto& s : m_sliders) {
        if (s->isVisible() && s->isEnabled() && s->press(point)) {
            m_pressedSlider = s.get();
            return;
        }
    }
    // Only the user's own press moves the face: a posted click never does.
    if (event->spontaneous() && m_region.contains(point) && !startSystemMove()) {
        m_moving = true;
        m_moveOffset = event->globalPosition().toPoint() - pos();
    }
}

void SkinFace::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressedSlider) {
        m_pressedSlider->move(event->position().toPoint());
    } else if (m_moving) {
        move(event->globalPosition().toPoint() - m_moveOffset);
    }
}

void SkinFace::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    m_moving = false;
    if (SkinSlider* slider = m_pressedSlider) {
        m_pressedSlider = nullptr;
        slider->release();
    }
}

void SkinFace::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            if (m_escapeRejects) {
                reject();
            }
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // No default button: Enter never closes or confirms a face.
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

}  // namespace orvel
