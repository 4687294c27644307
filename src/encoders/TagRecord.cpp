#include "encoders/TagRecord.h"

#include "config/Text.h"

namespace orvel {

void TagRecord::fitTexts() {
    for (std::string* text :
         {&artist, &title, &album, &composer, &description, &genre, &copyright}) {
        *text = text::fitCapacity(*text, kTextCapacity);
    }
}

unsigned TagRecord::differences(const TagRecord& other) const {
    unsigned fields = 0;
    auto note = [&](bool differs, Field field) {
        if (differs) {
            fields |= field;
        }
    };
    note(artist != other.artist, Artist);
    note(title != other.title, Title);
    note(album != other.album, Album);
    note(composer != other.composer, Composer);
    note(description != other.description, Description);
    note(genre != other.genre || genreNumber != other.genreNumber, Genre);
    note(copyright != other.copyright, Copyright);
    return fields;
}

}  // namespace orvel
