#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvel {

// The MP3 tag texts and header flags handed from the front face to the encoder at record
// start. The texts keep the capacities of the ID3v1 fields they end up in: artist, title and
// album at most 30 bytes, the year at most 4, each cut at a character boundary when set.
//
// Thread contract: a plain value, any thread.
class Mp3Options {
public:
    static constexpr std::size_t kTextBytes = 30;
    static constexpr std::size_t kYearBytes = 4;

    const std::string& artist() const { return m_artist; }
    const std::string& title() const { return m_title; }
    const std::string& album() const { return m_album; }
    const std::string& year() const { return m_year; }
    void setArtist(std::string_view value);
    void setTitle(std::string_view value);
    void setAlbum(std::string_view value);
    void setYear(std::string_view value);

    // ID3v1 genre number; 255 stands for none.
    std::uint8_t genre = 0;

    // MPEG header flags of every frame.
    bool crc = false;  // a CRC after each frame header (the protection bit)
    bool copyright = false;
    bool privateBit = false;
    bool original = false;

    // Append an ID3v1 tag when a recording closes (only when artist, title and album are all
    // set).
    bool writeId3 = false;

    // Whether a new recording gets a tag: the switch is on and no text of the three is empty.
    bool wantsTag() const;

    friend bool operator==(const Mp3Options&, const Mp3Options&) = default;

private:
    std::string m_artist;
    std::string m_title;
    std::string m_album;
    std::string m_year;
};

}  // namespace orvel
