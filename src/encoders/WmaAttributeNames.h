#pragma once

#include <array>
#include <string_view>

// The content attributes of WMA files the recorder writes and edits, by their names in the
// file. Title, Author, Copyright and Description live in the file's content description, the
// others are extended attributes.
//
// Thread contract: constants, any thread.
namespace orvel::wma {

inline constexpr std::string_view kAuthor = "Author";
inline constexpr std::string_view kTitle = "Title";
inline constexpr std::string_view kAlbumTitle = "WM/AlbumTitle";
inline constexpr std::string_view kCopyright = "Copyright";
inline constexpr std::string_view kDescription = "Description";
inline constexpr std::string_view kComposer = "WM/Composer";
inline constexpr std::string_view kGenre = "WM/Genre";
inline constexpr std::string_view kYear = "WM/Year";

// The writer's attribute table, in its order.
inline constexpr std::array<std::string_view, 7> kWriterAttributes = {
    kAuthor, kTitle, kAlbumTitle, kCopyright, kDescription, kComposer, kGenre};

}  // namespace orvel::wma
