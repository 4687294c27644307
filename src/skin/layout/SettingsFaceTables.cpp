#include "skin/layout/FaceTables.h"

// The settings faces: MP3, WMA, output, noise and filters, track splitter, schedule.
namespace orvel::skin::tables {

namespace {

constexpr ButtonMode kPush = ButtonMode::Push;
constexpr ButtonMode kLatch = ButtonMode::Latching;
constexpr Size kTimeThumb{7, 16};

// clang-format off
constexpr ControlSpec kMp3Controls[] = {
    field(ControlKind::Combo, ControlId::COMBO_BITRATE, edges(142, 61, 210, 78), "Bit rate"),
    field(ControlKind::Combo, ControlId::COMBO_STEREOMODE, edges(338, 61, 403, 78), "Stereo mode"),
    check(ControlId::BTN_CRC, {57, 102}, "CRC"),
    check(ControlId::BTN_ORIGINAL, {173, 102}, "Original"),
    check(ControlId::BTN_COPYRIGHT, {263, 102}, "Copyright"),
    check(ControlId::BTN_PRIVATE, {361, 102}, "Private"),
    check(ControlId::BTN_ID3, {57, 131}, "ID3 tag"),
    edit(ControlId::EDIT_ARTIST, edges(232, 137, 435, 154), "Artist"),
    edit(ControlId::EDIT_ALBUM, edges(232, 165, 435, 182), "Album"),
    edit(ControlId::EDIT_TITLE, edges(232, 191, 435, 208), "Title"),
    edit(ControlId::EDIT_YEAR, edges(232, 217, 280, 235), "Year"),
    field(ControlKind::Combo, ControlId::COMBO_GENRE, edges(331, 217, 435, 235), "Genre"),
    ok(kSmallOk),
    cancel(kSmallCancel),
};
constexpr AreaSpec kMp3Areas[] = {
    {AreaId::TagFile, {30, 258, 425, 16}, FontRole::Note},
};
constexpr ArtSpec kMp3Art[] = {
    art(ArtKind::Title, {20, 16, 300, 16}, "MP3 SETTINGS"),
    caption({30, 61, 106, 17}, "BITRATE kbit/s", Align::Right),
    caption({270, 61, 62, 17}, "MODE", Align::Right),
    caption({78, 102, 80, 12}, "CRC"),
    caption({194, 102, 64, 12}, "ORIGINAL"),
    caption({284, 102, 74, 12}, "COPYRIGHT"),
    caption({382, 102, 70, 12}, "PRIVATE"),
    caption({78, 131, 80, 12}, "ID3 TAG"),
    caption({150, 137, 76, 17}, "ARTIST", Align::Right),
    caption({150, 165, 76, 17}, "ALBUM", Align::Right),
    caption({150, 191, 76, 17}, "TITLE", Align::Right),
    caption({150, 217, 76, 18}, "YEAR", Align::Right),
    caption({284, 217, 42, 18}, "GENRE", Align::Right),
    art(ArtKind::Rule, {30, 122, 425, 2}),
};

constexpr ControlSpec kWmaControls[] = {
    edit(ControlId::EDIT_AUTHOR, edges(100, 52, 233, 69), "Artist"),
    edit(ControlId::EDIT_TITLE, edges(295, 52, 458, 69), "Title"),
    edit(ControlId::EDIT_ARTIST, edges(100, 89, 233, 106), "Album"),
    field(ControlKind::Combo, ControlId::COMBO_GENRE, edges(295, 89, 458, 106), "Genre"),
    edit(ControlId::EDIT_PROVIDER, edges(100, 126, 233, 143), "Composer"),
    edit(ControlId::EDIT_TRACKNUMBER, edges(316, 126, 458, 143), "Copyright"),
    edit(ControlId::EDIT_DISTRIBUTOR, edges(100, 163, 458, 180), "Description"),
    field(ControlKind::Combo, ControlId::COMBO_FORMAT, edges(100, 200, 458, 217), "Profile"),
    ok(kSmallOk),
    cancel(kSmallCancel),
};
constexpr AreaSpec kWmaAreas[] = {
    {AreaId::TagFile, {20, 250, 438, 16}, FontRole::Note},
};
constexpr ArtSpec kWmaArt[] = {
    art(ArtKind::Title, {20, 16, 300, 16}, "WMA SETTINGS"),
    caption({10, 52, 84, 17}, "ARTIST", Align::Right),
    caption({10, 89, 84, 17}, "ALBUM", Align::Right),
    caption({10, 126, 84, 17}, "COMPOSER", Align::Right),
    caption({10, 163, 84, 17}, "DESCRIPTION", Align::Right),
    caption({10, 200, 84, 17}, "PROFILE", Align::Right),
    caption({239, 52, 52, 17}, "TITLE", Align::Right),
    caption({239, 89, 52, 17}, "GENRE", Align::Right),
    caption({239, 126, 73, 17}, "COPYRIGHT", Align::Right),
};

constexpr ControlSpec kOutputControls[] = {
    edit(ControlId::EDIT_FILENAME, edges(117, 43, 252, 63), "File name"),
    edit(ControlId::EDIT_FILELOCATION, edges(117, 73, 376, 93), "Folder"),
    key(ControlId::BTN_BROWSE, "IDR_BTNBROWSE", {384, 73}, kPush, "Browse"),
    radio(ControlId::BTN_WAVFILE, {261, 43}, "WAV"),
    radio(ControlId::BTN_MP3FILE, {330, 43}, "MP3"),
    radio(ControlId::BTN_WMAFILE, {396, 43}, "WMA"),
    check(ControlId::BTN_MULTIFILE_OUTPUT, {31, 112}, "Multiple files"),
    check(ControlId::BTN_TIMESTAMPLE_OUTPUT, {31, 176}, "Time-stamped names"),
    check(ControlId::BTN_ALERT_OUTPUT, {31, 236}, "Overwrite alert"),
    ok(kSmallOk),
    cancel(kSmallCancel),
};
constexpr ArtSpec kOutputArt[] = {
    art(ArtKind::Title, {20, 14, 300, 16}, "OUTPUT"),
    caption({20, 43, 92, 20}, "FILE NAME", Align::Right),
    caption({20, 73, 92, 20}, "FOLDER", Align::Right),
    caption({282, 43, 40, 19}, "WAV"),
    caption({351, 43, 40, 19}, "MP3"),
    caption({417, 43, 40, 19}, "WMA"),
    caption({54, 112, 300, 12}, "MULTIPLE FILES"),
    note({54, 127, 400, 14}, "Every recording goes into a file of its own, numbered after the name."),
    caption({54, 176, 300, 12}, "TIME-STAMPED NAMES"),
    note({54, 191, 400, 14}, "The date and time of the start go into each name."),
    caption({54, 236, 300, 12}, "OVERWRITE ALERT"),
    note({54, 251, 400, 14}, "Ask before a recording replaces a file that exists."),
};

constexpr Point kNoisePoints[] = {
    {8, 0}, {573, 0}, {584, 9}, {578, 17}, {578, 372}, {573, 388}, {8, 388}, {5, 386},
    {2, 383}, {0, 378}, {0, 10}, {2, 5}, {5, 2}};
constexpr Outline kNoiseOutline[] = {{kNoisePoints, {578, 388}}};

constexpr ControlSpec kNoiseControls[] = {
    edit(ControlId::EDIT_THRESHOLD, edges(235, 54, 259, 70), "Threshold"),
    edit(ControlId::EDIT_RELEASETIME, edges(235, 107, 259, 123), "Release time"),
    edit(ControlId::EDIT_ATTACKTIME, edges(235, 159, 259, 175), "Attack time"),
    edit(ControlId::EDIT_LOWPASS, edges(219, 227, 259, 243), "Low pass"),
    edit(ControlId::EDIT_HIGHPASS, edges(219, 283, 259, 299), "High pass"),
    ok({326, 336}),
    cancel({464, 336}),
};
constexpr SliderSpec kNoiseSliders[] = {
    {SliderId::NoiseThreshold, edges(48, 72, 259, 102), "IDR_SLIDERTHRESHOLD2", "IDR_THUMB_TIME",
     kTimeThumb, false, 60, 249, 47, 4, {}, "Noise threshold"},
    {SliderId::Release, edges(48, 125, 259, 155), "IDR_SLIDERDELAY", "IDR_THUMB_TIME",
     kTimeThumb, false, 52, 253, 25, 8, {}, "Release time"},
    {SliderId::Attack, edges(48, 177, 259, 207), "IDR_SLIDERDELAY", "IDR_THUMB_TIME",
     kTimeThumb, false, 52, 253, 25, 8, {}, "Attack time"},
    {SliderId::LowPass, edges(48, 245, 259, 275), "IDR_SLIDERLOWPASS", "IDR_THUMB_TIME",
     kTimeThumb, false, 52, 253, 10000, 1, {}, "Low pass"},
    {SliderId::HighPass, edges(48, 301, 259, 331), "IDR_SLIDERHIGHPASS", "IDR_THUMB_TIME",
     kTimeThumb, false, 52, 253, 10000, 1, {}, "High pass"},
};
constexpr ArtSpec kNoiseArt[] = {
    art(ArtKind::Title, {24, 14, 400, 16}, "NOISE GATE AND FILTERS"),
    art(ArtKind::Frame, edges(36, 40, 272, 214), "GATE"),
    art(ArtKind::Frame, edges(36, 218, 272, 342), "FILTERS"),
    caption({48, 56, 180, 12}, "THRESHOLD dB"),
    caption({48, 109, 180, 12}, "RELEASE s"),
    caption({48, 161, 180, 12}, "ATTACK s"),
    caption({48, 229, 168, 12}, "LOW PASS Hz"),
    caption({48, 285, 168, 12}, "HIGH PASS Hz"),
    note({300, 60, 260, 14}, "The gate silences the input while it stays"),
    note({300, 74, 260, 14}, "below the threshold. Release sets how long"),
    note({300, 88, 260, 14}, "it waits before it closes, attack how soon"),
    note({300, 102, 260, 14}, "it opens again."),
    note({300, 238, 260, 14}, "The low-pass filter takes away what lies"),
    note({300, 252, 260, 14}, "above its frequency, the high-pass filter"),
    note({300, 266, 260, 14}, "what lies below it. Both work on 16-bit"),
    note({300, 280, 260, 14}, "recordings."),
};

constexpr ControlSpec kSplitterControls[] = {
    key(ControlId::BTN_NEWFILE, "IDR_BTNNEWFILE", {330, 74}, kLatch, "New file on silence"),
    key(ControlId::BTN_TRACKSPLITTERPAUSE, "IDR_BTNTRACKSPLITTERPAUSE", {330, 100}, kLatch, "Pause on silence"),
    key(ControlId::BTN_TRACKSPLITTERSTOP, "IDR_BTNTRACKSPLITTERSTOP", {330, 126}, kLatch, "Stop on silence"),
    ok({462, 74}),
    cancel({462, 126}),
    edit(ControlId::EDIT_THRESHOLD, edges(240, 51, 264, 67), "Threshold"),
    edit(ControlId::EDIT_DELAY, edges(240, 104, 264, 120), "Delay"),
};
constexpr SliderSpec kSplitterSliders[] = {
    {SliderId::SplitThreshold, edges(54, 70, 265, 100), "IDR_SLIDERTHRESHOLD2", "IDR_THUMB_TIME",
     kTimeThumb, false, 66, 255, 47, 4, {}, "Threshold"},
    {SliderId::SplitDelay, edges(54, 123, 265, 153), "IDR_SLIDERDELAY", "IDR_THUMB_TIME",
     kTimeThumb, false, 58, 259, 25, 8, {}, "Delay"},
};
constexpr ArtSpec kSplitterArt[] = {
    art(ArtKind::Title, {24, 14, 400, 16}, "SIGNAL RECORDING"),
    caption({54, 53, 180, 12}, "THRESHOLD dB"),
    caption({54, 106, 180, 12}, "SILENCE DELAY s"),
    caption({330, 58, 110, 12}, "ON SILENCE"),
    art(ArtKind::Scope, edges(30, 184, 548, 316)),
    note({30, 326, 520, 14}, "A recording runs while the input reaches the threshold. When it has stayed"),
    note({30, 340, 520, 14}, "below it for the delay, the recording pauses, stops, or goes on in a new file."),
};

constexpr Point kSchedulePoints[] = {
    {8, 0}, {573, 0}, {575, 4}, {578, 11}, {578, 420}, {570, 431}, {7, 431}, {3, 429},
    {2, 427}, {0, 424}, {0, 10}, {2, 5}, {5, 2}};
constexpr Outline kScheduleOutline[] = {{kSchedulePoints, {578, 431}}};

constexpr ControlSpec kScheduleControls[] = {
    field(ControlKind::List, ControlId::LIST_SCHEDULE, edges(21, 264, 366, 400), "Schedule list"),
    key(ControlId::BTN_ADD, "IDR_BTNADD", {380, 247}, kPush, "Add"),
    key(ControlId::BTN_CHANGE, "IDR_BTNCHANGE", {380, 292}, kPush, "Change"),
    key(ControlId::BTN_DELETE, "IDR_BTNDELETE", {380, 337}, kPush, "Delete"),
    key(ControlId::BTN_ABSOLUTE, "IDR_BTNABSOLUTE", {470, 292}, kLatch, "Absolute times"),
    key(ControlId::BTN_RELATIVE, "IDR_BTNRELATIVE", {470, 338}, kLatch, "Relative times"),
    ok({380, 385}),
    cancel({470, 385}),
    check(ControlId::BTN_ONTHEDAY, {420, 29}, "On the day"),
    check(ControlId::kSunday, {435, 91}, "Sunday"),
    check(ControlId::kMonday, {493, 91}, "Monday"),
    check(ControlId::kTuesday, {435, 105}, "Tuesday"),
    check(ControlId::kWednesday, {493, 105}, "Wednesday"),
    check(ControlId::kThursday, {435, 119}, "Thursday"),
    check(ControlId::kFriday, {493, 119}, "Friday"),
    check(ControlId::kSaturday, {435, 133}, "Saturday"),
    check(ControlId::CHECK_STREAMINGURL, {20, 214}, "Open a streaming address"),
    edit(ControlId::EDIT_STREAMINGURL, edges(128, 210, 400, 228), "Streaming address"),
    edit(ControlId::EDIT_LOADINGTIME, edges(485, 210, 505, 228), "Loading time"),
    field(ControlKind::DatePicker, ControlId::kScheduleDate, edges(435, 176, 556, 193), "Date"),
    edit(ControlId::EDIT_STARTHOUR, edges(185, 46, 207, 62), "Start hour"),
    edit(ControlId::EDIT_STARTMINUTE, edges(185, 96, 207, 112), "Start minute"),
    edit(ControlId::EDIT_STARTSECOND, edges(185, 146, 207, 162), "Start second"),
    edit(ControlId::EDIT_ENDHOUR, edges(386, 46, 408, 62), "End hour"),
    edit(ControlId::EDIT_ENDMINUTE, edges(386, 96, 408, 112), "End minute"),
    edit(ControlId::EDIT_ENDSECOND, edges(386, 146, 408, 162), "End second"),
};
constexpr SliderSpec kScheduleSliders[] = {
    {SliderId::StartHour, edges(22, 63, 208, 92), "IDR_SLIDERHOUR", "IDR_THUMB_TIME", kTimeThumb,
     false, 26, 202, 23, 1, {}, "Start hour"},
    {SliderId::StartMinute, edges(22, 113, 208, 142), "IDR_SLIDERMINSEC", "IDR_THUMB_TIME",
     kTimeThumb, false, 26, 202, 59, 1, {}, "Start minute"},
    {SliderId::StartSecond, edges(22, 163, 208, 192), "IDR_SLIDERMINSEC", "IDR_THUMB_TIME",
     kTimeThumb, false, 26, 202, 59, 1, {}, "Start second"},
    {SliderId::EndHour, edges(223, 63, 409, 92), "IDR_SLIDERHOUR", "IDR_THUMB_TIME", kTimeThumb,
     false, 227, 403, 23, 1, {}, "End hour"},
    {SliderId::EndMinute, edges(223, 113, 409, 142), "IDR_SLIDERMINSEC", "IDR_THUMB_TIME",
     kTimeThumb, false, 227, 403, 59, 1, {}, "End minute"},
    {SliderId::EndSecond, edges(223, 163, 409, 192), "IDR_SLIDERMINSEC", "IDR_THUMB_TIME",
     kTimeThumb, false, 227, 403, 59, 1, {}, "End second"},
};
constexpr AreaSpec kScheduleAreas[] = {
    {AreaId::DayField, edges(413, 45, 562, 61), FontRole::Small},
};
constexpr ArtSpec kScheduleArt[] = {
    art(ArtKind::Title, {22, 24, 150, 16}, "START"),
    art(ArtKind::Title, {223, 24, 150, 16}, "END"),
    caption({22, 48, 150, 12}, "HOUR"),
    caption({22, 98, 150, 12}, "MINUTE"),
    caption({22, 148, 150, 12}, "SECOND"),
    caption({223, 48, 150, 12}, "HOUR"),
    caption({223, 98, 150, 12}, "MINUTE"),
    caption({223, 148, 150, 12}, "SECOND"),
    caption({441, 29, 120, 12}, "ON THE DAY"),
    caption({413, 76, 140, 12}, "DAYS OF THE WEEK"),
    caption({455, 91, 34, 12}, "SUN"),
    caption({513, 91, 34, 12}, "MON"),
    caption({455, 105, 34, 12}, "TUE"),
    caption({513, 105, 34, 12}, "WED"),
    caption({455, 119, 34, 12}, "THU"),
    caption({513, 119, 34, 12}, "FRI"),
    caption({455, 133, 34, 12}, "SAT"),
    caption({435, 162, 120, 12}, "DATE"),
    caption({41, 214, 84, 12}, "STREAM URL"),
    caption({404, 210, 77, 18}, "LOAD s", Align::Right),
    caption({21, 248, 200, 12}, "SCHEDULE LIST"),
    caption({470, 276, 72, 12}, "TIME MODE"),
    art(ArtKind::Rule, {14, 240, 550, 2}),
};
// clang-format on

constexpr FaceSpec kMp3{FaceId::Mp3,  "mp3", "MP3 settings", "IDR_MP3FACE", kSmallFaceOutline, {},
                        kMp3Controls, {},    kMp3Areas,      kMp3Art};
constexpr FaceSpec kWma{FaceId::Wma,  "wma", "WMA settings", "IDR_WMAFACE", kSmallFaceOutline, {},
                        kWmaControls, {},    kWmaAreas,      kWmaArt};
constexpr FaceSpec kOutput{
    FaceId::Output,  "output", "Output", "IDR_OUTPUTFACE", kSmallFaceOutline, {},
    kOutputControls, {},       {},       kOutputArt};
constexpr FaceSpec kNoise{FaceId::Noise,
                          "noise",
                          "Noise gate and filters",
                          "IDR_NOISEGATINGFACE",
                          kNoiseOutline,
                          {},
                          kNoiseControls,
                          kNoiseSliders,
                          {},
                          kNoiseArt};
constexpr FaceSpec kSplitter{FaceId::TrackSplitter,
                             "splitter",
                             "Signal recording",
                             "IDR_TRACKSPLITTERFACE",
                             kNoiseOutline,
                             {},
                             kSplitterControls,
                             kSplitterSliders,
                             {},
                             kSplitterArt};
constexpr FaceSpec kSchedule{FaceId::Schedule, "schedule",  "Schedule",        "IDR_SCHEDULEFACE",
                             kScheduleOutline, {},          kScheduleControls, kScheduleSliders,
                             kScheduleAreas,   kScheduleArt};

}  // namespace

const FaceSpec& mp3() {
    return kMp3;
}
const FaceSpec& wma() {
    return kWma;
}
const FaceSpec& output() {
    return kOutput;
}
const FaceSpec& noise() {
    return kNoise;
}
const FaceSpec& trackSplitter() {
    return kSplitter;
}
const FaceSpec& schedule() {
    return kSchedule;
}

}  // namespace orvel::skin::tables
