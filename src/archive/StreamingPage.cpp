#include "archive/StreamingPage.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <array>
#include <cstdio>

#include "config/Text.h"

namespace orvel {

namespace {

constexpr std::array<std::string_view, 54> kMediaExtensions = {
    "mp3",  "m3u", "wav",  "mpg", "mpeg", "mpv", "mps",  "m2v", "m1v", "mpe", "mpa",
    "avi",  "mp4", "m4e",  "rt",  "ra",   "rm",  "rmvb", "rp",  "rv",  "wma", "wmv",
    "wax",  "asx", "asf",  "wm",  "wmx",  "wvx", "mov",  "qt",  "aac", "m4a", "m4p",
    "mp2",  "mp1", "mpga", "pls", "xpl",  "smi", "smil", "ssm", "sdp", "au",  "aif",
    "aiff", "mid", "midi", "rmi", "acp",  "rpl", "3gp",  "amr", "awb", "3g2"};

constexpr std::string_view kPageStart =
    "<html><head><title>Streaming URL</title></head><body><b>Loaded by Orvel</b><p>";
constexpr std::string_view kPageMiddle = "</p><embed src=\"";
constexpr std::string_view kPageEnd = "\" width=\"128\" height=\"128\"></body></html>";

}  // namespace

StreamingPage::StreamingPage(std::string installFolder)
    : m_installFolder(std::move(installFolder)) {}

std::string StreamingPage::targetFor(std::string_view url) const {
    const std::string trimmed(text::trimTrailingBlanks(url));
    if (!namesMediaFile(trimmed) || m_installFolder.empty()) {
        return trimmed;
    }
    const std::string page = pageText(trimmed);
    const std::string path = pagePath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return trimmed;
    }
    const bool written = std::fwrite(page.data(), 1, page.size(), file) == page.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed ? path : trimmed;
}

std::string StreamingPage::pagePath() const {
    return m_installFolder + "/" + std::string(kPageFileName);
}

bool StreamingPage::namesMediaFile(std::string_view url) {
    const std::size_t dot = url.rfind('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    const std::string extension = text::toLowerAscii(url.substr(dot + 1));
    return std::find(kMediaExtensions.begin(), kMediaExtensions.end(), extension) !=
           kMediaExtensions.end();
}

std::string StreamingPage::pageText(std::string_view url) {
    const std::string escaped = escapeHtml(url);
    std::string page;
    page.reserve(kPageStart.size() + kPageMiddle.size() + kPageEnd.size() + 2 * escaped.size());
    page += kPageStart;
    page += escaped;
    page += kPageMiddle;
    page += escaped;
    page += kPageEnd;
    return page;
}

std::string StreamingPage::escapeHtml(std::string_view text) {
    // Decoding replaces every invalid UTF-8 sequence by U+FFFD.
    const QList<uint> codePoints = QString::fromUtf8(text.data(), qsizetype(text.size())).toUcs4();
    std::string out;
    out.reserve(text.size());
    for (const uint c : codePoints) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                if (c == 0) {
                    out += "&#65533;";  // a NUL is no character of an HTML document
                } else if (c < 0x80) {
                    out += static_cast<char>(c);
                } else {
                    out += "&#" + std::to_string(c) + ";";
                }
        }
    }
    return out;
}

}  // namespace orvel
