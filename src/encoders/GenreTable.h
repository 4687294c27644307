#pragma once

#include <array>
#include <string_view>

// The 80 genres an ID3v1 tag numbers 0..79, shared by the MP3 and WMA tag windows and the tag
// panel. Two spellings exist: the genre lists of the tag windows end twelve of the names in one
// blank (stored choices and the windows' prefix matching rely on it), the tag panel shows the
// plain names.
//
// Thread contract: constants and pure functions, any thread.
namespace orvel::genre {

inline constexpr int kCount = 80;

// The plain name of genre `number`; empty for a number outside 0..79 (255 means "none").
std::string_view name(int number);
// The name as the genre lists hold it, with its trailing blank where the list has one; empty
// outside 0..79.
std::string_view listEntry(int number);
// The genre whose name is `text` as a whole, blanks around it and letter case ignored; -1 when
// none is (an empty text, a genre of another table). The tag windows select by this, so that a
// genre they do not know is never taken for the first genre that happens to begin with it.
int findByName(std::string_view text);

}  // namespace orvel::genre
