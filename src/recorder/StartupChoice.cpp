#include "recorder/StartupChoice.h"

#include "config/Product.h"

namespace orvel {

std::string StartupChoice::versionText() {
    return std::string(product::kVersionMajor) + "." + product::kVersionMinor;
}

}  // namespace orvel
