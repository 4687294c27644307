#pragma once

namespace orvel {

// Effects and detection settings of a capture run; they may change while the run goes on.
struct ProcessingSettings {
    int threshold = 0;  // signal threshold step 0..47 ((value - 48) dB)
    bool signalActivated = false;
    int silenceDelaySeconds = 0;  // how long the signal flag outlives the last loud block
    bool noiseGate = false;
    int gateThreshold = 0;  // 0..47
    int gateReleaseSeconds = 0;
    bool highPass = false;
    int highPassHz = 0;
    bool lowPass = false;
    int lowPassHz = 20000;
    // Sound kept from before a passage and written ahead of it (0..kMaxPreRollMs, rounded up to
    // whole blocks): see BlockProcessor.
    int preRollMs = 0;

    static constexpr int kMaxPreRollMs = 2000;
};

}  // namespace orvel
