#include "encoders/Mp3Options.h"

#include "config/Text.h"

namespace orvel {

void Mp3Options::setArtist(std::string_view value) {
    m_artist = text::cutBytes(value, kTextBytes);
}

void Mp3Options::setTitle(std::string_view value) {
    m_title = text::cutBytes(value, kTextBytes);
}

void Mp3Options::setAlbum(std::string_view value) {
    m_album = text::cutBytes(value, kTextBytes);
}

void Mp3Options::setYear(std::string_view value) {
    m_year = text::cutBytes(value, kYearBytes);
}

bool Mp3Options::wantsTag() const {
    return writeId3 && !m_artist.empty() && !m_title.empty() && !m_album.empty();
}

}  // namespace orvel
