#pragma once

#include <cstdint>
#include <string>

namespace orvel {

// The texts of one file's tag as the tag windows edit them: seven texts of at most 126 bytes
// (cut at a character boundary by whoever fills the record), the MP3 genre number and whether
// the file had a tag. For MP3 files the description holds the year.
//
// Thread contract: a plain value, any thread.
struct TagRecord {
    static constexpr std::size_t kTextCapacity = 127;  // counting a terminating zero

    // The fields of a record, as bits of a field set. Genre stands for the genre text and, for
    // MP3, its number.
    enum Field : unsigned {
        Artist = 1u << 0,
        Title = 1u << 1,
        Album = 1u << 2,
        Composer = 1u << 3,
        Description = 1u << 4,
        Genre = 1u << 5,
        Copyright = 1u << 6,
    };
    static constexpr unsigned kAllFields = (1u << 7) - 1;

    std::string artist;
    std::string title;
    std::string album;
    std::string composer;
    std::string description;
    std::string genre;  // the genre's name
    std::string copyright;
    std::uint8_t genreNumber = 0;
    bool hasTag = false;  // the file had a tag (MP3) or attributes could be read (WMA)

    // Every text cut to the capacity.
    void fitTexts();
    // The fields whose values differ from `other`'s.
    unsigned differences(const TagRecord& other) const;

    friend bool operator==(const TagRecord&, const TagRecord&) = default;
};

}  // namespace orvel
