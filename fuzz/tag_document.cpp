// Feeds arbitrary bytes to the tag reader, once as a language text and once as a hot-key
// script, through every lookup the recorder makes. Every answer must come back without reading
// outside the text, and within the capacities asked for.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/HotKeyScript.h"
#include "config/KeyNames.h"
#include "config/LanguageTable.h"
#include "config/TagDocument.h"

namespace {

using orvel::HotKeyScript;
using orvel::LanguageTable;
using orvel::TagDocument;

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The first tag name of the input, so that the fuzzer can reach sections of its own making.
std::string firstTagName(std::string_view text) {
    const std::size_t open = text.find('<');
    if (open == std::string_view::npos) {
        return "A";
    }
    const std::size_t close = text.find('>', open);
    if (close == std::string_view::npos || close - open > 60) {
        return "A";
    }
    std::string name(text.substr(open + 1, close - open - 1));
    if (!name.empty() && name.front() == '/') {
        name.erase(0, 1);
    }
    return name;
}

void walkDocument(const TagDocument& doc, std::string_view section) {
    // The document's index answers as a search through its whole text does.
    require(doc.FirstText(section, 64) == TagDocument::TextWithin(doc.DocumentText(), section, 64));
    require(doc.FirstText(section, 64).value_or("").size() <= 63);
    require(doc.AllTexts(section, 100).value_or("").size() <= 99);
    const int count = doc.CountChildren(section);
    for (int i = 0; i < count; ++i) {
        const auto child = doc.Child(section, i, 100);
        require(child.has_value() && child->content.size() <= 99);
    }
    require(!doc.Child(section, count, 100));
}

void language(std::string_view bytes) {
    LanguageTable table;
    table.LoadText(bytes);
    const TagDocument& doc = table.Document();
    for (std::string_view section : {"Controls", "Message", "FrontFace", "LanguageName"}) {
        walkDocument(doc, section);
    }
    walkDocument(doc, firstTagName(bytes));
    for (std::string_view key : {"StartFace", "MemError", "TestFinish", "UnknowType"}) {
        const LanguageTable::MessageLines lines = table.Message(key);
        require(lines.line1.size() <= 500 && lines.line2.size() <= 500 &&
                lines.line3.size() <= 500);
        require(table.Message(key, 40).line2.size() <= 39);
    }
    require(table.Text("FaceDate", "TimeInfo").size() <= 500);
    require(table.Tooltip("BTN_STOP").size() <= 199);
    require(table.Tooltip("AREA_VOLUME", 10).size() <= 9);
}

void hotKeys(std::string_view bytes) {
    HotKeyScript script;
    script.LoadText(bytes);
    const TagDocument& doc = script.Document();
    walkDocument(doc, HotKeyScript::kFrontFace);
    walkDocument(doc, HotKeyScript::kBackFace);
    walkDocument(doc, firstTagName(bytes));
    script.Enabled();
    require(script.ChordsOf("BTN_STOP").size() <= 99);
    script.ControlFor(HotKeyScript::kFrontFace, "F5");
    script.ControlFor(HotKeyScript::kBackFace, "CTRL+SHIFT+ALT+O");

    // A few keys, each with a different hold of the modifiers.
    const int keys[] = {orvel::keys::kEnter, orvel::keys::kEscape, 65, 116, 38};
    for (int i = 0; i < 5; ++i) {
        const HotKeyScript::Modifiers held{(i & 1) != 0, (i & 2) != 0, (i & 4) != 0};
        const HotKeyScript::KeyAction action = script.OnKeyDown(
            keys[i], held, i % 2 ? HotKeyScript::kBackFace : HotKeyScript::kFrontFace);
        require(action.gesture != HotKeyScript::Gesture::None || action.name.empty());
    }

    const LanguageTable english;
    script.ControlTooltip(orvel::ControlId::BTN_STOP, english);
    script.AreaTooltip(HotKeyScript::FaceArea::Minute, english);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    language(bytes);
    hotKeys(bytes);
    return 0;
}
