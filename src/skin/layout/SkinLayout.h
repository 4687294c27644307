#pragma once

#include <span>
#include <string_view>

#include "config/ControlId.h"
#include "skin/layout/SkinGeometry.h"
#include "skin/layout/SkinStyle.h"

// The one layout table of the skin: every face's size, outline(s) and panels, every control's
// id, name, image, rectangle and mode, every slider's track, thumb, travel, range and step, the
// areas that windows draw into at run time (displays, meter rows, sockets, device rows...) and
// the engraving of each face (display windows, group frames, captions). The artwork generator
// draws the images from it and the windows place their controls by it, so art and controls
// cannot drift apart. Plain data: no widgets, nothing to set up.
//
// Thread contract: immutable tables, any thread.
namespace orvel::skin {

enum class FaceId {
    Front,    // the main window; its panels are the line window and the log panel
    Startup,  // first run, before the recording-line test
    About,
    Device,         // capture device and its recording lines
    Background,     // background music
    Mp3,            // MP3 settings and ID3 tag
    Wma,            // WMA settings and attributes
    Output,         // output folder, file name and naming switches
    Noise,          // noise gate and filters
    TrackSplitter,  // signal recording
    Schedule,
};
inline constexpr int kFaceCount = 11;

// Panels of a face. Controls, sliders, areas and engravings on no panel belong to the face
// itself; the others show only while their panel is open.
inline constexpr int kNoPanel = -1;
inline constexpr int kSidePanel = 0;  // front face: the line window (audio-line box)
inline constexpr int kLogPanel = 1;   // front face: the recording-history panel

// A window shape: points in face coordinates, filled with the winding rule, and the window size
// while it is in force. Points outside the window are clipped by the window.
struct Outline {
    std::span<const Point> points;
    Size size;
};

// An image drawn over the face image while its panel is open.
struct PanelSpec {
    std::string_view image;
    Rect rect;
};

enum class ControlKind {
    Button,      // SkinButton with state images
    Edit,        // line edit on a dark field
    Combo,       // drop-down list
    List,        // list box
    DatePicker,  // date field with a calendar
    Tree,        // tree view (log panel)
    TrackList,   // the log panel's list of recordings, a widget of its own
};

enum class ButtonMode {
    Push = 1,       // UP, DOWN while held
    Latching = 2,   // DOWN while the face has latched it
    Transport = 3,  // as Latching; the play and record keys
};

struct ControlSpec {
    ControlId id = ControlId::BTN_RECORD;
    ControlKind kind = ControlKind::Button;
    Rect rect;
    std::string_view image;  // buttons: image base, the state suffix follows
    ButtonMode mode = ButtonMode::Push;
    std::string_view label;  // what it does, in words: the accessible name of last resort
    int panel = kNoPanel;
    bool hidden = false;  // created hidden

