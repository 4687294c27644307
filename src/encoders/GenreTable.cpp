#include "encoders/GenreTable.h"

#include "config/Text.h"

namespace orvel::genre {

namespace {

constexpr std::array<std::string_view, kCount> kListEntries = {
    "Blues ",      "Classic Rock",  "Country",        "Dance ",       "Disco",
    "Funk",        "Grunge",        "Hip-Hop",        "Jazz",         "Metal",
    "New Age",     "Oldies",        "Other",          "Pop",          "R&B",
    "Rap",         "Reggae",        "Rock",           "Techno",       "Industrial",
    "Alternative", "Ska",           "Death Metal",    "Pranks",       "Soundtrack",
    "Euro-Techno", "Ambient",       "Trip-Hop",       "Vocal",        "Jazz+Funk",
    "Fusion",      "Trance",        "Classical",      "Instrumental", "Acid",
    "House",       "Game",          "Sound Clip",     "Gospel",       "Noise",
    "Altern Rock", "Bass",          "Soul",           "Punk",         "Space",
    "Meditative",  "Inst. Pop",     "Instrum. Rock ", "Ethnic",       "Gothic",
    "Darkwave",    "Techno-Indus ", "Electronic ",    "Pop-Folk ",    "Eurodance ",
    "Dream ",      "Southern Rock", "Comedy",         "Cult ",        "Gangsta ",
    "Top 40",      "Christian Rap", "Pop/Funk",       "Jungle",       "Native American",
    "Cabaret",     "New Wave",      "Psychadelic",    "Rave",         "Showtunes",
    "Trailer",     "Lo-Fi",         "Tribal",         "Acid Punk",    "Acid Jazz ",
    "Polka",       "Retro",         "Musical",        "Rock & Roll",  "Hard Rock ",
};

}  // namespace

std::string_view listEntry(int number) {
    if (number < 0 || number >= kCount) {
        return {};
    }
    return kListEntries[static_cast<std::size_t>(number)];
}

std::string_view name(int number) {
    return text::trimTrailingBlanks(listEntry(number));
}

int findByName(std::string_view text) {
    const std::string_view wanted = text::trimBlanks(text);
    if (wanted.empty()) {
        return -1;
    }
    for (int number = 0; number < kCount; ++number) {
        if (text::equalsIgnoreCaseAscii(name(number), wanted)) {
            return number;
        }
    }
    return -1;
}

}  // namespace orvel::genre
