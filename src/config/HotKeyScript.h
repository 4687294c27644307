#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "config/ControlId.h"
#include "config/TagDocument.h"

// The keyboard bindings of the front face: a hot-key script ("HotKey.XML" in the language
// folder, or the built-in default script) binds chords such as "CTRL+SHIFT+H" to control names
// and to eight gesture names. A chord is "CTRL+", "SHIFT+", "ALT+" (each optional, in this
// order) and a key name of config/KeyNames.h; chords in another order never match.
//
// The key handler decides without widgets what a key-down means; acting on it (posting clicks
// and drags to the face) is the front face's job.
//
// Thread contract: called on the GUI thread.
namespace orvel {

class LanguageTable;

class HotKeyScript {
public:
    static constexpr char kFileName[] = "HotKey.XML";
    // The bindings used while the front face is in its normal state / in its start-up state.
    static constexpr char kFrontFace[] = "FRONTFACE";
    static constexpr char kBackFace[] = "BACKFACE";
    static constexpr std::size_t kChordsCapacity = 100;   // all chords of a name: 99 bytes
    static constexpr std::size_t kTooltipCapacity = 100;  // tooltip before its suffix: 99 bytes

    HotKeyScript();

    // Reads "HotKey.XML" in the folder (see LanguageTable::WithSeparator), or takes the built-in
    // script when that file cannot be read. Returns false when the built-in script stands in for
    // the file.
    bool Load(const std::string& folder);
    // Takes the given bytes as the script (documents held in memory, fuzzing).
    void LoadText(std::string_view bytes);

    const TagDocument& Document() const { return m_document; }

    // False only when ENABLEHOTKEY reads exactly "NO".
    bool Enabled() const;
    // All chords bound to the name anywhere in the script, joined by ","; empty when hot keys
    // are disabled.
    std::string ChordsOf(std::string_view name) const;
    // The name of the first child of the section whose text is exactly the chord; empty when
    // none is.
    std::string ControlFor(std::string_view section, std::string_view chord) const;
    // The control id of a name by the control-name table; 0 when the table has no such name.
    static int IdOf(std::string_view name);

    // How the front face acts on a bound name.
    enum class Gesture {
        None,           // nothing is bound: no action
        Click,          // click the control with id IdOf(name) when the face has one
        VolumeUp,       // drag the volume thumb up (SliderDrag)
        VolumeDown,     // drag the volume thumb down
        FrequencyUp,    // drag the frequency thumb up
        FrequencyDown,  // drag the frequency thumb down
        SelectField,    // press at fieldPress to select the minute or second field, then click
                        // thenName
    };

    struct Point {
        int x = 0;
        int y = 0;
    };
    struct Rect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    struct KeyAction {
        // Whether the face may go on with its normal key handling: false for Enter and Escape,
        // which never act as the dialog's default or cancel keys.
        bool goOn = true;
        Gesture gesture = Gesture::None;
        std::string name;      // the bound name, empty when nothing is bound
        Point fieldPress;      // SelectField: (28, 80) minute field, (50, 80) second field
        std::string thenName;  // SelectField: BTN_TIMEINC or BTN_TIMEDEC
    };

    struct Modifiers {
        bool ctrl = false;
        bool shift = false;
        bool alt = false;
    };

    // The decision for a key going down (keyCode from the key table) with the modifiers held,
    // in the section of the face's state (kFrontFace or kBackFace).
    KeyAction OnKeyDown(int keyCode, Modifiers held, std::string_view section) const;

    // The left-button press, the move and the release that drag a slider thumb one step, in
    // face coordinates: all at two pixels inside the thumb's left edge, the move half a thumb
    // height beyond the thumb (above it for up, below it for down).
    struct Drag {
        Point press;
        Point move;
        Point release;
    };
    static Drag SliderDrag(const Rect& thumb, bool up);

    // A control's tooltip: its language text followed by " - Hot Key :[chords]" when it has
    // chords. None for ids that name no control, which keep their default tooltip.
    std::optional<std::string> ControlTooltip(ControlId control,
                                              const LanguageTable& language) const;

    // The four areas of the front face that are not controls.
    enum class FaceArea { Minute, Second, Frequency, Volume };
    // The area's language text, followed by " - Hot Key :[" the chords of its first gesture,
    // " , ", those of its second gesture and "]" only when both have chords.
    std::string AreaTooltip(FaceArea area, const LanguageTable& language) const;

private:
    TagDocument m_document;
};

}  // namespace orvel
