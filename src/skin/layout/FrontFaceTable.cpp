#include "skin/layout/FaceTables.h"

namespace orvel::skin::tables {

namespace {

constexpr ButtonMode kPush = ButtonMode::Push;
constexpr ButtonMode kLatch = ButtonMode::Latching;
constexpr ButtonMode kTransport = ButtonMode::Transport;

// clang-format off
constexpr Point kBase[] = {
    {8, 0}, {573, 0}, {584, 9}, {588, 17}, {588, 38}, {592, 44}, {592, 344}, {588, 352},
    {588, 376}, {584, 383}, {579, 388}, {573, 392}, {8, 392}, {5, 390}, {2, 387}, {0, 382},
    {0, 10}, {2, 5}, {5, 2}};
constexpr Point kBaseWithSide[] = {
    {8, 0}, {573, 0}, {584, 9}, {588, 17}, {588, 30}, {949, 30}, {949, 363}, {588, 363},
    {588, 376}, {584, 383}, {579, 388}, {573, 392}, {8, 392}, {5, 390}, {2, 387}, {0, 382},
    {0, 10}, {2, 5}, {5, 2}};
constexpr Point kTall[] = {
    {8, 0}, {573, 0}, {584, 9}, {588, 17}, {588, 38}, {592, 44}, {592, 344}, {586, 354},
    {584, 566}, {586, 568}, {586, 591}, {583, 598}, {577, 603}, {573, 607}, {8, 607},
    {5, 605}, {2, 602}, {0, 597}, {0, 588}, {2, 588}, {2, 372}, {0, 372}, {0, 10}, {2, 5},
    {5, 2}};
constexpr Point kTallWithSide[] = {
    {8, 0}, {573, 0}, {584, 9}, {588, 17}, {588, 30}, {949, 30}, {949, 363}, {586, 363},
    {586, 374}, {584, 566}, {586, 568}, {586, 591}, {583, 598}, {577, 603}, {573, 607},
    {8, 607}, {5, 605}, {2, 602}, {0, 597}, {0, 588}, {2, 588}, {2, 372}, {0, 372}, {0, 10},
    {2, 5}, {5, 2}};

// By open panels: none, line window, log panel, both.
constexpr Outline kOutlines[] = {
    {kBase, {592, 392}},
    {kBaseWithSide, {949, 392}},
    {kTall, {592, 608}},
    {kTallWithSide, {949, 608}},
};

constexpr PanelSpec kPanels[] = {
    {"IDR_AUDIOLINE", {571, 30, 378, 333}},
    {"IDR_LOGFACE", {0, 374, 588, 234}},
};

// In the order the face creates them: later ones lie above earlier ones where they overlap
// (the line window's handle above the side panel's keys).
constexpr ControlSpec kControls[] = {
    key(ControlId::BTN_16BIT, "IDR_BTN16BIT", {26, 35}, kLatch, "16-bit samples"),
    key(ControlId::BTN_8BIT, "IDR_BTN8BIT", {26, 63}, kLatch, "8-bit samples"),
    key(ControlId::BTN_STEREO, "IDR_BTNSTEREO", {26, 105}, kLatch, "Stereo"),
    key(ControlId::BTN_MONO, "IDR_BTNMONO", {26, 132}, kLatch, "Mono"),
    key(ControlId::BTN_BACKGROUNDSET, "IDR_BTNSETTING", {119, 252}, kPush, "Background music settings"),
    key(ControlId::BTN_MUSICSET, "IDR_BTNMP3SET", {386, 308}, kPush, "MP3 settings"),
    key(ControlId::BTN_WMASET, "IDR_BTNWMASET", {469, 308}, kPush, "WMA settings"),
    key(ControlId::BTN_SIGNALSET, "IDR_BTNSETTING", {386, 251}, kPush, "Signal recording settings"),
    key(ControlId::BTN_CLOCKSET, "IDR_BTNSETTING", {386, 280}, kPush, "Schedule"),
    key(ControlId::BTN_SIGNALFILE, "IDR_BTNTRACKSTART", {469, 251}, kLatch, "Signal recording"),
    key(ControlId::BTN_CLOCKFILE, "IDR_BTNSCHEDULESTART", {469, 280}, kLatch, "Schedule recording"),
    key(ControlId::BTN_DEVICE, "IDR_BTNDEVICE", {590, 244}, kPush, "Capture device", kSidePanel),
    key(ControlId::BTN_AUTODETECT, "IDR_BTNAUTODETECT", {590, 270}, kPush, "Find the recording line", kSidePanel),
    key(ControlId::BTN_CLOSEAUDIOBOX, "IDR_BTNCLOSEAUDIOBOX", {590, 322}, kPush, "Close the line window", kSidePanel),
    key(ControlId::BTN_RECORDINGCTRL, "IDR_BTNRECORDINGCTRL", {590, 296}, kPush, "Recording control", kSidePanel),
    key(ControlId::BTN_NOISESETTING, "IDR_BTNSETTING", {42, 322}, kPush, "Noise and filter settings"),
    key(ControlId::BTN_BACKGROUNDENABLE, "IDR_BTNAPPLY", {207, 252}, kLatch, "Background music"),
    key(ControlId::BTN_EDITID3TAG, "IDR_BTNEDITID3TAG", {30, 389}, kPush, "Edit the tag", kLogPanel),
    check(ControlId::BTN_MULTIFILE, {26, 207}, "Multiple files"),
    check(ControlId::BTN_TIMESTAMPEDFILE, {26, 226}, "Time-stamped file names"),
    check(ControlId::BTN_AUDIT, {26, 188}, "Monitor"),
    check(ControlId::BTN_NOISEGATE, {148, 308}, "Noise gate"),
    check(ControlId::BTN_LOWPASS, {148, 327}, "Low-pass filter"),
    check(ControlId::BTN_HIGHPASS, {148, 346}, "High-pass filter"),
    radio(ControlId::BTN_MP3FILE, {422, 342}, "MP3 output"),
    radio(ControlId::BTN_WAVFILE, {354, 342}, "WAV output"),
    radio(ControlId::BTN_WMAFILE, {489, 342}, "WMA output"),
    button(ControlId::BTN_STOP, "IDR_BTNSTOP", {253, 187, 60, 55}, kPush, "Stop"),
    button(ControlId::BTN_PAUSE, "IDR_BTNPAUSE", {313, 187, 60, 55}, kLatch, "Pause"),
    button(ControlId::BTN_PLAY, "IDR_BTNPLAY", {373, 187, 60, 55}, kTransport, "Play"),
    button(ControlId::BTN_RECORD, "IDR_BTNRECORD", {433, 187, 60, 55}, kTransport, "Record"),
    button(ControlId::BTN_EJECT, "IDR_BTNEJECT", {493, 187, 60, 55}, kPush, "Output settings"),
    button(ControlId::BTN_DETECT, "IDR_BTNDETECT", {571, 30, 22, 330}, kPush, "Open the line window"),
    button(ControlId::BTN_SHOWSWITCH, "IDR_BTNSHOWSWITCH", {522, 70, 28, 60}, kLatch, "Input level display"),
    button(ControlId::BTN_HELPBOOK, "IDR_BTNHELPBOOK", {209, 136, 45, 15}, kPush, "Help", kNoPanel, true),
    button(ControlId::BTN_SYSMIN, "IDR_BTNSYSMIN", {504, 2, 23, 24}, kPush, "Minimise"),
    button(ControlId::BTN_SYSCLOSE, "IDR_BTNSYSCLOSE", {531, 1, 23, 24}, kPush, "Close"),
    button(ControlId::BTN_SYSHELP, "IDR_BTNSYSHELP", {447, 4, 23, 24}, kPush, "Help"),
    button(ControlId::BTN_SYSTRAY, "IDR_BTNSYSTRAY", {476, 4, 23, 24}, kPush, "Hide"),
    button(ControlId::BTN_ARCHIVE, "IDR_BTNARCHIVE", {239, 373, 101, 20}, kPush, "Recording history"),
    button(ControlId::BTN_ARCHIVECLOSE, "IDR_BTNARCHIVECLOSE", {239, 588, 101, 20}, kPush, "Close the recording history", kLogPanel),
    button(ControlId::kMicrophone, "IDR_BTNMIC", {781, 324, 59, 20}, kPush, "Microphone", kSidePanel),
    field(ControlKind::Tree, ControlId::kHistoryTree, edges(10, 424, 126, 583), "Recording history", kLogPanel),
    field(ControlKind::TrackList, ControlId::kTrackList, edges(131, 424, 562, 583), "Recordings", kLogPanel),
};

constexpr SliderSpec kSliders[] = {
    {SliderId::Rate, edges(123, 29, 150, 160), "IDR_SLIDERRATE", "IDR_THUMB", {14, 16}, true,
     38, 150, 8, 14, "AREA_FREQUENCY", "Sample rate"},
    {SliderId::Volume, edges(200, 29, 227, 160), "IDR_SLIDERVOLUM", "IDR_THUMB", {14, 16}, true,
     38, 150, 65535, 1, "AREA_VOLUME", "Volume"},
    {SliderId::Play, edges(252, 162, 552, 180), "IDR_SLIDERPLAY", "IDR_THUMBPLAY", {17, 18},
     false, 261, 543, 1000, 1, {}, "Playback position"},
    {SliderId::Threshold, edges(341, 156, 551, 185), "IDR_SLIDERTHRESHOLD2", "IDR_THUMB_TIME",
     {7, 16}, false, 353, 541, 47, 4, "SLIDER_THRESHOLD", "Threshold"},
    {SliderId::Balance, edges(400, 160, 461, 179), "IDR_SLIDERBALANCE", "IDR_THUMB2", {7, 16},
     false, 404, 455, 100, 1, {}, "Background balance"},
    {SliderId::LineVolume, edges(609, 89, 635, 220), "IDR_SLIDERVOLUM", "IDR_THUMB", {14, 16},
     true, 98, 210, 65535, 1, {}, "Line volume", kSidePanel},
    {SliderId::LineBalance, edges(592, 63, 653, 80), "IDR_SLIDERBALANCE", "IDR_THUMB1", {7, 16},
     false, 596, 647, 100, 1, {}, "Line balance", kSidePanel},
};

constexpr AreaSpec kAreas[] = {
    {AreaId::DashboardRows, {260, 70, 285, 13}, FontRole::Dashboard, 3, 14},
    {AreaId::DashboardTextClip, edges(260, 70, 521, 111), FontRole::Dashboard},
    {AreaId::StartupTexts, {260, 70, 261, 13}, FontRole::Display, 3, 14},
    {AreaId::InfoLine, {260, 124, 200, 13}, FontRole::Dashboard, 2, 12},
    {AreaId::InfoSecondClip, edges(260, 136, 409, 150), FontRole::Dashboard},
    {AreaId::DataRate, edges(411, 139, 454, 150), FontRole::Display},
    {AreaId::RecordingDisplay, edges(462, 129, 545, 140), FontRole::Display},
    {AreaId::PlaybackDisplay, edges(460, 140, 545, 151), FontRole::Display},
    {AreaId::Clock, edges(22, 165, 66, 178), FontRole::Display},
    {AreaId::SampleRateLabel, {151, 29, 19, 129}, FontRole::Display},
    {AreaId::LevelMeter, edges(256, 32, 408, 53), FontRole::Display},
    {AreaId::MeterStrips, {257, 35, 145, 7}, FontRole::Display, 2, 10},
    {AreaId::MeterTexts, {412, 33, 108, 11}, FontRole::Display, 2, 10},
    {AreaId::MeterBars, {259, 36, 6, 16}, FontRole::Display, 3, 8},
    {AreaId::ThresholdArea, edges(256, 157, 338, 184), FontRole::Display},
    {AreaId::Sockets, {680, 92, 45, 22}, FontRole::Small, 10, 23, kSidePanel},
    {AreaId::LineNames, {731, 92, 209, 22}, FontRole::Small, 10, 23, kSidePanel},
    {AreaId::TagPanel, {131, 378, 431, 13}, FontRole::Small, 3, 13, kLogPanel},
};

constexpr ArtSpec kArt[] = {
    art(ArtKind::Wordmark, {20, 4, 120, 22}, "ORVEL"),
    art(ArtKind::Frame, edges(18, 29, 106, 93), "FORMAT"),
    art(ArtKind::Frame, edges(18, 99, 106, 161), "CHANNELS"),
    caption({118, 162, 56, 10}, "RATE", Align::Centre),
    caption({185, 162, 56, 10}, "VOLUME", Align::Centre),
    art(ArtKind::Display, edges(20, 163, 68, 180)),
    caption({47, 188, 150, 12}, "MONITOR"),
    caption({47, 207, 150, 12}, "MULTIPLE FILES"),
    caption({47, 226, 150, 12}, "TIME-STAMPED NAMES"),
    caption({14, 252, 100, 24}, "BACKGROUND", Align::Right),
    art(ArtKind::Frame, edges(34, 298, 252, 368), "NOISE"),
    caption({169, 308, 80, 12}, "GATE"),
    caption({169, 327, 80, 12}, "LOW PASS"),
    caption({169, 346, 80, 12}, "HIGH PASS"),
    art(ArtKind::Well, edges(252, 29, 524, 57)),
    art(ArtKind::Display, edges(256, 66, 523, 115)),
    art(ArtKind::Display, edges(256, 121, 548, 155)),
    art(ArtKind::Deck, edges(248, 156, 558, 247)),
    caption({286, 251, 94, 24}, "SIGNAL", Align::Right),
    caption({286, 280, 94, 24}, "SCHEDULE", Align::Right),
    caption({286, 308, 94, 24}, "ENCODER", Align::Right),
    caption({280, 342, 70, 19}, "OUTPUT", Align::Right),
    caption({376, 342, 40, 19}, "WAV"),
    caption({444, 342, 40, 19}, "MP3"),
    caption({511, 342, 40, 19}, "WMA"),
    // the line window
    caption({590, 50, 66, 10}, "BALANCE", Align::Centre, kSidePanel),
    caption({592, 224, 60, 10}, "LEVEL", Align::Centre, kSidePanel),
    art(ArtKind::Title, {680, 66, 260, 14}, "RECORDING LINES", Align::Left, kSidePanel),
    art(ArtKind::Well, edges(675, 88, 945, 323), {}, Align::Left, kSidePanel),
    caption({680, 324, 96, 20}, "MICROPHONE", Align::Right, kSidePanel),
    // the log panel: the tag panel's display above the tree and the track list
    art(ArtKind::Display, edges(129, 376, 564, 419), {}, Align::Left, kLogPanel),
    art(ArtKind::Well, edges(8, 421, 128, 586), {}, Align::Left, kLogPanel),
    art(ArtKind::Well, edges(129, 421, 564, 586), {}, Align::Left, kLogPanel),
};
// clang-format on

constexpr FaceSpec kFace{FaceId::Front, "front",   "Orvel",  "IDR_FACE1", kOutlines,
                         kPanels,       kControls, kSliders, kAreas,      kArt};

}  // namespace

const FaceSpec& front() {
    return kFace;
}

}  // namespace orvel::skin::tables
