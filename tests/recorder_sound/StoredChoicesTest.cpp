#include <gtest/gtest.h>

#include <chrono>

#include "RecorderHarness.h"
#include "config/SettingNames.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::RecorderHarness;

// Every choice the close order stores is in the settings as soon as it is made, so that a
// recorder that ends without its close order (a crash), or another one started beside it, has
// them. The names numbered at each start are not kept: multi-file off brings the name given back.
TEST(StoredChoices, ReachTheSettingsAsTheyChangeNotOnlyAtClose) {
    RecorderHarness h;
    ASSERT_TRUE(h.make());
    RecorderController& c = h.controller();
    ASSERT_GE(c.lineCount(), 2);
    const int row = c.lineChoice().deviceRow;
    const int other = (c.lineChoice().lineIndex + 1) % c.lineCount();
    c.setSixteenBits(false);
    c.setStereo(false);
    c.setRateIndex(3);
    c.setFieldText(h.file("take.wav"));
    c.chooseFormat(OutputFormat::Mp3);
    c.toggleMultiFile();
    c.thresholdChanged(20);
    c.deviceChosen(row, other);
    const SettingsStore& s = h.settings();
    EXPECT_EQ(s.readBit(), 0);
    EXPECT_EQ(s.readAudioLine(), other);
    EXPECT_EQ(s.readText(setting::kLineName), c.lineChoice().lineName);
    EXPECT_EQ(s.readLastName(), h.file("take.MP3"));

    // An 8-bit MP3 recording switches the choice to 16 bits, which is kept too.
    c.record();
    ASSERT_EQ(c.runPath(), h.file("take_001.MP3"));
    EXPECT_EQ(s.readBit(), 1);
    h.run(300ms);
    c.stop();
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 1; }, 5s));
    // A format chosen under multi-file applies to the name the numbers come from.
    c.chooseFormat(OutputFormat::Wav);
    EXPECT_EQ(s.readLastName(), h.file("take.WAV"));

    ASSERT_TRUE(h.make({.line = std::nullopt}));
    RecorderController& again = h.controller();
    EXPECT_TRUE(again.choice().sixteenBits);
    EXPECT_FALSE(again.choice().stereo);
    EXPECT_EQ(again.choice().rateIndex, 3);
    EXPECT_EQ(again.state().threshold, 20);
    EXPECT_EQ(again.lineChoice().lineIndex, other);
    EXPECT_TRUE(again.naming().multiFile());
    again.toggleMultiFile();
    EXPECT_EQ(again.naming().fieldText(), h.file("take.WAV"));
}

}  // namespace
}  // namespace orvel
