#pragma once

#include "audio/BiquadFilter.h"

namespace orvel {

// Second-order low-pass filter (the common cookbook form): unity gain at 0 Hz, gain Q at the
// cutoff.
//
// Thread contract: as BiquadFilter, the GUI thread only.
class LowPassFilter final : public BiquadFilter {
public:
    LowPassFilter() = default;

protected:
    Coefficients computeCoefficients() const override;
};

}  // namespace orvel
