#pragma once

#include "audio/BiquadFilter.h"

namespace orvel {

// Second-order high-pass filter (the common cookbook form): unity gain at half the sample rate,
// gain Q at the cutoff. A cutoff of 0 passes the signal unchanged.
//
// Thread contract: as BiquadFilter, the GUI thread only.
class HighPassFilter final : public BiquadFilter {
public:
    HighPassFilter() = default;

protected:
    Coefficients computeCoefficients() const override;
};

}  // namespace orvel
