#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The minimal tag reader of the language files and the hot-key script. Elements are found by
// plain substring search: for a name T the opening tag is exactly "<T>" and the closing tag
// exactly "</T>" (no blanks, no attributes), and every lookup takes the first occurrence in the
// whole text. Texts are UTF-8 byte strings; a capacity counts the terminating zero of the
// stored form (it holds capacity - 1 bytes) and cuts at a character boundary.
//
// A document's own lookups go through an index of where each tag stands, made in one pass at
// the first lookup: the front face asks for a few hundred elements when it starts, and a search
// through the whole text for each kept the window from appearing for most of a second with a
// document of 1 MiB. The answers are those of the plain substring search.
//
// The document's text ends at its first zero byte, as the documents are zero-terminated texts.
// When no file is read, the built-in text of the document's kind stands in; the built-in texts
// are compiled into the program and never written out as files.
//
// Thread contract: called on the GUI thread (or any single thread); a document is not shared.
namespace orvel {

class TagDocument {
public:
    enum class Kind { Language = 0, HotKeyScript = 1 };

    explicit TagDocument(Kind kind);

    Kind DocumentKind() const { return m_kind; }
    const std::string& DocumentText() const { return m_text; }
    // True when the text is the built-in one of the document's kind.
    bool IsBuiltin() const { return m_builtin; }

    // Reads the whole file. With an empty path, or when the file cannot be read (or is larger
    // than kMaxFileBytes), the built-in text of the kind is taken instead. Returns true when no
    // path was given or the file was read, false when the built-in text stands in for a file.
    bool Load(const std::string& path);
    // Takes the given bytes as the document's text (documents held in memory, fuzzing).
    void LoadText(std::string_view bytes);

    // The text of the first element T: the bytes between the first "<T>" and the first "</T>"
    // after it, at most capacity - 1 of them, with control characters 1..31 turned into
    // blanks and blanks removed at the end, then at the start. None when either tag is
    // missing.
    std::optional<std::string> FirstText(std::string_view tag, std::size_t capacity) const;

    // As FirstText, searching the given text instead of the document.
    static std::optional<std::string> TextWithin(std::string_view source, std::string_view tag,
                                                 std::size_t capacity);

    // Every element T in document order, each cleaned as by FirstText, joined by "," and cut
    // to capacity - 1 bytes. None when "<T>" does not occur or an occurrence has no closing tag
    // after it.
    std::optional<std::string> AllTexts(std::string_view tag, std::size_t capacity) const;

    // The number of closing tags between the first "<S>" and the first "</S>" of the text. A
    // tag runs from "<" to the next ">". 0 when either tag is missing, when a "<" opens inside
    // a tag (the "<" of the section's closing tag included), when a ">" stands outside a tag,
    // or when a tag (from "<" through ">") is kMaxTagBytes bytes or longer.
    int CountChildren(std::string_view section) const;

    // Child i (from 0) of section S: its name is the text of the i-th closing tag between "</"
    // and ">", taken unchanged; its content the text between the last ">" before that closing
    // tag and the tag, at most capacity - 1 bytes, without blanks at both ends. None when i is
    // not below CountChildren(S).
    struct ChildText {
        std::string name;
        std::string content;
    };
    std::optional<ChildText> Child(std::string_view section, int index, std::size_t capacity) const;

    static constexpr std::size_t kMaxTagBytes = 200;
    // Documents are a few kilobytes; anything beyond this is not a document of the recorder.
    static constexpr long long kMaxFileBytes = 16 * 1024 * 1024;

    // The built-in text of a kind (the English language text or the default hot-key script).
    static const std::string& BuiltinText(Kind kind);

private:
    struct ChildSpan {
        std::size_t contentBegin;
        std::size_t contentEnd;
        std::size_t nameBegin;
        std::size_t nameEnd;
    };

    void setText(std::string text, bool builtin);
    const std::vector<ChildSpan>& childrenOf(std::string_view section) const;
    // Where the tag ("<T>" or "</T>") first stands at or after `from` in the document.
    std::size_t findInText(std::string_view tag, std::size_t from) const;

    Kind m_kind;
    std::string m_text;
    bool m_builtin = true;
    // The children of the section scanned last: going through a section child by child then
    // costs one scan instead of one per child.
    mutable std::string m_scannedSection;
    mutable std::vector<ChildSpan> m_scannedChildren;
    mutable bool m_scanValid = false;
    // Every tag of the text (from "<" to the next ">", with no "<" or ">" between) and the
    // ascending positions where it stands; made at the first lookup.
    mutable std::unordered_map<std::string_view, std::vector<std::size_t>> m_tags;
    mutable bool m_tagsValid = false;
};

}  // namespace orvel
