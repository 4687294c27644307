#include "config/HotKeyScript.h"

#include "config/ControlNames.h"
#include "config/KeyNames.h"
#include "config/LanguageTable.h"

namespace orvel {

namespace {

constexpr char kSuffixOpen[] = " - Hot Key :[";
constexpr char kSuffixClose[] = "]";

struct TimeGesture {
    std::string_view name;
    HotKeyScript::Point fieldPress;
    std::string_view thenName;
};

// Pressing inside the minute field (25, 77, 40, 88) or the second field (47, 77, 62, 88)
// selects it; the time buttons then change the selected field.
constexpr TimeGesture kTimeGestures[] = {
    {"BTN_MINUTEINC", {28, 80}, "BTN_TIMEINC"},
    {"BTN_MINUTEDEC", {28, 80}, "BTN_TIMEDEC"},
    {"BTN_SECONDINC", {50, 80}, "BTN_TIMEINC"},
    {"BTN_SECONDDEC", {50, 80}, "BTN_TIMEDEC"},
};

struct SliderGesture {
    std::string_view name;
    HotKeyScript::Gesture gesture;
};

constexpr SliderGesture kSliderGestures[] = {
    {"SLD_VOLUMEUP", HotKeyScript::Gesture::VolumeUp},
    {"SLD_VOLUMEDOWN", HotKeyScript::Gesture::VolumeDown},
    {"SLD_FREQUENCYUP", HotKeyScript::Gesture::FrequencyUp},
    {"SLD_FREQUENCYDOWN", HotKeyScript::Gesture::FrequencyDown},
};

struct AreaNames {
    std::string_view area;
    std::string_view first;
    std::string_view second;
};

AreaNames namesOf(HotKeyScript::FaceArea area) {
    switch (area) {
        case HotKeyScript::FaceArea::Minute:
            return {"AREA_MINUTE", "BTN_MINUTEINC", "BTN_MINUTEDEC"};
        case HotKeyScript::FaceArea::Second:
            return {"AREA_SECOND", "BTN_SECONDINC", "BTN_SECONDDEC"};
        case HotKeyScript::FaceArea::Frequency:
            return {"AREA_FREQUENCY", "SLD_FREQUENCYUP", "SLD_FREQUENCYDOWN"};
        case HotKeyScript::FaceArea::Volume:
            break;
    }
    return {"AREA_VOLUME", "SLD_VOLUMEUP", "SLD_VOLUMEDOWN"};
}

}  // namespace

HotKeyScript::HotKeyScript() : m_document(TagDocument::Kind::HotKeyScript) {}

bool HotKeyScript::Load(const std::string& folder) {
    return m_document.Load(LanguageTable::WithSeparator(folder) + kFileName);
}

void HotKeyScript::LoadText(std::string_view bytes) {
    m_document.LoadText(bytes);
}

bool HotKeyScript::Enabled() const {
    return m_document.FirstText("ENABLEHOTKEY", kChordsCapacity).value_or(std::string()) != "NO";
}

std::string HotKeyScript::ChordsOf(std::string_view name) const {
    if (!Enabled()) {
        return {};
    }
    return m_document.AllTexts(name, kChordsCapacity).value_or(std::string());
}

std::string HotKeyScript::ControlFor(std::string_view section, std::string_view chord) const {
    const int count = m_document.CountChildren(section);
    for (int i = 0; i < count; ++i) {
        std::optional<TagDocument::ChildText> child = m_document.Child(section, i, kChordsCapacity);
        if (child && child->content == chord) {
            return std::move(child->name);
        }
    }
    return {};
}

int HotKeyScript::IdOf(std::string_view name) {
    return ControlNames::IdOf(name);
}

HotKeyScript::KeyAction HotKeyScript::OnKeyDown(int keyCode, Modifiers held,
                                                std::string_view section) const {
    KeyAction action;
    action.goOn = keyCode != keys::kEnter && keyCode != keys::kEscape;
    if (keyCode == keys::kShift || keyCode == keys::kCtrl || keyCode == keys::kAlt || !Enabled()) {
        return action;
    }
    const std::string chord = keys::SpellChord(keyCode, held.ctrl, held.shift, held.alt);
    if (chord.empty()) {
        return action;
    }
    action.name = ControlFor(section, chord);
    if (action.name.empty()) {
        return action;
    }
    action.gesture = Gesture::Click;
    for (const SliderGesture& slider : kSliderGestures) {
        if (action.name == slider.name) {
            action.gesture = slider.gesture;
        }
    }
    for (const TimeGesture& time : kTimeGestures) {
        if (action.name == time.name) {
            action.gesture = Gesture::SelectField;
            action.fieldPress = time.fieldPress;
            action.thenName = time.thenName;
        }
    }
    return action;
}

HotKeyScript::Drag HotKeyScript::SliderDrag(const Rect& thumb, bool up) {
    const int x = thumb.left + 2;
    const int halfHeight = (thumb.bottom - thumb.top) / 2;
    const Point inside{x, thumb.top + 2};
    const Point beyond{x, up ? thumb.top - halfHeight : thumb.bottom + halfHeight};
    return {inside, beyond, inside};
}

std::optional<std::string> HotKeyScript::ControlTooltip(ControlId control,
                                                        const LanguageTable& language) const {
    const std::optional<std::string_view> name = ControlNames::NameOf(control);
    if (!name) {
        return std::nullopt;
    }
    std::string tooltip = language.Tooltip(*name, kTooltipCapacity);
    const std::string chords = ChordsOf(*name);
    if (!chords.empty()) {
        tooltip += kSuffixOpen;
        tooltip += chords;
        tooltip += kSuffixClose;
    }
    return tooltip;
}

std::string HotKeyScript::AreaTooltip(FaceArea area, const LanguageTable& language) const {
    const AreaNames names = namesOf(area);
    std::string tooltip = language.Tooltip(names.area, kTooltipCapacity);
    const std::string first = ChordsOf(names.first);
    const std::string second = ChordsOf(names.second);
    if (!first.empty() && !second.empty()) {
        tooltip += kSuffixOpen;
        tooltip += first;
        tooltip += " , ";
        tooltip += second;
        tooltip += kSuffixClose;
    }
    return tooltip;
}

}  // namespace orvel
