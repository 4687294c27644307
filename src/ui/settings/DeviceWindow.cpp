#include "ui/settings/DeviceWindow.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>

#include "skin/FacePicture.h"
#include "skin/SkinButton.h"
#include "skin/layout/SkinStyle.h"

namespace orvel {

namespace {

using skin::AreaId;

int shownRows(const skin::FaceSpec& face, AreaId id) {
    const skin::AreaSpec* area = face.area(id);
    return area ? area->count : 1;
}

void drawText(QPainter& painter, const QRect& box, const QColor& colour, const std::string& text) {
    const QString shown =
        painter.fontMetrics().elidedText(QString::fromStdString(text), Qt::ElideRight, box.width());
    painter.setPen(colour);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

// A small arrow at the right end of a row: more rows lie that way.
void drawMore(QPainter& painter, const QRect& row, bool up, const QColor& colour) {
    const int x = row.right() - 10;
    const int y = row.center().y();
    QPolygon arrow;
    if (up) {
        arrow << QPoint(x - 4, y + 2) << QPoint(x + 4, y + 2) << QPoint(x, y - 3);
    } else {
        arrow << QPoint(x - 4, y - 2) << QPoint(x + 4, y - 2) << QPoint(x, y + 3);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPolygon(arrow);
}

}  // namespace

DeviceWindow::DeviceWindow(platform::SoundServer& server, DeviceList& devices, MixerControl& mixer,
                           int currentLine, bool captureRunning, QWidget* parent)
    : SkinFace(skin::FaceId::Device, parent),
      m_devices(devices),
      m_mixer(mixer),
      m_chooser(server, devices, currentLine, shownRows(spec(), AreaId::DeviceRows),
                shownRows(spec(), AreaId::LineRows), captureRunning),
      m_rowsShown(shownRows(spec(), AreaId::DeviceRows)),
      m_linesShown(shownRows(spec(), AreaId::LineRows)) {
    connect(button(ControlId::BTN_OK), &SkinButton::clicked, this, &DeviceWindow::confirm);
    connect(button(ControlId::BTN_CANCEL), &SkinButton::clicked, this, &DeviceWindow::reject);
}

QRect DeviceWindow::deviceArea() const {
    return areaRect(AreaId::DeviceRows, 0).united(areaRect(AreaId::DeviceRows, m_rowsShown - 1));
}

QRect DeviceWindow::lineArea() const {
    return areaRect(AreaId::LineRows, 0).united(areaRect(AreaId::LineRows, m_linesShown - 1));
}

QRect DeviceWindow::deviceRowRect(int row) const {
    const int shown = row - m_chooser.firstRow();
    if (shown < 0 || shown >= m_rowsShown || row >= m_chooser.rowCount()) {
        return {};
    }
    return areaRect(AreaId::DeviceRows, shown);
}

void DeviceWindow::paintContents(QPainter& painter) {
    painter.save();
    painter.setFont(skin::SkinStyle::font(skin::FontRole::Small));
    const std::vector<std::string> rows = m_chooser.rows();
    const int first = m_chooser.firstRow();
    for (int i = 0; i < m_rowsShown && first + i < static_cast<int>(rows.size()); ++i) {
        const int row = first + i;
        const QRect rect = areaRect(AreaId::DeviceRows, i);
        const bool chosen = row == m_chooser.highlighted();
        FacePicture(chosen ? "IDR_BTNDEVICENAMEDOWN" : "IDR_BTNDEVICENAMEUP")
            .renderNatural(painter, rect.topLeft());
        const QRect text(rect.x() + skin::kDeviceRowTextInset.x,
                         rect.y() + skin::kDeviceRowTextInset.y, rect.width() - 28, 20);
        drawText(painter, text, Qt::black, rows[static_cast<std::size_t>(row)]);
        if (i == 0 && first > 0) {
            drawMore(painter, rect, true, Qt::black);
        }
        if (i == m_rowsShown - 1 && row + 1 < static_cast<int>(rows.size())) {
            drawMore(painter, rect, false, Qt::black);
        }
    }
    const std::vector<std::string> lines = m_chooser.lineNames();
    const int firstLine = m_chooser.firstLine();
    const skin::Rect box = skin::kLineRowTextBox;
    for (int i = 0; i < m_linesShown && firstLine + i < static_cast<int>(lines.size()); ++i) {
        const QRect rect = areaRect(AreaId::LineRows, i);
        FacePicture("IDR_DEVICESOCKET").renderNatural(painter, rect.topLeft());
        const QRect text(rect.x() + box.x, rect.y() + box.y, box.width, box.height);
        drawText(painter, text, Qt::white, lines[static_cast<std::size_t>(firstLine + i)]);
    }
    if (m_chooser.readOnly()) {
        painter.setFont(skin::SkinStyle::font(skin::FontRole::Note));
        drawText(painter, areaRect(AreaId::DeviceNote),
                 skin::SkinStyle::colour(skin::palette::kEngraving), kReadOnlyNote);
    }
    painter.restore();
}

bool DeviceWindow::pressArea(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (!deviceArea().contains(at)) {
        return false;
    }
    for (int row = m_chooser.firstRow(); row < m_chooser.rowCount(); ++row) {
        if (deviceRowRect(row).contains(at)) {
            if (m_chooser.highlight(row)) {
                update();
            }
            break;
        }
    }
    // The rows' area is a list, not surface to move the window by.
    return true;
}

void DeviceWindow::wheelEvent(QWheelEvent* event) {
    const QPoint at = event->position().toPoint();
    const int steps = -event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
    if (steps == 0) {
        event->accept();
        return;
    }
    if (deviceArea().contains(at)) {
        m_chooser.scrollRows(steps);
    } else if (lineArea().contains(at)) {
        m_chooser.scrollLines(steps);
    } else {
        event->ignore();
        return;
    }
    update();
    event->accept();
}

void DeviceWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        if (m_chooser.moveHighlight(event->key() == Qt::Key_Up ? -1 : 1)) {
            update();
        }
        event->accept();
        return;
    }
    SkinFace::keyPressEvent(event);
}

void DeviceWindow::confirm() {
    m_choice = m_chooser.apply(m_devices, m_mixer);
    accept();
}

std::optional<DeviceChooser::Choice> DeviceWindow::choose(QWidget* parent,
                                                          platform::SoundServer& server,
                                                          DeviceList& devices, MixerControl& mixer,
                                                          int currentLine, bool captureRunning) {
    DeviceWindow window(server, devices, mixer, currentLine, captureRunning, parent);
    if (window.runModal() != QDialog::Accepted) {
        return std::nullopt;
    }
    return window.choice();
}

}  // namespace orvel
