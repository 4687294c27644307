#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "audio/HighPassFilter.h"
#include "audio/LowPassFilter.h"

namespace orvel {
namespace {

std::vector<std::int16_t> tone(double hz, int rate, std::size_t frames, double amplitude,
                               int channels = 1) {
    std::vector<std::int16_t> out;
    for (std::size_t i = 0; i < frames; ++i) {
        const double v =
            amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate);
        for (int c = 0; c < channels; ++c) {
            out.push_back(static_cast<std::int16_t>(std::lround(v)));
        }
    }
    return out;
}

std::vector<std::int16_t> noise(std::size_t samples, int amplitude, unsigned seed) {
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> distribution(-amplitude, amplitude);
    std::vector<std::int16_t> out(samples);
    for (auto& s : out) {
        s = static_cast<std::int16_t>(distribution(generator));
    }
    return out;
}

double rms(const std::vector<std::int16_t>& s, std::size_t from) {
    double sum = 0;
    for (std::size_t i = from; i < s.size(); ++i) {
        sum += static_cast<double>(s[i]) * s[i];
    }
    return std::sqrt(sum / static_cast<double>(s.size() - from));
}

// Gain of a fresh filter at one frequency, measured on a settled tone (44.1 kHz, mono).
template <class Filter>
double gainAt(int cutoff, double hz) {
    Filter filter;
    filter.setCutoff(cutoff, 1.0f);
    auto in = tone(hz, 44100, 44100, 8000.0);
    auto out = in;
    filter.process(out.data(), out.size(), 1, 44100);
    return rms(out, 22050) / rms(in, 22050);
}

TEST(Filters, LowPassResponse) {
    EXPECT_NEAR(gainAt<LowPassFilter>(1000, 100), 1.005, 0.01);
    EXPECT_NEAR(gainAt<LowPassFilter>(1000, 1000), 1.0, 0.01);  // gain Q at the cutoff
    EXPECT_NEAR(gainAt<LowPassFilter>(1000, 2000), 0.274, 0.01);
    EXPECT_NEAR(gainAt<LowPassFilter>(1000, 8000), 0.0125, 0.005);
}

TEST(Filters, HighPassResponse) {
    EXPECT_NEAR(gainAt<HighPassFilter>(1000, 250), 0.064, 0.01);
    EXPECT_NEAR(gainAt<HighPassFilter>(1000, 500), 0.277, 0.01);
    EXPECT_NEAR(gainAt<HighPassFilter>(1000, 1000), 1.0, 0.01);
    EXPECT_NEAR(gainAt<HighPassFilter>(1000, 8000), 1.006, 0.01);
}

TEST(Filters, NeutralSettingsPassTheSignalUnchanged) {
    const auto in = noise(4000, 32767, 1);
    HighPassFilter zeroCutoff;
    zeroCutoff.setCutoff(0, 1.0f);
    const auto& c = zeroCutoff.coefficients();
    EXPECT_EQ(c.b0, 1.0f);
    EXPECT_EQ(c.b1, -2.0f);
    EXPECT_EQ(c.b2, 1.0f);
    EXPECT_EQ(c.a1, -2.0f);
    EXPECT_EQ(c.a2, 1.0f);
    for (int channels : {1, 2}) {
        auto out = in;
        zeroCutoff.process(out.data(), out.size() / channels, channels, 44100);
        EXPECT_EQ(out, in) << channels << " channels";
    }
    // Before any cutoff is set the coefficients are all 1, which also passes everything.
    LowPassFilter fresh;
    auto out = in;
    fresh.process(out.data(), out.size() / 2, 2, 44100);
    EXPECT_EQ(out, in);
}

TEST(Filters, StateCarriesAcrossBlocksAndChannelsStayApart) {
    const auto left = noise(3000, 8000, 2);
    const auto right = noise(3000, 8000, 3);
    std::vector<std::int16_t> stereo;
    for (std::size_t i = 0; i < left.size(); ++i) {
        stereo.push_back(left[i]);
        stereo.push_back(right[i]);
    }
    LowPassFilter whole;
    whole.setCutoff(3000, 1.0f);
    auto expected = stereo;
    whole.process(expected.data(), 3000, 2, 44100);

    LowPassFilter pieces;
    pieces.setCutoff(3000, 1.0f);
    auto split = stereo;
    std::size_t frame = 0;
    for (std::size_t size : {1u, 7u, 500u, 992u, 1500u}) {
        pieces.process(split.data() + 2 * frame, size, 2, 44100);
        frame += size;
    }
    ASSERT_EQ(frame, 3000u);
    EXPECT_EQ(split, expected);

    // Without clamping, each channel of a stereo block is filtered as it would be alone.
    for (int channel = 0; channel < 2; ++channel) {
        LowPassFilter mono;
        mono.setCutoff(3000, 1.0f);
        auto alone = channel == 0 ? left : right;
        mono.process(alone.data(), alone.size(), 1, 44100);
        for (std::size_t i = 0; i < alone.size(); ++i) {
            ASSERT_EQ(expected[2 * i + static_cast<std::size_t>(channel)], alone[i])
                << "channel " << channel << " frame " << i;
        }
    }
}

TEST(Filters, NewSampleRateRecomputesTheCoefficients) {
    HighPassFilter filter;
    filter.setCutoff(2000, 1.0f);
    const auto at44100 = filter.coefficients();
    auto block = noise(100, 1000, 4);
    filter.process(block.data(), block.size(), 1, 22050);
    EXPECT_EQ(filter.sampleRate(), 22050);

    HighPassFilter reference;
    std::int16_t none = 0;
    reference.process(&none, 0, 1, 22050);
    reference.setCutoff(2000, 1.0f);
    EXPECT_EQ(filter.coefficients().b0, reference.coefficients().b0);
    EXPECT_EQ(filter.coefficients().a1, reference.coefficients().a1);
    EXPECT_NE(filter.coefficients().a1, at44100.a1);

    // Nonsense rates and channel counts leave the samples and the filter alone.
    auto untouched = block;
    filter.process(untouched.data(), 50, 2, 0);
    filter.process(untouched.data(), 25, 4, 44100);
    EXPECT_EQ(untouched, block);
    EXPECT_EQ(filter.sampleRate(), 22050);
}

TEST(Filters, OvershootIsClampedNotWrapped) {
    // A full-scale square wave rings above full scale after every edge.
    for (int channels : {1, 2}) {
        std::vector<std::int16_t> square;
        for (int i = 0; i < 4000; ++i) {
            const std::int16_t v = (i / 200) % 2 == 0 ? 32767 : -32768;
            for (int c = 0; c < channels; ++c) {
                square.push_back(v);
            }
        }
        LowPassFilter filter;
        filter.setCutoff(2000, 1.0f);
        auto out = square;
        filter.process(out.data(), 4000, channels, 44100);
        int clamped = 0;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const int frame = static_cast<int>(i) / channels;
            if (frame % 200 >= 100) {  // settled half of each half period
                ASSERT_EQ(out[i] > 0, square[i] > 0) << channels << " channels, sample " << i;
            }
            clamped += out[i] == 32767 || out[i] == -32768;
        }
        EXPECT_GT(clamped, 0);
    }
}

TEST(Filters, UnstableCutoffStaysDefined) {
    // A cutoff far above half the sample rate makes the filter unstable; its state must grow
    // into a bound, never into undefined conversions.
    for (int channels : {1, 2}) {
        LowPassFilter filter;
        filter.process(nullptr, 0, channels, 22050);
        filter.setCutoff(20000, 1.0f);
        auto block = noise(2205 * static_cast<std::size_t>(channels), 20000, 5);
        for (int i = 0; i < 200; ++i) {
            filter.process(block.data(), 2205, channels, 22050);
        }
    }
}

}  // namespace
}  // namespace orvel
