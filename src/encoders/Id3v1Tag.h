#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "encoders/Mp3Options.h"

namespace orvel {

// The 128-byte ID3v1 tag at the end of an MP3 file: "TAG", title, artist and album (30 bytes
// each), year (4), a zero comment of 28 bytes, a zero byte, the track number and the genre
// number. The recorder writes track 1.
//
// Texts are UTF-8. Reading takes each field up to its first zero byte without the blanks that
// pad it; a field that is not valid UTF-8 (tags written elsewhere are mostly Latin-1) is read
// as Latin-1. Writing cuts each text at a character boundary to its field.
//
// Thread contract: a plain value; the file operations are self-contained, any thread.
class Id3v1Tag {
public:
    static constexpr std::size_t kBytes = 128;

    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::uint8_t track = 1;
    std::uint8_t genre = 0;

    static Id3v1Tag fromOptions(const Mp3Options& options);
    // Copies the texts and the genre into `options` (cut to its capacities); the flags stay.
    void copyTo(Mp3Options& options) const;

    std::array<std::uint8_t, kBytes> bytes() const;

    // The tag of a 128-byte block, when it starts with "TAG".
    static std::optional<Id3v1Tag> parse(std::span<const std::uint8_t> block);
    // The tag at the end of a whole file's contents.
    static std::optional<Id3v1Tag> fromFileContents(std::span<const std::uint8_t> contents);

    // The tag at the end of the file; none when the file cannot be read or has no tag.
    static std::optional<Id3v1Tag> readFile(const std::string& path);
    // Replaces the file's tag when its last 128 bytes start with "TAG" (keeping that tag's
    // comment and track number, which the recorder does not edit, and the bytes of every text
    // that reads as the new one), otherwise appends one.
    // False when the file cannot be opened or written.
    static bool writeFile(const std::string& path, const Id3v1Tag& tag);

    friend bool operator==(const Id3v1Tag&, const Id3v1Tag&) = default;
};

}  // namespace orvel
