#include "skin/layout/SkinStyle.h"

#include <QPainter>
#include <QRect>

namespace orvel::skin {

FontSpec SkinStyle::fontSpec(FontRole role) {
    switch (role) {
        case FontRole::Dashboard:
            return {"DejaVu Sans", 12, false, 100};
        case FontRole::Display:
            return {"DejaVu Sans Condensed", 10, false, 100};
        case FontRole::List:
            return {"DejaVu Sans", 11, false, 100};
        case FontRole::Small:
            return {"DejaVu Sans", 10, false, 100};
        case FontRole::Caption:
            return {"DejaVu Sans Condensed", 9, true, 104};
        case FontRole::Title:
            return {"DejaVu Sans Condensed", 12, true, 108};
        case FontRole::Note:
            return {"DejaVu Sans Condensed", 10, false, 100};
        case FontRole::Wordmark:
            return {"DejaVu Sans Condensed", 22, true, 125};
    }
    return {"DejaVu Sans", 12, false, 100};
}

QFont SkinStyle::font(FontRole role) {
    const FontSpec spec = fontSpec(role);
    QFont font(QString::fromLatin1(spec.family));
    font.setPixelSize(spec.pixelSize);
    font.setBold(spec.bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    if (spec.letterSpacing != 100) {
        font.setLetterSpacing(QFont::PercentageSpacing, spec.letterSpacing);
    }
    return font;
}

void SkinStyle::fillDisplay(QPainter& painter, const QRect& rect, const QColor& colour) {
    painter.fillRect(rect, colour);
    const QColor line = colour.darker(104);
    for (int y = rect.top() + (rect.top() & 1 ? 0 : 1); y <= rect.bottom(); y += 2) {
        painter.fillRect(QRect(rect.left(), y, rect.width(), 1), line);
    }
}

QString SkinStyle::stockStyleSheet() {
    const QColor well = colour(palette::kWell);
    const QColor text = colour(palette::kFieldText);
    const QColor dim = colour(palette::kFieldDisabledText);
    const QColor light = colour(palette::kBevelLight);
    const QColor select = colour(palette::kDisplay);
    const QColor selectText = colour(palette::kDisplayText);
    return QStringLiteral(
               "* { background: %1; color: %2; border: none; selection-background-color: %5;"
               " selection-color: %6; }"
               "*:disabled { color: %3; }"
               "QLineEdit, QDateEdit { padding: 0px 2px; }"
               "QComboBox { padding: 0px 2px; }"
               "QComboBox::drop-down, QDateEdit::drop-down { width: 12px; border: none; }"
               "QComboBox::down-arrow, QDateEdit::down-arrow {"
               " image: url(:/skin/FIELD_ARROW.png); width: 8px; height: 5px; }"
               "QComboBox::down-arrow:disabled, QDateEdit::down-arrow:disabled {"
               " image: url(:/skin/FIELD_ARROW_DISABLED.png); }"
               "QComboBox QAbstractItemView { border: 1px solid %4; outline: none; }"
               "QHeaderView::section { background: %1; color: %4; border: none;"
               " border-right: 1px solid %4; padding: 0px 3px; }"
               "QScrollBar { background: %1; width: 10px; height: 10px; }"
               "QScrollBar::handle { background: %4; min-height: 12px; min-width: 12px;"
               " border-radius: 2px; margin: 2px; }"
               "QScrollBar::add-line, QScrollBar::sub-line { width: 0px; height: 0px; }"
               "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
        .arg(well.name(), text.name(), dim.name(), light.name(), select.name(), selectText.name());
}

}  // namespace orvel::skin
