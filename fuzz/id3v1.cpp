// Arbitrary bytes as an MP3 file's contents: the ID3v1 reader only looks at the last 128
// bytes, gives valid UTF-8 texts that fit their fields' characters, and a tag it reads survives
// being written and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "encoders/Id3v1Tag.h"

namespace {

bool fits(const std::string& text, std::size_t fieldBytes) {
    // Latin-1 read as UTF-8 takes at most two bytes a character.
    return text.size() <= fieldBytes * 2 && text.find('\0') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto tag = orvel::Id3v1Tag::fromFileContents(std::span<const std::uint8_t>(data, size));
    if (!tag) {
        return 0;
    }
    if (size < orvel::Id3v1Tag::kBytes || !fits(tag->title, 30) || !fits(tag->artist, 30) ||
        !fits(tag->album, 30) || !fits(tag->year, 4)) {
        std::abort();
    }
    const auto bytes = tag->bytes();
    const auto again = orvel::Id3v1Tag::parse(bytes);
    if (!again || again->genre != tag->genre) {
        std::abort();
    }
    // Texts within their fields come back unchanged.
    if (tag->title.size() <= 30 && again->title != tag->title) {
        std::abort();
    }
    return 0;
}
