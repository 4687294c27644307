#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Texts are UTF-8 byte strings. Fields that the recorder keeps with a fixed capacity (a
// capacity counts the terminating zero of the stored form, so it holds capacity - 1 bytes)
// are cut, never refused, and never in the middle of a character.
namespace orvel::text {

// The longest prefix of s of at most maxBytes bytes that ends on a character boundary.
std::string_view cutBytes(std::string_view s, std::size_t maxBytes);

// The text as a field of the given capacity keeps it: at most capacity - 1 bytes.
inline std::string_view cutToCapacity(std::string_view s, std::size_t capacity) {
    return cutBytes(s, capacity == 0 ? 0 : capacity - 1);
}

inline std::string fitCapacity(std::string_view s, std::size_t capacity) {
    return std::string(cutToCapacity(s, capacity));
}

// Blanks (and only blanks, as the documents mean them) removed at the end / at both ends.
std::string_view trimTrailingBlanks(std::string_view s);
std::string_view trimBlanks(std::string_view s);
// Any white space (blank, tab, CR, LF, VT, FF) removed at the end / at the start.
std::string_view trimTrailingSpace(std::string_view s);
std::string_view trimLeadingSpace(std::string_view s);

std::string toLowerAscii(std::string_view s);
std::string toUpperAscii(std::string_view s);
bool equalsIgnoreCaseAscii(std::string_view a, std::string_view b);
bool endsWithIgnoreCaseAscii(std::string_view s, std::string_view suffix);

// Leading decimal digits as a number, as the C library's atoi reads them after optional white
// space and sign; no digits give 0. Saturates instead of overflowing.
int leadingNumber(std::string_view s);

}  // namespace orvel::text
