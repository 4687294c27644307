#include "config/Text.h"

#include <climits>

namespace orvel::text {

namespace {
bool isContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
}  // namespace

std::string_view cutBytes(std::string_view s, std::size_t maxBytes) {
    if (s.size() <= maxBytes) {
        return s;
    }
    std::size_t end = maxBytes;
    // Step back over continuation bytes so the cut lands before the character's lead byte.
    // Invalid sequences (more than three continuation bytes) are cut where they stand.
    std::size_t steps = 0;
    while (end > 0 && isContinuationByte(static_cast<unsigned char>(s[end])) && steps < 4) {
        --end;
        ++steps;
    }
    if (steps == 4) {
        end = maxBytes;
    }
    return s.substr(0, end);
}

std::string_view trimTrailingBlanks(std::string_view s) {
    while (!s.empty() && s.back() == ' ') {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view trimBlanks(std::string_view s) {
    s = trimTrailingBlanks(s);
    while (!s.empty() && s.front() == ' ') {
        s.remove_prefix(1);
    }
    return s;
}

std::string_view trimTrailingSpace(std::string_view s) {
    while (!s.empty() && isSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view trimLeadingSpace(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

std::string toLowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = lowerAscii(c);
    }
    return out;
}

std::string toUpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = upperAscii(c);
    }
    return out;
}

bool equalsIgnoreCaseAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool endsWithIgnoreCaseAscii(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() &&
           equalsIgnoreCaseAscii(s.substr(s.size() - suffix.size()), suffix);
}

int leadingNumber(std::string_view s) {
    s = trimLeadingSpace(s);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    long long value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + (c - '0');
        if (value > INT_MAX) {
            value = INT_MAX;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace orvel::text
