#include "audio/LowPassFilter.h"

namespace orvel {

BiquadFilter::Coefficients LowPassFilter::computeCoefficients() const {
    const Prewarp p = prewarp();
    Coefficients c;
    c.b0 = (1.0f - p.cosOmega) * 0.5f * p.norm;
    c.b1 = (1.0f - p.cosOmega) * p.norm;
    c.b2 = c.b0;
    c.a1 = -2.0f * p.cosOmega * p.norm;
    c.a2 = (1.0f - p.alpha) * p.norm;
    return c;
}

}  // namespace orvel
