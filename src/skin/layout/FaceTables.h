#pragma once

#include "skin/layout/SkinLayout.h"

// The tables of the faces, one function per face, and the small builders that keep their rows
// short. Internal to the layout library: everything else reads SkinLayout.
namespace orvel::skin::tables {

const FaceSpec& front();
const FaceSpec& startup();
const FaceSpec& about();
const FaceSpec& device();
const FaceSpec& background();
const FaceSpec& mp3();
const FaceSpec& wma();
const FaceSpec& output();
const FaceSpec& noise();
const FaceSpec& trackSplitter();
const FaceSpec& schedule();

// The 485 x 332 rectangle shared by the small faces.
inline constexpr Point kSmallFacePoints[] = {{0, 0}, {485, 0}, {485, 332}, {0, 332}};
inline constexpr Outline kSmallFaceOutline[] = {{kSmallFacePoints, {485, 332}}};
// OK and Cancel of the small faces.
inline constexpr Point kSmallOk{271, 296};
inline constexpr Point kSmallCancel{381, 296};

constexpr ControlSpec button(ControlId id, std::string_view image, Rect rect, ButtonMode mode,
                             std::string_view label, int panel = kNoPanel, bool hidden = false) {
    return {id, ControlKind::Button, rect, image, mode, label, panel, hidden};
}

// A 72 x 24 key.
constexpr ControlSpec key(ControlId id, std::string_view image, Point at, ButtonMode mode,
                          std::string_view label, int panel = kNoPanel) {
    return button(id, image, {at.x, at.y, 72, 24}, mode, label, panel);
}

constexpr ControlSpec check(ControlId id, Point at, std::string_view label) {
    return button(id, "IDR_BTNCHECKBOX", {at.x, at.y, 17, 12}, ButtonMode::Latching, label);
}

constexpr ControlSpec radio(ControlId id, Point at, std::string_view label) {
    return button(id, "IDR_BTNRADIO", {at.x, at.y, 19, 19}, ButtonMode::Latching, label);
}

constexpr ControlSpec ok(Point at) {
    return key(ControlId::BTN_OK, "IDR_BTNOK", at, ButtonMode::Push, "OK");
}

constexpr ControlSpec cancel(Point at) {
    return key(ControlId::BTN_CANCEL, "IDR_BTNCANCEL", at, ButtonMode::Push, "Cancel");
}

constexpr ControlSpec field(ControlKind kind, ControlId id, Rect rect, std::string_view label,
                            int panel = kNoPanel) {
    return {id, kind, rect, {}, ButtonMode::Push, label, panel, false};
}

constexpr ControlSpec edit(ControlId id, Rect rect, std::string_view label) {
    return field(ControlKind::Edit, id, rect, label);
}

constexpr ArtSpec art(ArtKind kind, Rect rect, std::string_view text = {},
                      Align align = Align::Left, int panel = kNoPanel) {
    return {kind, rect, text, align, panel};
}

constexpr ArtSpec caption(Rect rect, std::string_view text, Align align = Align::Left,
                          int panel = kNoPanel) {
    return {ArtKind::Caption, rect, text, align, panel};
}

constexpr ArtSpec note(Rect rect, std::string_view text, Align align = Align::Left) {
    return {ArtKind::Note, rect, text, align, kNoPanel};
}

}  // namespace orvel::skin::tables
