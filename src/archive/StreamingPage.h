#pragma once

#include <string>
#include <string_view>

namespace orvel {

// What the HTML viewer is given for a schedule item's streaming URL: a URL that names a media
// file by its extension is embedded in a small page ("orvelurl.htm" in the installation
// folder, overwritten at every use); any other URL is opened as it is.
//
// The URL is HTML-escaped wherever the page holds it, so that quotes or angle brackets in it
// cannot end the attribute or add markup; characters beyond ASCII become character references,
// so the page reads the same whatever encoding the viewer assumes.
//
// Thread contract: called on the GUI thread (it writes the one page file).
class StreamingPage {
public:
    static constexpr std::string_view kPageFileName = "orvelurl.htm";

    // installFolder is the effective installation folder (no trailing "/").
    explicit StreamingPage(std::string installFolder);

    // Trailing blanks of the URL removed; the page's path when the URL names a media file and
    // the page could be written, else the URL itself.
    std::string targetFor(std::string_view url) const;

    std::string pagePath() const;

    // Whether the text after the URL's last ".", in lower case, is one of the media extensions.
    // A query string or a path without "." in its last part makes that text something else, so
    // such a URL is opened directly.
    static bool namesMediaFile(std::string_view url);
    // The page that embeds the URL.
    static std::string pageText(std::string_view url);
    // The text with &, <, >, " and ' as entities and non-ASCII characters (or invalid UTF-8
    // bytes, as U+FFFD) as numeric character references.
    static std::string escapeHtml(std::string_view text);

private:
    std::string m_installFolder;
};

}  // namespace orvel
