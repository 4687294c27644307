#include "config/TagDocument.h"

#include <QFile>
#include <QString>
#include <algorithm>
#include <functional>

#include "config/Text.h"

namespace orvel {

namespace {

std::string readResource(const char* name) {
    QFile file(QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// The part of a text that the reader sees: everything before its first zero byte.
std::string_view beforeZero(std::string_view bytes) {
    const std::size_t zero = bytes.find('\0');
    return zero == std::string_view::npos ? bytes : bytes.substr(0, zero);
}

// "<name>" or, with the slash, "</name>".
std::string tagOf(std::string_view name, bool closing) {
    std::string tag(closing ? "</" : "<");
    tag.append(name).append(">");
    return tag;
}

std::string openingTag(std::string_view name) {
    return tagOf(name, false);
}
std::string closingTag(std::string_view name) {
    return tagOf(name, true);
}

// Control characters become blanks; then blanks go at the end, then at the start.
std::string cleanText(std::string_view raw) {
    std::string text(raw);
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 1 && byte <= 31) {
            c = ' ';
        }
    }
    return std::string(text::trimBlanks(text));
}

// Where a tag first occurs at or after `from`. The skipping search keeps long texts of
// look-alike bytes (a run of "<", say) from costing a comparison per byte and tag.
std::size_t findTag(std::string_view text, std::string_view tag, std::size_t from) {
    if (from > text.size()) {
        return std::string_view::npos;
    }
    const auto at = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(),
                                std::boyer_moore_horspool_searcher(tag.begin(), tag.end()));
    return at == text.end() ? std::string_view::npos : static_cast<std::size_t>(at - text.begin());
}

// A tag name that the index can answer for: one without "<" or ">", whose every occurrence as
// "<T>" is a "<" and the first ">" after it with no "<" between.
bool indexable(std::string_view tag) {
    return tag.size() >= 2 && tag.front() == '<' && tag.back() == '>' &&
           tag.substr(1, tag.size() - 2).find_first_of("<>") == std::string_view::npos;
}

struct Element {
    std::size_t contentBegin;
    std::size_t contentEnd;
    std::size_t end;  // just past the closing tag
};

enum class Found { Element, NoOpening, NoClosing };

// An element's text as the lookups give it: cut to the capacity, then cleaned.
std::string elementText(std::string_view text, const Element& element, std::size_t capacity) {
    const std::string_view content =
        text.substr(element.contentBegin, element.contentEnd - element.contentBegin);
    return cleanText(text::cutToCapacity(content, capacity));
}

// The first element T at or after `from`, the tags found by `find(tag, from)`.
template <typename Find>
Found findElement(const Find& find, const std::string& open, const std::string& close,
                  std::size_t from, Element& element) {
    const std::size_t openAt = find(open, from);
    if (openAt == std::string_view::npos) {
        return Found::NoOpening;
    }
    const std::size_t contentBegin = openAt + open.size();
    const std::size_t closeAt = find(close, contentBegin);
    if (closeAt == std::string_view::npos) {
        return Found::NoClosing;
    }
    element = {contentBegin, closeAt, closeAt + close.size()};
    return Found::Element;
}

}  // namespace

TagDocument::TagDocument(Kind kind) : m_kind(kind) {
    setText(BuiltinText(kind), true);
}

const std::string& TagDocument::BuiltinText(Kind kind) {
    static const std::string language = std::string(beforeZero(readResource(":/English.xml")));
    static const std::string hotKeys = std::string(beforeZero(readResource(":/HotKey.XML")));
    return kind == Kind::Language ? language : hotKeys;
}

void TagDocument::setText(std::string text, bool builtin) {
    m_tags.clear();
    m_tagsValid = false;
    m_text = std::move(text);
    m_builtin = builtin;
    m_scanValid = false;
    m_scannedSection.clear();
    m_scannedChildren.clear();
}

std::size_t TagDocument::findInText(std::string_view tag, std::size_t from) const {
    const std::string_view text = m_text;
    if (!indexable(tag)) {
        return findTag(text, tag, from);
    }
    if (!m_tagsValid) {
        m_tagsValid = true;
        std::size_t open = std::string_view::npos;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '<') {
                open = i;
            } else if (text[i] == '>' && open != std::string_view::npos) {
                m_tags[text.substr(open, i + 1 - open)].push_back(open);
                open = std::string_view::npos;
            }
        }
    }
    const auto found = m_tags.find(tag);
    if (found == m_tags.end()) {
        return std::string_view::npos;
    }
    const std::vector<std::size_t>& at = found->second;
    const auto next = std::lower_bound(at.begin(), at.end(), from);
    return next == at.end() ? std::string_view::npos : *next;
}

