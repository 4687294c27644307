#include "skin/layout/SkinImageTable.h"

#include <algorithm>
#include <array>

#include "skin/layout/SkinLayout.h"

namespace orvel::skin {

namespace {

constexpr Size kKey{72, 24};
constexpr Size kTransport{60, 55};
constexpr Size kSystem{23, 24};
constexpr Size kTimeTrack{211, 30};
constexpr Size kScheduleTrack{186, 29};
constexpr Size kThinThumb{7, 16};
constexpr Size kRateLabel{19, 129};
constexpr Size kListCheck{9, 9};
constexpr Size kPlate{90, 19};

constexpr ImageSpec face(std::string_view name, Size size) {
    return {name, size, StateSet::Single, ImageKind::Face, {}, Symbol::None};
}
constexpr ImageSpec key(std::string_view name, std::string_view caption) {
    return {name, kKey, StateSet::UpDownDisable, ImageKind::Key, caption, Symbol::None};
}
constexpr ImageSpec button(std::string_view name, Size size, ImageKind kind,
                           std::string_view caption, Symbol symbol = Symbol::None) {
    return {name, size, StateSet::UpDownDisable, kind, caption, symbol};
}
constexpr ImageSpec single(std::string_view name, Size size, ImageKind kind,
                           std::string_view caption = {}, Symbol symbol = Symbol::None) {
    return {name, size, StateSet::Single, kind, caption, symbol};
}

// clang-format off
constexpr ImageSpec kImages[] = {
    // Faces and the front face's panels, drawn at the size they are painted.
    face("IDR_FACE1", {592, 392}),
    face("IDR_AUDIOLINE", {378, 333}),
    face("IDR_LOGFACE", {588, 234}),
    face("IDR_STARTFACE", {485, 332}),
    face("IDR_DEVICEFACE", {485, 332}),
    face("IDR_ABOUTFACE", {485, 332}),
    face("IDR_BACKGROUND", {485, 332}),
    face("IDR_MP3FACE", {485, 332}),
    face("IDR_WMAFACE", {485, 332}),
    face("IDR_OUTPUTFACE", {485, 332}),
    face("IDR_NOISEGATINGFACE", {578, 388}),
    face("IDR_TRACKSPLITTERFACE", {578, 388}),
    face("IDR_SCHEDULEFACE", {578, 431}),

    // 72 x 24 keys. IDR_BTNSETTING serves four buttons: the face says what each one sets.
    key("IDR_BTN16BIT", "16 BIT"),
    key("IDR_BTN8BIT", "8 BIT"),
    key("IDR_BTNSTEREO", "STEREO"),
    key("IDR_BTNMONO", "MONO"),
    key("IDR_BTNSETTING", "SETUP"),
    key("IDR_BTNMP3SET", "MP3"),
    key("IDR_BTNWMASET", "WMA"),
    key("IDR_BTNTRACKSTART", "START"),
    key("IDR_BTNSCHEDULESTART", "START"),
    key("IDR_BTNAPPLY", "APPLY"),
    key("IDR_BTNDEVICE", "DEVICE"),
    key("IDR_BTNAUTODETECT", "AUTO DETECT"),
    key("IDR_BTNRECORDINGCTRL", "MIXER"),
    key("IDR_BTNCLOSEAUDIOBOX", "CLOSE"),
    key("IDR_BTNEDITID3TAG", "EDIT TAG"),
    key("IDR_BTNHELP", "HELP"),
    key("IDR_BTNEXIT", "EXIT"),
    key("IDR_BTNCONTINUE", "CONTINUE"),
    key("IDR_BTNOK", "OK"),
    key("IDR_BTNCANCEL", "CANCEL"),
    key("IDR_BTNADD", "ADD"),
    key("IDR_BTNCHANGE", "CHANGE"),
    key("IDR_BTNDELETE", "DELETE"),
    key("IDR_BTNABSOLUTE", "ABSOLUTE"),
    key("IDR_BTNRELATIVE", "RELATIVE"),
    key("IDR_BTNNEWFILE", "NEW FILE"),
    key("IDR_BTNTRACKSPLITTERPAUSE", "PAUSE"),
    key("IDR_BTNTRACKSPLITTERSTOP", "STOP"),
    key("IDR_BTNBROWSE", "BROWSE"),
    key("IDR_BTNADDTIME", "ADD TIME"),
    key("IDR_BTNMP3FILE", "MP3 FILE"),

    button("IDR_BTNARCHIVE", {101, 20}, ImageKind::TabKey, "HISTORY", Symbol::ArrowDown),
    button("IDR_BTNARCHIVECLOSE", {101, 20}, ImageKind::TabKey, "CLOSE", Symbol::ArrowUp),
    button("IDR_BTNSTOP", kTransport, ImageKind::TransportKey, "STOP", Symbol::Stop),
    button("IDR_BTNPAUSE", kTransport, ImageKind::TransportKey, "PAUSE", Symbol::Pause),
    button("IDR_BTNPLAY", kTransport, ImageKind::TransportKey, "PLAY", Symbol::Play),
    button("IDR_BTNRECORD", kTransport, ImageKind::TransportKey, "REC", Symbol::Record),
    button("IDR_BTNEJECT", kTransport, ImageKind::TransportKey, "EJECT", Symbol::Eject),
    button("IDR_BTNDETECT", {22, 330}, ImageKind::Handle, "LINES"),
    button("IDR_BTNSHOWSWITCH", {28, 60}, ImageKind::LevelSwitch, "LEVEL"),
    button("IDR_BTNHELPBOOK", {45, 15}, ImageKind::Key, "HELP"),
    button("IDR_BTNSYSHELP", kSystem, ImageKind::SystemKey, {}, Symbol::Help),
    button("IDR_BTNSYSTRAY", kSystem, ImageKind::SystemKey, {}, Symbol::Tray),
    button("IDR_BTNSYSMIN", kSystem, ImageKind::SystemKey, {}, Symbol::Minimise),
    button("IDR_BTNSYSCLOSE", kSystem, ImageKind::SystemKey, {}, Symbol::Close),
    button("IDR_BTNCHECKBOX", {17, 12}, ImageKind::CheckBox, {}),
    button("IDR_BTNRADIO", {19, 19}, ImageKind::Radio, {}),
    {"IDR_BTNSOCKET", {45, 22}, StateSet::UpHoverDownDisable, ImageKind::Socket, {}, Symbol::None},
    {"IDR_BTNMIC", {59, 20}, StateSet::UpDown, ImageKind::Key, "MIC", Symbol::Microphone},
    {"IDR_BTNDEVICENAME", {250, 28}, StateSet::UpDown, ImageKind::DeviceRow, {}, Symbol::None},

    // Slider tracks, drawn at the largest rectangle that uses them, and thumbs.
    single("IDR_SLIDERBALANCE", {61, 19}, ImageKind::Track),
    single("IDR_SLIDERDELAY", kTimeTrack, ImageKind::Track),
    single("IDR_SLIDERHIGHPASS", kTimeTrack, ImageKind::Track),
    single("IDR_SLIDERHOUR", kScheduleTrack, ImageKind::Track),
    single("IDR_SLIDERLOWPASS", kTimeTrack, ImageKind::Track),
    single("IDR_SLIDERMINSEC", kScheduleTrack, ImageKind::Track),
    single("IDR_SLIDERPLAY", {300, 18}, ImageKind::Track),
    single("IDR_SLIDERRATE", {27, 131}, ImageKind::Track),
    single("IDR_SLIDERTHRESHOLD", kTimeTrack, ImageKind::Track),
    single("IDR_SLIDERTHRESHOLD2", kTimeTrack, ImageKind::Track),
    single("IDR_SLIDERVOLUM", {27, 131}, ImageKind::Track),
    single("IDR_THUMB", {14, 16}, ImageKind::Thumb),
    single("IDR_THUMB1", kThinThumb, ImageKind::Thumb),
    single("IDR_THUMB2", kThinThumb, ImageKind::Thumb),
    single("IDR_THUMBPLAY", {17, 18}, ImageKind::Thumb),
    single("IDR_THUMB_TIME", kThinThumb, ImageKind::Thumb),

    // Sample-rate labels by rate index.
    single("IDR_F8K", kRateLabel, ImageKind::RateLabel, "8 kHz"),
    single("IDR_F11K", kRateLabel, ImageKind::RateLabel, "11.025 kHz"),
    single("IDR_F12K", kRateLabel, ImageKind::RateLabel, "12 kHz"),
    single("IDR_F16K", kRateLabel, ImageKind::RateLabel, "16 kHz"),
    single("IDR_F22K", kRateLabel, ImageKind::RateLabel, "22.05 kHz"),
    single("IDR_F24K", kRateLabel, ImageKind::RateLabel, "24 kHz"),
    single("IDR_F32K", kRateLabel, ImageKind::RateLabel, "32 kHz"),
    single("IDR_F44K", kRateLabel, ImageKind::RateLabel, "44.1 kHz"),
    single("IDR_F48K", kRateLabel, ImageKind::RateLabel, "48 kHz"),

    // The track list's check boxes and background, the device window's line row, and the
    // background window's share plates.
    single("IDR_CHECKBOXCHECKED", kListCheck, ImageKind::ListCheck, {}, Symbol::Checked),
    single("IDR_CHECKBOXUNCHECKED", kListCheck, ImageKind::ListCheck, {}, Symbol::Unchecked),
    single("IDR_CHECKBOXDISABLED", kListCheck, ImageKind::ListCheck, {}, Symbol::Disabled),
    single("IDR_GREENBACKGROUNDBMP", {8, 8}, ImageKind::Pattern),
    single("IDR_DEVICESOCKET", {129, 23}, ImageKind::LineRow),
    single("IDR_SCALEBACKGROUNDNAME", kPlate, ImageKind::ScalePlate, "BACKGROUND"),
    single("IDR_SCALERECORDINGNAME", kPlate, ImageKind::ScalePlate, "RECORDING"),
};
// clang-format on

constexpr std::array kAllStates = {ImageState::Up, ImageState::Down, ImageState::Disable};
constexpr std::array kSocketStates = {ImageState::Up, ImageState::Hover, ImageState::Down,
                                      ImageState::Disable};
constexpr std::array kUpDown = {ImageState::Up, ImageState::Down};

}  // namespace

std::span<const ImageSpec> SkinImageTable::images() {
    return kImages;
}

const ImageSpec* SkinImageTable::find(std::string_view name) {
    const auto it = std::find_if(std::begin(kImages), std::end(kImages),
                                 [&](const ImageSpec& image) { return image.name == name; });
    return it == std::end(kImages) ? nullptr : &*it;
}

std::string_view SkinImageTable::suffix(ImageState state) {
    switch (state) {
        case ImageState::Up:
            return "UP";
        case ImageState::Down:
            return "DOWN";
        case ImageState::Disable:
            return "DISABLE";
        case ImageState::Hover:
            return "HOVER";
    }
    return "UP";
}

std::span<const ImageState> SkinImageTable::states(StateSet set) {
    switch (set) {
        case StateSet::Single:
            return {};
        case StateSet::UpDownDisable:
            return kAllStates;
        case StateSet::UpHoverDownDisable:
            return kSocketStates;
        case StateSet::UpDown:
            return kUpDown;
    }
    return {};
}

std::string SkinImageTable::fileName(std::string_view base, ImageState state) {
    std::string name(base);
    name += suffix(state);
    return name;
}

std::vector<std::string> SkinImageTable::fileNames(const ImageSpec& image) {
    std::vector<std::string> names;
    if (image.states == StateSet::Single) {
        names.emplace_back(image.name);
        return names;
    }
    for (ImageState state : states(image.states)) {
        names.push_back(fileName(image.name, state));
    }
    return names;
}

bool SkinImageTable::latching(std::string_view base) {
    for (const FaceSpec& face : SkinLayout::faces()) {
        for (const ControlSpec& control : face.controls) {
            if (control.image == base && control.mode != ButtonMode::Push) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace orvel::skin
