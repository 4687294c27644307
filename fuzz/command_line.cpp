// Arbitrary bytes as a command line: parsing never fails, and whatever it yields stays within
// what the front face may apply.
#include <QLoggingCategory>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/FormatTables.h"
#include "config/Text.h"
#include "recorder/CommandLine.h"

namespace {

void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool inRange(int v, int low, int high) {
    return v >= low && v <= high;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        // Over-long file names are reported as warnings; they are expected here.
        QLoggingCategory::setFilterRules(QStringLiteral("orvel.*.warning=false"));
        return true;
    }();
    (void)quiet;

    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const orvel::StartupOptions options = orvel::parseCommandLine(line);

    require(inRange(static_cast<int>(options.autoAction), 0, 3));
    if (!options.autoRecord) {
        orvel::StartupOptions unset;
        unset.hide = options.hide;
        require(options == unset);
    }
    require(inRange(options.rateIndex, -1, 8));
    require(inRange(options.bitsChoice, -1, 1));
    require(inRange(options.channelsChoice, -1, 1));
    require(inRange(options.mp3BitrateIndex, -1, 15));

    const std::string& name = options.fileName;
    require(name.size() <= orvel::StartupOptions::kFileNameMaxBytes);
    // A name is either taken or refused with its reason, never both and never dropped unsaid.
    require(options.refusedFileName.empty() || name.empty());
    require(options.fileNameRefusal.empty() == options.refusedFileName.empty() ||
            options.fileNameRefusal == "no file name follows -filename");
    if (!options.fileNameRefusal.empty()) {
        require(!options.hide);
    }
    if (!name.empty()) {
        require(orvel::formatOfFileName(name).has_value());
        // The name is taken as written, never re-cased or pieced together, and ends where the
        // next option or switch begins.
        const std::string_view read = line.substr(0, orvel::kCommandLineMaxBytes);
        require(read.find(name) != std::string_view::npos);
        require(name.find(" -") == std::string::npos && name.find(" /") == std::string::npos);
        require(name.front() != ' ' && name.back() != ' ');
    }
    require(orvel::parseCommandLine(line) == options);
    return 0;
}
