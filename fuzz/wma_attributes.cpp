// Arbitrary bytes as a WMA file: reading its attributes never crashes, and what it reads fits
// the tag record (texts within their capacity, empty texts when nothing could be read).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "encoders/AttributeEditor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orvel::TagRecord record;
    record.title = "left over from an earlier file";
    const bool ok =
        orvel::AttributeEditor::readWmaContents(std::span<const std::uint8_t>(data, size), record);
    for (const std::string* text : {&record.artist, &record.title, &record.album, &record.composer,
                                    &record.description, &record.genre, &record.copyright}) {
        if (text->size() >= orvel::TagRecord::kTextCapacity || (!ok && !text->empty())) {
            std::abort();
        }
    }
    return 0;
}
