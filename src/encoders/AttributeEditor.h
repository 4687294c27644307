#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "encoders/TagRecord.h"

namespace orvel {

// Reads and rewrites the tag of an existing recording for the tag windows and the history:
// a file whose name ends in ".mp3" (any letter case, trailing blanks ignored) through its
// ID3v1 tag, any other as a WMA file through its content attributes.
//
// WMA: artist, title, album, composer, description, genre and copyright are the attributes
// Author, Title, WM/AlbumTitle, WM/Composer, Description, WM/Genre and Copyright. Writing
// changes an attribute the file has in place and adds a missing one; Title, Author, Copyright
// and Description are the file's content description, and copies of them under the same name
// in another case (which some writers add and some readers prefer) are removed so that every
// reader sees the new values. Other attributes (WM/Year among them) stay as they are.
//
// MP3: the record's description is the year, its genre number the tag's genre; reading gives
// the genre's name as the genre text.
//
// Thread contract: self-contained calls, any thread; not on a file being recorded.
class AttributeEditor {
public:
    // Whether texts are read cut to the record's capacity (what the tag panel shows) or whole
    // (what a tag window edits, so that a long text the user leaves alone is not cut).
    enum class Texts { Cut, Whole };

    // The record is cleared first; false (with empty texts) when the file cannot be read or,
    // for MP3, has no tag.
    static bool read(const std::string& path, TagRecord& record, Texts texts = Texts::Cut);
    // Writes the record's fields of the set `fields` (TagRecord::Field bits), each text cut to
    // the record's capacity; the file's other fields stay as they are. For MP3 a file without a
    // tag gets one, with no genre (255) unless the genre is written. False when the file cannot
    // be read or written.
    static bool write(const std::string& path, const TagRecord& record,
                      unsigned fields = TagRecord::kAllFields);

    static bool readWma(const std::string& path, TagRecord& record, Texts texts = Texts::Cut);
    // The attributes of WMA file contents held in memory.
    static bool readWmaContents(std::span<const std::uint8_t> contents, TagRecord& record);
    static bool writeWma(const std::string& path, const TagRecord& record,
                         unsigned fields = TagRecord::kAllFields);
    static bool readMp3(const std::string& path, TagRecord& record);
    static bool writeMp3(const std::string& path, const TagRecord& record,
                         unsigned fields = TagRecord::kAllFields);

    static bool isMp3Path(const std::string& path);
};

}  // namespace orvel
