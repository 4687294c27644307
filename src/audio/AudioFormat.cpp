#include "audio/AudioFormat.h"

#include <algorithm>

#include "config/FormatTables.h"

namespace orvel {

int AudioFormat::rateIndex() const {
    const auto* it =
        std::find(format::kSampleRates.begin(), format::kSampleRates.end(), sampleRate);
    return it == format::kSampleRates.end() ? -1
                                            : static_cast<int>(it - format::kSampleRates.begin());
}

bool AudioFormat::isValid() const {
    return (channels == 1 || channels == 2) && (bitsPerSample == 8 || bitsPerSample == 16) &&
           rateIndex() >= 0;
}

int AudioFormat::formatCode() const {
    return isValid() ? format::formatCode(rateIndex(), isStereo(), is16Bit()) : -1;
}

AudioFormat AudioFormat::fromChoice(int rateIndex, bool stereo, bool sixteenBits) {
    const int index = std::clamp(rateIndex, 0, format::kRateCount - 1);
    return AudioFormat{stereo ? 2 : 1, format::kSampleRates[static_cast<std::size_t>(index)],
                       sixteenBits ? 16 : 8};
}

}  // namespace orvel
