#include "recorder/CapabilityReport.h"

#include <QSaveFile>
#include <cstdio>

#include "config/FormatTables.h"

namespace orvel {

std::string CapabilityReport::text(const Accepts& accepts) {
    std::string out =
        "The resource for the format you are using\nis occupied by the media you are playing\n\n"
        "For this Media you are playing,\nyou can only use one of the following formats to "
        "record:\n\n";
    bool any = false;
    for (int code = 0; code < format::kFormatCodeCount; ++code) {
        if (!accepts || !accepts(code)) {
            continue;
        }
        any = true;
        const format::FormatChoice choice = format::formatOfCode(code);
        char line[64];
        std::snprintf(line, sizeof line, "%2d KHZ  %6s    %2d bit \n",
                      format::kSampleRates[static_cast<std::size_t>(choice.rateIndex)] / 1000,
                      choice.stereo ? "Stereo" : "Mono", choice.sixteenBits ? 16 : 8);
        out += line;
    }
    if (!any) {
        out +=
            "For this Media you are playing,\nThere are no available resources for recording\n\n"
            "You can try to play other media to record\n"
            "Or,You can try to press record button before play other media players\n";
    }
    return out;
}

std::string CapabilityReport::write(const std::string& folder, const Accepts& accepts) {
    const std::string path = folder + (folder.ends_with('/') ? "" : "/") + kFileName;
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        return {};
    }
    const std::string body = text(accepts);
    file.write(body.data(), static_cast<qint64>(body.size()));
    return file.commit() ? path : std::string();
}

}  // namespace orvel
