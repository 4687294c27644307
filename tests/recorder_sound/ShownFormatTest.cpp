#include <gtest/gtest.h>

#include <chrono>

#include "../engine_sound/EngineSoundSupport.h"
#include "RecorderHarness.h"
#include "audio/WavReader.h"

namespace orvel {
namespace {

using namespace std::chrono_literals;
using test::RecorderHarness;

// The format the front face shows for the file-name field is the format of the file recorded
// under it, told by the file's bytes. A stored name without a recording extension ("takemp3")
// shows WAV and records WAV, never MP3 data the face did not offer; the MP3 button gives it the
// extension of what it then records.
TEST(ShownFormat, IsTheFormatOfTheFileRecorded) {
    RecorderHarness h;
    h.settings().writeLastName(h.file("takemp3"));
    ASSERT_TRUE(h.make());
    RecorderController& c = h.controller();
    // 22050 Hz at 8 bits: an MP3 recording would be raised to 44100 Hz and 16 bits.
    c.setRateIndex(4);
    c.setSixteenBits(false);
    c.setStereo(true);
    EXPECT_EQ(c.state().outputFormat, OutputFormat::Wav);

    c.record();
    ASSERT_EQ(c.transport(), Transport::Recording);
    h.run(500ms);
    c.stop();
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 1; }, 5s));
    EXPECT_EQ(h.view.files[0].path, h.file("takemp3"));
    const WavInfo wav = WavReader::readFile(h.file("takemp3"));
    ASSERT_TRUE(wav.ok());
    EXPECT_FALSE(wav.sizeRecovered);
    EXPECT_EQ(wav.audioFormat(), (AudioFormat{2, 22050, 8}));
    EXPECT_FALSE(c.state().sixteenBits);

    c.chooseFormat(OutputFormat::Mp3);
    EXPECT_EQ(c.state().outputFormat, OutputFormat::Mp3);
    EXPECT_EQ(c.naming().fieldText(), h.file("takemp3.MP3"));
    c.record();
    ASSERT_EQ(c.transport(), Transport::Recording);
    h.run(500ms);
    c.stop();
    ASSERT_TRUE(h.waitFor([&] { return h.view.files.size() == 2; }, 5s));
    EXPECT_EQ(h.view.files[1].path, h.file("takemp3.MP3"));
    EXPECT_TRUE(test::mp3Complete(h.file("takemp3.MP3")));
    EXPECT_FALSE(WavReader::readFile(h.file("takemp3.MP3")).ok());
    EXPECT_TRUE(c.state().sixteenBits);
}

}  // namespace
}  // namespace orvel
