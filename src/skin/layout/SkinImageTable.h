#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "skin/layout/SkinGeometry.h"

// Every image of the skin: its name, size at scale 1, the states it is drawn in, what kind of
// picture it is and the caption or symbol it carries. The artwork generator draws exactly
// these; the windows load them by name from the resources (":/skin/<file>.bmp", and
// "<file>@2x.bmp" at twice the size for high-density screens).
//
// Thread contract: immutable table, any thread.
namespace orvel::skin {

enum class ImageState { Up, Down, Disable, Hover };

enum class StateSet {
    Single,              // one file named as the image
    UpDownDisable,       // <name>UP, <name>DOWN, <name>DISABLE
    UpHoverDownDisable,  // the line window's sockets
    UpDown,              // <name>UP, <name>DOWN
};

enum class ImageKind {
    Face,          // a face image (or a panel of one), drawn from the layout table
    Key,           // push key with a caption
    TransportKey,  // 60 x 55 key with a symbol and a small caption
    SystemKey,     // 23 x 24 key with a symbol
    Handle,        // the line window's vertical handle
    LevelSwitch,   // the level display's switch
    TabKey,        // the log panel's open and close tabs
    CheckBox,
    Radio,
    Socket,      // jack socket of a recording line
    DeviceRow,   // device window row: normal (UP) and chosen (DOWN)
    LineRow,     // device window line row
    Track,       // slider track
    Thumb,       // slider thumb, centre line across the travel
    RateLabel,   // sample-rate label, the rate written upwards
    ListCheck,   // track list check box
    Pattern,     // track list background tile
    ScalePlate,  // caption plate of the background window's shares
};

enum class Symbol {
    None,
    Record,
    Play,
    Pause,
    Stop,
    Eject,
    Help,
    Tray,
    Minimise,
    Close,
    Microphone,
    Checked,
    Unchecked,
    Disabled,
    ArrowDown,
    ArrowUp,
};

struct ImageSpec {
    std::string_view name;
    Size size;
    StateSet states = StateSet::Single;
    ImageKind kind = ImageKind::Key;
    std::string_view caption;
    Symbol symbol = Symbol::None;
};

// The line window's cursor: a 32 x 32 picture (":/skin/CURSOR_PLUG.png") and its hot spot.
inline constexpr std::string_view kLineCursor = "CURSOR_PLUG";
inline constexpr Point kLineCursorHotSpot{3, 3};
// The drop-down arrow of stock lists on faces (":/skin/FIELD_ARROW.png", and
// FIELD_ARROW_DISABLED), 8 x 5.
inline constexpr std::string_view kFieldArrow = "FIELD_ARROW";
// The program's icon, ":/icons/orvel-<size>.png".
inline constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

class SkinImageTable {
public:
    static std::span<const ImageSpec> images();
    static const ImageSpec* find(std::string_view name);

    static std::string_view suffix(ImageState state);
    static std::span<const ImageState> states(StateSet set);
    // The file names (without extension) of an image: one per state.
    static std::vector<std::string> fileNames(const ImageSpec& image);
    // The file of one state of a button image base.
    static std::string fileName(std::string_view base, ImageState state);
    // Whether any control of any face latches on this button image (its DOWN state then
    // shows the latch indicator).
    static bool latching(std::string_view base);
};

}  // namespace orvel::skin
