#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Test signals and their measurement, in the recorder's PCM conventions: interleaved frames,
// left first; 8-bit samples unsigned around 0x80, 16-bit samples signed little-endian.
// Levels are in dB relative to full scale (a full-scale sine peaks at 0 dBFS).
namespace orvel::test {

// A sine of the given frequency and peak level on every channel, rounded to whole frames.
std::vector<std::uint8_t> sinePcm(double frequency, double peakDbfs, double seconds, int rate,
                                  int channels, int bits);

// One channel of PCM as samples in -1..1.
std::vector<double> channelSamples(const std::uint8_t* pcm, std::size_t bytes, int channels,
                                   int bits, int channel);
inline std::vector<double> channelSamples(const std::vector<std::uint8_t>& pcm, int channels,
                                          int bits, int channel) {
    return channelSamples(pcm.data(), pcm.size(), channels, bits, channel);
}

// Peak and RMS level; -inf for digital silence.
double peakDbfs(const std::vector<double>& samples);
double rmsDbfs(const std::vector<double>& samples);

// The frequency of a steady tone from its upward zero crossings, in Hz (0 without crossings).
double zeroCrossingFrequency(const std::vector<double>& samples, int rate);

// The peak amplitude (0..1) of the component at `frequency`, measured with a Goertzel filter
// over a Hann-windowed block: a sine of amplitude a at that frequency gives about a, other
// frequencies a fraction of it.
double toneAmplitude(const std::vector<double>& samples, int rate, double frequency);

// The samples from the first to the last one louder than the threshold, less `margin` samples
// at each end (where a tone fades in or out); empty when nothing is that loud.
std::vector<double> loudPart(const std::vector<double>& samples, double threshold,
                             std::size_t margin);

// Level in dBFS of a linear amplitude; -inf for 0.
double amplitudeDb(double amplitude);

}  // namespace orvel::test
