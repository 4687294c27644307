// Arbitrary bytes as what a user types into the settings windows' fields: a folder, a number,
// a file name rewritten by a format button, a genre name. Nothing crashes; a folder that passes
// is an absolute path without empty components and forbidden characters; a rewritten name ends
// in the format's extension and keeps whole characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <QByteArray>
#include <QString>

#include "config/FolderCheck.h"
#include "config/NumberField.h"
#include "config/OutputSettings.h"
#include "encoders/GenreTable.h"

namespace {

bool isUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())).toUtf8() ==
           QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (orvel::FolderCheck::isValid(text)) {
        if (text.front() != '/' || text.find("//") != std::string::npos ||
            (text.size() > 1 && text.back() == '/') ||
            text.find_first_of("\"*:<>?\\|") != std::string::npos) {
            std::abort();
        }
    }
    const orvel::NumberField field{-48, -1, "message"};
    if (field.check(text).empty() != field.accepts(orvel::NumberField::parse(text))) {
        std::abort();
    }
    orvel::OutputSettings settings;
    settings.fileName = text;
    settings.chooseFormat(orvel::OutputFormat::Wma);
    const std::string& name = settings.fileName;
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".WMA") != 0) {
        std::abort();
    }
    // The name is cut before its extension is rewritten, never inside a character.
    if (isUtf8(text) && !isUtf8(name)) {
        std::abort();
    }
    const int genre = orvel::genre::findByName(text);
    if (genre >= orvel::genre::kCount) {
        std::abort();
    }
    return 0;
}
