#include "config/NumberField.h"

#include "config/Text.h"

namespace orvel {

int NumberField::parse(std::string_view text) {
    return text::leadingNumber(text::cutBytes(text, kReadBytes));
}

}  // namespace orvel
