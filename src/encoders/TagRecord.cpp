#include "encoders/TagRecord.h"

#include "config/Text.h"

namespace orvel {

void TagRecord::fitTexts() {
    for (std::string* text :
         {&artist, &title, &album, &composer, &description, &genre, &copyright}) {
        *text = text::fitCapacity(*text, kTextCapacity);
    }
}

}  // namespace orvel
