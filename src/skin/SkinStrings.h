#pragma once

#include <QString>
#include <string_view>

namespace orvel {

// The layout table keeps its texts as UTF-8 views.
inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace orvel