bool TagDocument::Load(const std::string& path) {
    if (path.empty()) {
        setText(BuiltinText(m_kind), true);
        return true;
    }
    QFile file(QString::fromStdString(path));
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.read(kMaxFileBytes + 1);
        if (file.error() == QFileDevice::NoError && bytes.size() <= kMaxFileBytes) {
            const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            setText(std::string(beforeZero(view)), false);
            return true;
        }
    }
    setText(BuiltinText(m_kind), true);
    return false;
}

void TagDocument::LoadText(std::string_view bytes) {
    setText(std::string(beforeZero(bytes)), false);
}

std::optional<std::string> TagDocument::TextWithin(std::string_view source, std::string_view tag,
                                                   std::size_t capacity) {
    Element element{};
    const auto find = [source](std::string_view t, std::size_t from) {
        return findTag(source, t, from);
    };
    if (findElement(find, openingTag(tag), closingTag(tag), 0, element) != Found::Element) {
        return std::nullopt;
    }
    return elementText(source, element, capacity);
}

std::optional<std::string> TagDocument::FirstText(std::string_view tag,
                                                  std::size_t capacity) const {
    Element element{};
    const auto find = [this](std::string_view t, std::size_t from) { return findInText(t, from); };
    if (findElement(find, openingTag(tag), closingTag(tag), 0, element) != Found::Element) {
        return std::nullopt;
    }
    return elementText(m_text, element, capacity);
}

std::optional<std::string> TagDocument::AllTexts(std::string_view tag, std::size_t capacity) const {
    const std::string open = openingTag(tag);
    const std::string close = closingTag(tag);
    const std::string_view text = m_text;
    // Texts beyond the capacity are not kept, but the scan still runs to the end: an element
    // without its closing tag anywhere makes the whole answer none.
    const std::size_t keep = capacity == 0 ? 0 : capacity - 1;
    std::string joined;
    bool any = false;
    std::size_t from = 0;
    for (;;) {
        Element element{};
        const Found found =
            findElement([this](std::string_view t, std::size_t at) { return findInText(t, at); },
                        open, close, from, element);
        if (found == Found::NoClosing) {
            return std::nullopt;
        }
        if (found == Found::NoOpening) {
            break;
        }
        if (joined.size() <= keep) {
            if (any) {
                joined += ',';
            }
            joined += cleanText(
                text.substr(element.contentBegin, element.contentEnd - element.contentBegin));
        }
        any = true;
        from = element.end;
    }
    if (!any) {
        return std::nullopt;
    }
    return std::string(text::cutToCapacity(joined, capacity));
}

const std::vector<TagDocument::ChildSpan>& TagDocument::childrenOf(std::string_view section) const {
    if (m_scanValid && m_scannedSection == section) {
        return m_scannedChildren;
    }
    m_scanValid = true;
    m_scannedSection.assign(section);
    m_scannedChildren.clear();

    const std::string_view text = m_text;
    const std::string open = openingTag(section);
    const std::size_t openAt = findInText(open, 0);
    const std::size_t closeAt = findInText(closingTag(section), 0);
    if (openAt == std::string_view::npos || closeAt == std::string_view::npos ||
        closeAt < openAt + open.size()) {
        return m_scannedChildren;
    }

    std::vector<ChildSpan> children;
    const std::size_t begin = openAt + open.size();
    std::size_t afterLastGt = begin;  // the ">" of the section's own opening tag
    bool inTag = false;
    std::size_t tagStart = 0;
    for (std::size_t i = begin; i < closeAt; ++i) {
        const char c = text[i];
        if (c == '<') {
            if (inTag) {
                return m_scannedChildren;
            }
            inTag = true;
            tagStart = i;
        }
        if (inTag && i - tagStart + 1 >= kMaxTagBytes) {
            return m_scannedChildren;
        }
        if (c == '>') {
            if (!inTag) {
                return m_scannedChildren;
            }
            inTag = false;
            if (text[tagStart + 1] == '/') {
                children.push_back({afterLastGt, tagStart, tagStart + 2, i});
            }
            afterLastGt = i + 1;
        }
    }
    if (inTag) {
        return m_scannedChildren;  // the section's own closing tag opens inside that tag
    }
    m_scannedChildren = std::move(children);
    return m_scannedChildren;
}

int TagDocument::CountChildren(std::string_view section) const {
    return static_cast<int>(childrenOf(section).size());
}

std::optional<TagDocument::ChildText> TagDocument::Child(std::string_view section, int index,
                                                         std::size_t capacity) const {
    const std::vector<ChildSpan>& children = childrenOf(section);
    if (index < 0 || static_cast<std::size_t>(index) >= children.size()) {
        return std::nullopt;
    }
    const ChildSpan& span = children[static_cast<std::size_t>(index)];
    const std::string_view text = m_text;
    const std::string_view content =
        text.substr(span.contentBegin, span.contentEnd - span.contentBegin);
    ChildText result;
    result.name = std::string(text.substr(span.nameBegin, span.nameEnd - span.nameBegin));
    result.content = std::string(text::trimBlanks(text::cutToCapacity(content, capacity)));
    return result;
}

}  // namespace orvel