    // The control's name (tooltips, hot keys, accessible names); empty for the controls
    // without one.
    std::string_view name() const;
};

enum class SliderId {
    Rate,            // front: sample-rate index, vertical, stepped
    Volume,          // front: speakers' volume, vertical
    Play,            // front: playback position
    Threshold,       // front: threshold in signal mode
    Balance,         // front: background balance while recording with background music
    LineVolume,      // line window
    LineBalance,     // line window
    NoiseThreshold,  // noise window
    Release,
    Attack,
    LowPass,
    HighPass,
    SplitThreshold,  // track-splitter window
    SplitDelay,
    StartHour,  // schedule window
    StartMinute,
    StartSecond,
    EndHour,
    EndMinute,
    EndSecond,
    Mix,  // background-music window: 100 - "Background Scale"
};

// A slider drawn and driven by its face. The thumb centre travels from `from` to `to` (face x
// for horizontal sliders, face y for vertical ones); the value runs 0..maximum; a drag that
// began on the thumb snaps to `step` pixels on release when step >= 2. Horizontal thumbs stand
// on the track's bottom edge, vertical ones are centred on the track. Vertical sliders with
// step < 2 grow upwards, stepped ones downwards.
struct SliderSpec {
    SliderId id = SliderId::Rate;
    Rect track;
    std::string_view trackImage;
    std::string_view thumbImage;
    Size thumb;
    bool vertical = false;
    int from = 0;
    int to = 0;
    int maximum = 0;
    int step = 1;
    std::string_view tipName;  // language-table name of its tooltip, or empty
    std::string_view label;    // accessible name of last resort
    int panel = kNoPanel;
};

// Places that windows draw into at run time. A repeated area (rows, sockets) holds `count`
// rectangles `pitch` pixels apart downwards.
enum class AreaId {
    // front face
    DashboardRows,      // output file, background, playing file: filled, text at the left
    DashboardTextClip,  // dashboard texts end here: the level switch covers the rest
    StartupTexts,       // the three start-up message lines, in the dashboard rows
    InfoLine,           // two rows of text on the backlit window (not filled)
    InfoSecondClip,     // the second info row ends here: the data rate follows it
    DataRate,           // "%dKB/S", filled
    RecordingDisplay,   // size and time recorded, right-aligned, filled
    PlaybackDisplay,    // position and length, right-aligned, filled
    Clock,              // time of day, filled
    SampleRateLabel,    // IDR_F8K ... IDR_F48K by rate index
    LevelMeter,         // the whole level display, strips and bars
    MeterStrips,        // the two 48-segment strips, left channel above
    MeterTexts,         // "L", ":-%ddB" at +8 and "Max:-%ddB" at +42, beside each strip
    MeterBars,          // animated style: three bars of 16 rows, moved by kMeterBarShift
    ThresholdArea,      // "Threshold" and "-%ddB" in signal mode, white on dark grey
    Sockets,            // line window: IDR_BTNSOCKET* per line
    LineNames,          // line window: each line's name beside its socket
    TagPanel,           // log panel: six texts in two columns and three rows
    // other faces
    StartupVersion,   // start-up window: version text, white, centred, 4 px below the top
    AboutVersion,     // about window: version text, white, centred, top at the top
    DeviceRows,       // device window: IDR_BTNDEVICENAMEUP / ...DOWN rows
    LineRows,         // device window: IDR_DEVICESOCKET rows
    DeviceNote,       // device window: why the device cannot be changed now (engraved text)
    TagFile,          // MP3 and WMA windows in tag mode: the file whose tag is edited
    DayField,         // schedule window: the day field on light grey
    BackgroundShare,  // background window: "%d%%" of the background
    RecordingShare,   // background window: "%d%%" of the recording
    BackgroundPlate,  // background window: IDR_SCALEBACKGROUNDNAME beside the mix slider
    RecordingPlate,   // background window: IDR_SCALERECORDINGNAME
};

struct AreaSpec {
    AreaId id = AreaId::Clock;
    Rect rect;  // the first of a repeated area
    FontRole font = FontRole::Display;
    int count = 1;
    int pitch = 0;
    int panel = kNoPanel;

    constexpr Rect row(int i) const { return rect.translated(0, i * pitch); }
};

// Inset of the text in a device row (left, top) and of the text box in a line row.
inline constexpr Point kDeviceRowTextInset{8, 4};
inline constexpr Rect kLineRowTextBox{4, 4, 121, 15};
// The animated level bars move through six places this far apart.
inline constexpr int kMeterBarShift = 22;
inline constexpr int kMeterBarPlaces = 6;
// Meter texts: the value and the maximum stand this far right of the channel letter.
inline constexpr int kMeterValueOffset = 8;
inline constexpr int kMeterMaxOffset = 42;

// What the generator engraves on a face. Windows never read these.
enum class ArtKind {
    Display,   // recessed window backlit in the display colour
    Well,      // recessed dark window (level meter, fields, lists)
    Deck,      // shallow dark plate (transport keys, slider strip)
    Frame,     // engraved group frame, its title on the top line
    Caption,   // engraved caption, upper case
    Title,     // larger engraved heading
    Note,      // engraved sentence in the note font
    Wordmark,  // the product name
    Rule,      // engraved horizontal or vertical line
    Scope,     // dark window showing a sound wave against a dashed threshold
};

enum class Align { Left, Centre, Right };

struct ArtSpec {
    ArtKind kind = ArtKind::Caption;
    Rect rect;
    std::string_view text;
    Align align = Align::Left;
    int panel = kNoPanel;
};

struct FaceSpec {
    FaceId id = FaceId::Front;
    std::string_view key;    // short name: gallery, screenshots, tests
    std::string_view title;  // window title (task bars, window lists)
    std::string_view image;
    // Indexed by the set of open panels (bit i = panel i): one outline without panels.
    std::span<const Outline> outlines;
    std::span<const PanelSpec> panels;
    std::span<const ControlSpec> controls;
    std::span<const SliderSpec> sliders;
    std::span<const AreaSpec> areas;
    std::span<const ArtSpec> art;

    Size size() const { return outlines.front().size; }
    const ControlSpec* control(ControlId which) const;
    const SliderSpec* slider(SliderId which) const;
    const AreaSpec* area(AreaId which) const;
};

class SkinLayout {
public:
    static std::span<const FaceSpec> faces();
    static const FaceSpec& face(FaceId which);
    // Where faces are placed on the screen (where the platform allows placing windows).
    static constexpr Point kPlacement{200, 200};
};

}  // namespace orvel::skin
