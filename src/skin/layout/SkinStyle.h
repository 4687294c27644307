#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QPainter;
class QRect;

// The skin's colours and fonts, shared by the artwork generator and the windows, and the look
// of stock widgets placed on faces.
//
// Thread contract: the constants from any thread; fonts, painting and the style sheet on the
// GUI thread (the generator's only thread).
namespace orvel::skin {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

namespace palette {
inline constexpr Rgb kBodyTop{58, 62, 68};
inline constexpr Rgb kBodyBottom{38, 41, 46};
inline constexpr Rgb kBevelLight{120, 126, 134};
inline constexpr Rgb kBevelShadow{14, 15, 18};
inline constexpr Rgb kEngraving{200, 204, 210};      // captions, symbols
inline constexpr Rgb kDisplay{28, 210, 252};         // backlit displays and dashboard rows
inline constexpr Rgb kDisplayActive{128, 255, 255};  // the current play source's row
inline constexpr Rgb kDisplayText{16, 28, 40};
inline constexpr Rgb kWell{17, 21, 26};         // dark windows and fields
inline constexpr Rgb kFieldText{28, 210, 252};  // text on dark fields
inline constexpr Rgb kFieldDisabledText{96, 104, 112};
inline constexpr Rgb kRecord{214, 48, 49};
inline constexpr Rgb kPlay{64, 190, 92};
inline constexpr Rgb kLatched{240, 170, 40};  // indicator bar of a latched key
inline constexpr Rgb kMeterLow{70, 220, 110};
inline constexpr Rgb kMeterMid{240, 170, 40};  // from -12 dB
inline constexpr Rgb kMeterHigh{230, 60, 50};  // from -3 dB
inline constexpr Rgb kThresholdFill{107, 101, 99};
inline constexpr Rgb kDayField{192, 192, 192};
inline constexpr Rgb kVersionText{255, 255, 255};
}  // namespace palette

enum class FontRole {
    Dashboard,  // dashboard rows and info line: DejaVu Sans 12 px
    Display,    // small displays (clock, data rate, times, meter, versions): Condensed 10 px
    List,       // track list, tree, stock fields: DejaVu Sans 11 px
    Small,      // device window rows, tag panel: DejaVu Sans 10 px
    Caption,    // engraved captions and key captions: Condensed Bold 9 px
    Title,      // engraved headings: Condensed Bold 12 px
    Note,       // engraved sentences: Condensed 10 px
    Wordmark,   // the product name: Condensed Bold 22 px
};

struct FontSpec {
    const char* family;
    int pixelSize;
    bool bold;
    int letterSpacing;  // percent of the normal spacing; 100 = normal
};

class SkinStyle {
public:
    static FontSpec fontSpec(FontRole role);
    static QFont font(FontRole role);
    static QColor colour(Rgb rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

    // Fills a display (dashboard row, small display) the way the artwork draws its displays:
    // the colour with faint scan lines on every second face row, so that filled and painted
    // parts of a display match. The painter works in face coordinates.
    static void fillDisplay(QPainter& painter, const QRect& rect, const QColor& colour);

    // The style sheet of stock widgets on faces (fields, lists, trees, date pickers): dark
    // field, cyan text, no frame. System dialogs keep the desktop's look.
    static QString stockStyleSheet();
};

}  // namespace orvel::skin
