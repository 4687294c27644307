#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "../engine_sound/EngineSoundSupport.h"
#include "RecorderHarness.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::RecorderHarness;
using Part = RecorderHarness::Part;

// The clock and the ticks the recorder is given, which a program may destroy before or after
// the rest.
enum class Time { Clock, Ticks };
using Piece = std::variant<Part, Time>;

// Whatever order the parts go in while a recording with background music runs, nothing calls
// into a part that is gone (the sanitizer would say so), and the file is left complete.
class TearingDown : public ::testing::TestWithParam<std::vector<Piece>> {};

TEST_P(TearingDown, AMidRunRecorderGoesInAnyOrderAndLeavesAWholeFile) {
    RecorderHarness h;
    h.writeBackgroundMusic("music.wav");
    auto clock = std::make_unique<SystemClock>();
    auto ticks = std::make_unique<QtTickSource>();
    ASSERT_TRUE(h.make({.clock = clock.get(), .ticks = ticks.get()}));
    const std::string path = h.file("torn.wav");
    RecorderController& c = h.controller();
    c.setBackgroundEnabled(true);
    c.setFieldText(path);
    c.record();
    ASSERT_TRUE(c.recording());
    ASSERT_TRUE(h.waitFor([&] { return h.engine().bytesQueued() >= 44100 * 4; }, 6s));

    for (const Piece& piece : GetParam()) {
        if (const Part* part = std::get_if<Part>(&piece)) {
            h.destroy(*part);
        } else if (std::get<Time>(piece) == Time::Clock) {
            clock.reset();
        } else {
            ticks.reset();
        }
    }
    const test::WavSamples wav = test::readWav(path);
    ASSERT_TRUE(wav.info.ok());
    EXPECT_FALSE(wav.info.sizeRecovered);
    EXPECT_GE(wav.seconds(), 1.0);
}

std::string orderName(const ::testing::TestParamInfo<std::vector<Piece>>& info) {
    static const char* const kParts[] = {"Controller", "Engine", "Music", "Player"};
    static const char* const kTimes[] = {"Clock", "Ticks"};
    std::string name;
    for (const Piece& piece : info.param) {
        const Part* part = std::get_if<Part>(&piece);
        name += part != nullptr ? kParts[static_cast<int>(*part)]
                                : kTimes[static_cast<int>(std::get<Time>(piece))];
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(
    Orders, TearingDown,
    ::testing::Values(
        // The program's own order: the controller, then its parts in the reverse of their
        // declaration.
        std::vector<Piece>{Part::Controller, Time::Ticks, Time::Clock, Part::Music, Part::Player,
                           Part::Engine},
        std::vector<Piece>{Part::Engine, Part::Controller, Part::Music, Part::Player},
        std::vector<Piece>{Part::Music, Part::Player, Part::Controller, Time::Clock, Part::Engine}),
    orderName);

}  // namespace
}  // namespace orvel
