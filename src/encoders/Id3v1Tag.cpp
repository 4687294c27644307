#include "encoders/Id3v1Tag.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include "audio/FileKind.h"
#include "config/Text.h"

namespace orvel {

namespace {

constexpr std::size_t kTextField = 30;
constexpr std::size_t kYearField = 4;
constexpr std::size_t kTitleAt = 3;
constexpr std::size_t kArtistAt = 33;
constexpr std::size_t kAlbumAt = 63;
constexpr std::size_t kYearAt = 93;
constexpr std::size_t kCommentAt = 97;
constexpr std::size_t kTrackAt = 126;
constexpr std::size_t kGenreAt = 127;

bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t length = 0;
        std::uint32_t point = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            length = 2;
            point = c & 0x1Fu;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3;
            point = c & 0x0Fu;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4;
            point = c & 0x07u;
        } else {
            return false;
        }
        if (i + length > s.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            point = (point << 6) | (next & 0x3Fu);
        }
        // Overlong forms, surrogates and points beyond Unicode are not text.
        static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < kSmallest[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string latin1ToUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size() * 2);
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string readField(std::span<const std::uint8_t> block, std::size_t at, std::size_t size) {
    const auto* begin = reinterpret_cast<const char*>(block.data() + at);
    std::string_view field(begin, size);
    field = field.substr(0, std::min(field.find('\0'), field.size()));
    field = text::trimTrailingBlanks(field);
    return isValidUtf8(field) ? std::string(field) : latin1ToUtf8(field);
}

void writeField(std::array<std::uint8_t, Id3v1Tag::kBytes>& block, std::size_t at, std::size_t size,
                const std::string& value) {
    const std::string_view cut = text::cutBytes(value, size);
    std::memcpy(block.data() + at, cut.data(), cut.size());
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The last 128 bytes of an open file, or nothing when it is shorter.
std::optional<std::array<std::uint8_t, Id3v1Tag::kBytes>> lastBlock(std::FILE* file) {
    std::array<std::uint8_t, Id3v1Tag::kBytes> block{};
    if (std::fseek(file, -static_cast<long>(Id3v1Tag::kBytes), SEEK_END) != 0 ||
        std::fread(block.data(), 1, block.size(), file) != block.size()) {
        return std::nullopt;
    }
    return block;
}

bool startsWithTag(std::span<const std::uint8_t> block) {
    return block.size() >= 3 && block[0] == 'T' && block[1] == 'A' && block[2] == 'G';
}

}  // namespace

Id3v1Tag Id3v1Tag::fromOptions(const Mp3Options& options) {
    Id3v1Tag tag;
    tag.title = options.title();
    tag.artist = options.artist();
    tag.album = options.album();
    tag.year = options.year();
    tag.genre = options.genre;
    return tag;
}

void Id3v1Tag::copyTo(Mp3Options& options) const {
    options.setTitle(title);
    options.setArtist(artist);
    options.setAlbum(album);
    options.setYear(year);
    options.genre = genre;
}

std::array<std::uint8_t, Id3v1Tag::kBytes> Id3v1Tag::bytes() const {
    std::array<std::uint8_t, kBytes> block{};
    block[0] = 'T';
    block[1] = 'A';
    block[2] = 'G';
    writeField(block, kTitleAt, kTextField, title);
    writeField(block, kArtistAt, kTextField, artist);
    writeField(block, kAlbumAt, kTextField, album);
    writeField(block, kYearAt, kYearField, year);
    block[kTrackAt] = track;
    block[kGenreAt] = genre;
    return block;
}

std::optional<Id3v1Tag> Id3v1Tag::parse(std::span<const std::uint8_t> block) {
    if (block.size() != kBytes || !startsWithTag(block)) {
        return std::nullopt;
    }
    Id3v1Tag tag;
    tag.title = readField(block, kTitleAt, kTextField);
    tag.artist = readField(block, kArtistAt, kTextField);
    tag.album = readField(block, kAlbumAt, kTextField);
    tag.year = readField(block, kYearAt, kYearField);
    // A zero before the last comment byte marks ID3v1.1, whose last comment byte is the track.
    tag.track = block[kTrackAt - 1] == 0 ? block[kTrackAt] : 0;
    tag.genre = block[kGenreAt];
    return tag;
}

std::optional<Id3v1Tag> Id3v1Tag::fromFileContents(std::span<const std::uint8_t> contents) {
    if (contents.size() < kBytes) {
        return std::nullopt;
    }
    return parse(contents.subspan(contents.size() - kBytes));
}

std::optional<Id3v1Tag> Id3v1Tag::readFile(const std::string& path) {
    // Opening anything but a plain file could wait for ever (a FIFO waits for a writer).
    if (file::kindOf(path) != file::Kind::Regular) {
        return std::nullopt;
    }
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return std::nullopt;
    }
    const auto block = lastBlock(file.get());
    if (!block) {
        return std::nullopt;
    }
    return parse(*block);
}

bool Id3v1Tag::writeFile(const std::string& path, const Id3v1Tag& tag) {
    if (file::kindOf(path) != file::Kind::Regular) {
        return false;
    }
    File file(std::fopen(path.c_str(), "r+b"));
    if (!file) {
        return false;
    }
    const auto block = lastBlock(file.get());
    const bool replace = block && startsWithTag(*block);
    if (std::fseek(file.get(), replace ? -static_cast<long>(kBytes) : 0, SEEK_END) != 0) {
        return false;
    }
    auto bytes = tag.bytes();
    if (replace) {
        // The comment and track number of the tag being replaced are not the recorder's to
        // change: they stay as they were.
        std::copy(block->begin() + kCommentAt, block->begin() + kGenreAt,
                  bytes.begin() + kCommentAt);
        // A text that reads the same keeps its bytes: a field written elsewhere in Latin-1,
        // or padded with blanks, is not rewritten when only another field changed.
        const auto keep = [&](std::size_t at, std::size_t size, const std::string& value) {
            if (readField(*block, at, size) == value) {
                std::copy(block->begin() + static_cast<std::ptrdiff_t>(at),
                          block->begin() + static_cast<std::ptrdiff_t>(at + size),
                          bytes.begin() + static_cast<std::ptrdiff_t>(at));
            }
        };
        keep(kTitleAt, kTextField, tag.title);
        keep(kArtistAt, kTextField, tag.artist);
        keep(kAlbumAt, kTextField, tag.album);
        keep(kYearAt, kYearField, tag.year);
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        return false;
    }
    return std::fclose(file.release()) == 0;
}

}  // namespace orvel
