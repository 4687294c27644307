#include "support/Signal.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

namespace orvel::test {

double amplitudeDb(double amplitude) {
    if (amplitude <= 0.0) {
        return -std::numeric_limits<double>::infinity();
    }
    return 20.0 * std::log10(amplitude);
}

std::vector<std::uint8_t> sinePcm(double frequency, double peakDbfs, double seconds, int rate,
                                  int channels, int bits) {
    const auto frames = static_cast<std::size_t>(seconds * rate);
    const double amplitude = std::pow(10.0, peakDbfs / 20.0);
    std::vector<std::uint8_t> pcm;
    pcm.reserve(frames * static_cast<std::size_t>(channels * bits / 8));
    for (std::size_t i = 0; i < frames; ++i) {
        const double value = amplitude * std::sin(2.0 * std::numbers::pi * frequency *
                                                  static_cast<double>(i) / rate);
        for (int c = 0; c < channels; ++c) {
            if (bits == 8) {
                const long sample = std::lround(128.0 + value * 127.0);
                pcm.push_back(static_cast<std::uint8_t>(std::clamp(sample, 0L, 255L)));
            } else {
                const long sample = std::clamp(std::lround(value * 32767.0), -32768L, 32767L);
                const auto word = static_cast<std::uint16_t>(static_cast<std::int16_t>(sample));
                pcm.push_back(static_cast<std::uint8_t>(word & 0xFF));
                pcm.push_back(static_cast<std::uint8_t>(word >> 8));
            }
        }
    }
    return pcm;
}

std::vector<double> channelSamples(const std::uint8_t* pcm, std::size_t bytes, int channels,
                                   int bits, int channel) {
    const std::size_t sampleBytes = bits == 8 ? 1 : 2;
    const std::size_t frameBytes = sampleBytes * static_cast<std::size_t>(channels);
    std::vector<double> samples;
    samples.reserve(bytes / frameBytes);
    for (std::size_t at = static_cast<std::size_t>(channel) * sampleBytes;
         at + sampleBytes <= bytes; at += frameBytes) {
        if (bits == 8) {
            samples.push_back((static_cast<double>(pcm[at]) - 128.0) / 128.0);
        } else {
            const auto word = static_cast<std::uint16_t>(pcm[at] | (pcm[at + 1] << 8));
            samples.push_back(static_cast<double>(static_cast<std::int16_t>(word)) / 32768.0);
        }
    }
    return samples;
}

double peakDbfs(const std::vector<double>& samples) {
    double peak = 0.0;
    for (double s : samples) {
        peak = std::max(peak, std::abs(s));
    }
    return amplitudeDb(peak);
}

double rmsDbfs(const std::vector<double>& samples) {
    if (samples.empty()) {
        return amplitudeDb(0.0);
    }
    double sum = 0.0;
    for (double s : samples) {
        sum += s * s;
    }
    return amplitudeDb(std::sqrt(sum / static_cast<double>(samples.size())));
}

double zeroCrossingFrequency(const std::vector<double>& samples, int rate) {
    // Time between the first and the last upward crossing, over the cycles between them, with
    // each crossing placed by linear interpolation.
    double first = -1.0;
    double last = -1.0;
    int cycles = -1;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0.0 && samples[i] >= 0.0) {
            const double at =
                static_cast<double>(i - 1) + samples[i - 1] / (samples[i - 1] - samples[i]);
            if (first < 0.0) {
                first = at;
            }
            last = at;
            ++cycles;
        }
    }
    if (cycles <= 0) {
        return 0.0;
    }
    return static_cast<double>(cycles) * rate / (last - first);
}

double toneAmplitude(const std::vector<double>& samples, int rate, double frequency) {
    const std::size_t n = samples.size();
    if (n < 2) {
        return 0.0;
    }
    const double omega = 2.0 * std::numbers::pi * frequency / rate;
    std::complex<double> sum;
    double windowSum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) /
                                              static_cast<double>(n - 1));
        windowSum += w;
        sum += w * samples[i] * std::polar(1.0, -omega * static_cast<double>(i));
    }
    return 2.0 * std::abs(sum) / windowSum;
}

std::vector<double> loudPart(const std::vector<double>& samples, double threshold,
                             std::size_t margin) {
    auto loud = [threshold](double s) { return std::abs(s) > threshold; };
    const auto begin = std::find_if(samples.begin(), samples.end(), loud);
    const auto end = std::find_if(samples.rbegin(), samples.rend(), loud).base();
    if (begin >= end || static_cast<std::size_t>(end - begin) <= 2 * margin) {
        return {};
    }
    const auto cut = static_cast<std::ptrdiff_t>(margin);
    return std::vector<double>(begin + cut, end - cut);
}

}  // namespace orvel::test
