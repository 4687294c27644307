#include "skin/layout/FaceTables.h"

// The small faces: start-up, about, device and background music. All share the 485 x 332
// rectangle and OK / Cancel at the bottom right.
namespace orvel::skin::tables {

namespace {

constexpr ButtonMode kPush = ButtonMode::Push;

// clang-format off
constexpr ControlSpec kStartupControls[] = {
    key(ControlId::BTN_HELP, "IDR_BTNHELP", {16, 296}, kPush, "Help"),
    key(ControlId::BTN_EXIT, "IDR_BTNEXIT", {271, 296}, kPush, "Exit"),
    key(ControlId::BTN_CONTINUE, "IDR_BTNCONTINUE", {381, 296}, kPush, "Continue"),
    radio(ControlId::kAutoConfigure, {50, 230}, "Configure the recording line automatically"),
    radio(ControlId::kNoAutoConfigure, {50, 257}, "Continue without automatic configuration"),
};
constexpr AreaSpec kStartupAreas[] = {
    {AreaId::StartupVersion, edges(200, 65, 343, 81), FontRole::Display},
};
constexpr ArtSpec kStartupArt[] = {
    art(ArtKind::Wordmark, {0, 18, 485, 30}, "ORVEL", Align::Centre),
    caption({110, 65, 80, 16}, "VERSION", Align::Right),
    art(ArtKind::Well, edges(196, 62, 347, 85)),
    note({40, 104, 405, 14}, "Before the first recording Orvel finds the recording line that carries"),
    note({40, 118, 405, 14}, "sound: each line records a short test while a voice names it, and the"),
    note({40, 132, 405, 14}, "first line that is heard becomes the recording line."),
    note({40, 154, 405, 14}, "Please close other programs that play or record sound before you go on."),
    art(ArtKind::Rule, {30, 210, 425, 2}),
    caption({76, 230, 380, 19}, "CONFIGURE THE RECORDING LINE AUTOMATICALLY"),
    caption({76, 257, 380, 19}, "CONTINUE WITHOUT AUTOMATIC CONFIGURATION"),
};

constexpr ControlSpec kAboutControls[] = {
    key(ControlId::BTN_OK, "IDR_BTNOK", {381, 296}, kPush, "OK"),
};
constexpr AreaSpec kAboutAreas[] = {
    {AreaId::AboutVersion, edges(156, 220, 389, 236), FontRole::Display},
};
constexpr ArtSpec kAboutArt[] = {
    art(ArtKind::Wordmark, {0, 50, 485, 34}, "ORVEL", Align::Centre),
    art(ArtKind::Title, {0, 90, 485, 16}, "SOUND RECORDER", Align::Centre),
    note({0, 128, 485, 14}, "Records what the sound card captures into WAV, MP3 or WMA files,", Align::Centre),
    note({0, 142, 485, 14}, "by hand, on a signal or on a schedule, with background music and tags.", Align::Centre),
    caption({0, 200, 485, 12}, "VERSION", Align::Centre),
    art(ArtKind::Well, edges(156, 216, 389, 240)),
};

constexpr ControlSpec kDeviceControls[] = {ok(kSmallOk), cancel(kSmallCancel)};
constexpr AreaSpec kDeviceAreas[] = {
    {AreaId::DeviceRows, {18, 48, 250, 28}, FontRole::Small, 8, 30},
    {AreaId::LineRows, {330, 48, 129, 23}, FontRole::Small, 10, 24},
    {AreaId::DeviceNote, {14, 298, 250, 20}, FontRole::Note},
};
constexpr ArtSpec kDeviceArt[] = {
    art(ArtKind::Title, {18, 20, 250, 16}, "CAPTURE DEVICE"),
    art(ArtKind::Title, {330, 20, 140, 16}, "RECORDING LINES"),
    art(ArtKind::Well, edges(14, 44, 272, 290)),
    art(ArtKind::Well, edges(326, 44, 463, 291)),
};

// Radio columns of the background window, 113 pixels apart.
constexpr int kColumn[] = {20, 133, 246, 359};
constexpr int kRadioRow[] = {148, 172, 196};

constexpr ControlSpec kBackgroundControls[] = {
    edit(ControlId::EDIT_BACKGROUNDFILE, edges(70, 44, 372, 62), "Background music file"),
    key(ControlId::BTN_BROWSE, "IDR_BTNBROWSE", {388, 41}, kPush, "Browse"),
    radio(ControlId::BTN_BACKGROUNDLEFT, {kColumn[0] + 10, kRadioRow[0]}, "Music on the left channel"),
    radio(ControlId::BTN_BACKGROUNDRIGHT, {kColumn[0] + 10, kRadioRow[1]}, "Music on the right channel"),
    radio(ControlId::BTN_BACKGROUNDLEFTRIGHT, {kColumn[0] + 10, kRadioRow[2]}, "Music on both channels"),
    radio(ControlId::BTN_RECORDINGLEFT, {kColumn[1] + 10, kRadioRow[0]}, "Recording on the left channel"),
    radio(ControlId::BTN_RECORDINGRIGHT, {kColumn[1] + 10, kRadioRow[1]}, "Recording on the right channel"),
    radio(ControlId::BTN_RECORDINGLEFTRIGHT, {kColumn[1] + 10, kRadioRow[2]}, "Recording on both channels"),
    radio(ControlId::BTN_VOCALLEFT, {kColumn[2] + 10, kRadioRow[0]}, "Voice on the left channel"),
    radio(ControlId::BTN_VOCALRIGHT, {kColumn[2] + 10, kRadioRow[1]}, "Voice on the right channel"),
    radio(ControlId::BTN_VOCALLEFTRIGHT, {kColumn[2] + 10, kRadioRow[2]}, "Voice in the centre"),
    radio(ControlId::BTN_REPEAT, {kColumn[3] + 10, kRadioRow[0]}, "Repeat the music"),
    radio(ControlId::BTN_STOPRECORDING, {kColumn[3] + 10, kRadioRow[1]}, "Stop the recording"),
    radio(ControlId::BTN_STOPBACKGROUND, {kColumn[3] + 10, kRadioRow[2]}, "Stop the music"),
    check(ControlId::BTN_REMOVE, {kColumn[2] + 10, 226}, "Remove voice"),
    check(ControlId::BTN_PREVIEW, {388, 88}, "Hear the music while recording"),
    ok(kSmallOk),
    cancel(kSmallCancel),
};
constexpr SliderSpec kBackgroundSliders[] = {
    {SliderId::Mix, edges(160, 84, 221, 103), "IDR_SLIDERBALANCE", "IDR_THUMB2", {7, 16},
     false, 164, 215, 100, 1, {}, "Mix of music and recording"},
};
constexpr AreaSpec kBackgroundAreas[] = {
    {AreaId::BackgroundShare, {114, 84, 42, 19}, FontRole::Display},
    {AreaId::RecordingShare, {225, 84, 42, 19}, FontRole::Display},
    {AreaId::BackgroundPlate, {20, 84, 90, 19}, FontRole::Display},
    {AreaId::RecordingPlate, {271, 84, 90, 19}, FontRole::Display},
};
constexpr ArtSpec kBackgroundArt[] = {
    art(ArtKind::Title, {20, 14, 300, 16}, "BACKGROUND MUSIC"),
    caption({20, 44, 46, 18}, "FILE"),
    caption({409, 88, 60, 12}, "PREVIEW"),
    art(ArtKind::Frame, edges(kColumn[0], 128, kColumn[0] + 104, 252), "MUSIC"),
    art(ArtKind::Frame, edges(kColumn[1], 128, kColumn[1] + 104, 252), "RECORDING"),
    art(ArtKind::Frame, edges(kColumn[2], 128, kColumn[2] + 104, 252), "VOICE"),
    art(ArtKind::Frame, edges(kColumn[3], 128, kColumn[3] + 104, 252), "AT THE END"),
    caption({kColumn[0] + 33, kRadioRow[0], 70, 19}, "LEFT"),
    caption({kColumn[0] + 33, kRadioRow[1], 70, 19}, "RIGHT"),
    caption({kColumn[0] + 33, kRadioRow[2], 70, 19}, "BOTH"),
    caption({kColumn[1] + 33, kRadioRow[0], 70, 19}, "LEFT"),
    caption({kColumn[1] + 33, kRadioRow[1], 70, 19}, "RIGHT"),
    caption({kColumn[1] + 33, kRadioRow[2], 70, 19}, "BOTH"),
    caption({kColumn[2] + 33, kRadioRow[0], 70, 19}, "LEFT"),
    caption({kColumn[2] + 33, kRadioRow[1], 70, 19}, "RIGHT"),
    caption({kColumn[2] + 33, kRadioRow[2], 70, 19}, "CENTRE"),
    caption({kColumn[2] + 31, 226, 72, 12}, "REMOVE"),
    caption({kColumn[3] + 33, kRadioRow[0], 70, 19}, "REPEAT"),
    caption({kColumn[3] + 33, kRadioRow[1], 70, 19}, "STOP REC"),
    caption({kColumn[3] + 33, kRadioRow[2], 70, 19}, "STOP MUSIC"),
};
// clang-format on

constexpr FaceSpec kStartup{FaceId::Startup,   "startup",  "Orvel",          "IDR_STARTFACE",
                            kSmallFaceOutline, {},         kStartupControls, {},
                            kStartupAreas,     kStartupArt};
constexpr FaceSpec kAbout{FaceId::About,     "about",  "About Orvel",  "IDR_ABOUTFACE",
                          kSmallFaceOutline, {},       kAboutControls, {},
                          kAboutAreas,       kAboutArt};
constexpr FaceSpec kDevice{FaceId::Device,    "device",  "Capture device", "IDR_DEVICEFACE",
                           kSmallFaceOutline, {},        kDeviceControls,  {},
                           kDeviceAreas,      kDeviceArt};
constexpr FaceSpec kBackground{FaceId::Background,  "background",       "Background music",
                               "IDR_BACKGROUND",    kSmallFaceOutline,  {},
                               kBackgroundControls, kBackgroundSliders, kBackgroundAreas,
                               kBackgroundArt};

}  // namespace

const FaceSpec& startup() {
    return kStartup;
}
const FaceSpec& about() {
    return kAbout;
}
const FaceSpec& device() {
    return kDevice;
}
const FaceSpec& background() {
    return kBackground;
}

}  // namespace orvel::skin::tables
