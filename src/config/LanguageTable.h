#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/TagDocument.h"

// The texts the recorder shows: tooltips, the two- and three-line messages of the tape display
// and a few labels, read from a language file ("*.xml" in the language folder, chosen by its
// LanguageName) or from the built-in English text. One table per front face, loaded once.
//
// Thread contract: called on the GUI thread.
namespace orvel {

class SettingsStore;

class LanguageTable {
public:
    static constexpr std::size_t kMessageCapacity = 1024;  // a message element: 1023 bytes
    static constexpr std::size_t kLineCapacity = 501;      // one line: 500 bytes
    static constexpr std::size_t kTooltipCapacity = 200;   // a tooltip: 199 bytes
    static constexpr std::size_t kNameCapacity = 100;      // a LanguageName: 99 bytes
    static constexpr std::size_t kNameWindowBytes = 1000;  // LanguageName stands in these
    static constexpr char kBuiltinName[] = "English";

    struct MessageLines {
        std::string line1;
        std::string line2;
        std::string line3;
    };

    struct LanguageList {
        std::vector<std::string> names;
        int selected = 0;
    };

    LanguageTable();

    // The folder of the language files and the hot-key script: the effective installation
    // folder, ending in "/".
    static std::string LanguageFolder(const SettingsStore& settings);
    // A folder as files are named in it: with "/" appended unless it is empty or ends in one.
    static std::string WithSeparator(std::string folder);

    // Remembers the folder (see WithSeparator) and reads the file whose LanguageName is the given
    // name. An empty name, "English", or a name that no file bears selects the built-in English
    // text without opening any file. Returns true when a language file was read.
    bool Load(const std::string& folder, const std::string& languageName);
    // Takes the given bytes as the language text (documents held in memory, fuzzing).
    void LoadText(std::string_view bytes);

    const std::string& Folder() const { return m_folder; }
    const TagDocument& Document() const { return m_document; }

    // Line1, Line2 and Line3 of the first element named key (missing lines are empty), each
    // cut to length - 1 bytes.
    MessageLines Message(std::string_view key, std::size_t length = kLineCapacity) const;
    // As Message, for the recorder's own keys, which language files made before them lack: a
    // file without the element (or with nothing in its lines) gives the built-in English lines.
    MessageLines OwnMessage(std::string_view key, std::size_t length = kLineCapacity) const;
    // The text of key within the first element named section, cut to length - 1 bytes.
    std::string Text(std::string_view section, std::string_view key,
                     std::size_t length = kLineCapacity) const;
    // The tooltip of a control or face area, cut to length - 1 bytes; empty when missing.
    std::string Tooltip(std::string_view controlName, std::size_t length = kTooltipCapacity) const;

    // The LanguageName within the first 1000 bytes of the file of the folder; empty when the
    // file cannot be read or names no language there.
    std::string LanguageNameOf(const std::string& fileName) const;
    // The first "*.xml" file of the folder (any case of the extension, in the order of names)
    // whose LanguageName equals the name exactly; empty when none does.
    std::string FindFile(const std::string& languageName) const;
    // The names to offer: the LanguageName of every "*.xml" file that has one, in the order of
    // FindFile, then "English" unless a file bore that name; the entry to select is the first
    // equal to currentName, otherwise the first.
    LanguageList ListLanguages(const std::string& currentName) const;

private:
    std::vector<std::string> languageFiles() const;
    std::string pathOf(const std::string& fileName) const;

    std::string m_folder;
    TagDocument m_document;
};

}  // namespace orvel
