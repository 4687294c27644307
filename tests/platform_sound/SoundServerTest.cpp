#include <gtest/gtest.h>

#include <QObject>
#include <atomic>
#include <cmath>
#include <vector>

#include "SoundTestSupport.h"
#include "platform/SoundServer.h"

namespace orvel::platform {
namespace {

using namespace std::chrono_literals;
using test::LoadedModule;
using test::pactl;
using test::VolumeRestorer;
using test::waitUntil;

// PA volumes are integers on 0..65536 for 0..1: one step is the granularity of a round trip.
constexpr double kVolumeStep = 1.0 / 65536.0;

SoundLine line(const std::string& source) {
    return {source, source, "", false};
}

class SoundServerTest : public test::ConnectedTest {};

TEST_F(SoundServerTest, ListsTheLinesOfTheServerInTheirOrder) {
    const std::vector<SoundDevice> expected = {
        {"Sound server",
         "",
         {{"Tone line", "tone", "", false},
          {"Silence", "silence", "", false},
          {"Monitor of Speakers", "speakers.monitor", "", true},
          {"Monitor of Tone generator", "tones.monitor", "", true}}}};
    EXPECT_EQ(m_server->devices(), expected);
}

TEST_F(SoundServerTest, SelectsExistingLinesOnly) {
    EXPECT_FALSE(m_server->isLineSelected(line("tone")));
    EXPECT_TRUE(m_server->selectLine(line("tone")));
    EXPECT_TRUE(m_server->isLineSelected(line("tone")));
    EXPECT_FALSE(m_server->isLineSelected(line("silence")));

    // A missing line or a port the source does not have changes nothing.
    EXPECT_FALSE(m_server->selectLine(line("no-such-source")));
    EXPECT_FALSE(m_server->selectLine({"Mic", "silence", "no-such-port", false}));
    EXPECT_TRUE(m_server->isLineSelected(line("tone")));

    EXPECT_FALSE(m_server->lineVolume(line("no-such-source")).has_value());
    EXPECT_FALSE(m_server->setLineVolume(line("no-such-source"), 0.5));
    EXPECT_FALSE(m_server->lineBalance(line("no-such-source")).has_value());
}

TEST_F(SoundServerTest, LineVolumeAndBalanceRoundTrip) {
    VolumeRestorer restore(VolumeRestorer::Kind::Source, "silence");
    const SoundLine silence = line("silence");

    for (double volume : {0.25, 64000.0 / 65535.0, 1.0}) {
        ASSERT_TRUE(m_server->setLineVolume(silence, volume));
        ASSERT_TRUE(m_server->lineVolume(silence).has_value());
        EXPECT_NEAR(*m_server->lineVolume(silence), volume, kVolumeStep) << volume;
    }
    // Out of range asks for the nearest end.
    ASSERT_TRUE(m_server->setLineVolume(silence, 1.7));
    EXPECT_NEAR(*m_server->lineVolume(silence), 1.0, kVolumeStep);

    ASSERT_TRUE(m_server->setLineVolume(silence, 0.8));
    for (double balance : {-0.5, 0.75, 0.0}) {
        ASSERT_TRUE(m_server->setLineBalance(silence, balance));
        ASSERT_TRUE(m_server->lineBalance(silence).has_value());
        EXPECT_NEAR(*m_server->lineBalance(silence), balance, 1e-3) << balance;
        // The louder side keeps the volume.
        EXPECT_NEAR(*m_server->lineVolume(silence), 0.8, kVolumeStep) << balance;
    }

    // Changing the volume keeps the balance, also through zero where the server forgets it.
    ASSERT_TRUE(m_server->setLineBalance(silence, -0.5));
    ASSERT_TRUE(m_server->setLineVolume(silence, 0.4));
    EXPECT_NEAR(*m_server->lineBalance(silence), -0.5, 1e-3);
    ASSERT_TRUE(m_server->setLineVolume(silence, 0.0));
    EXPECT_NEAR(*m_server->lineVolume(silence), 0.0, kVolumeStep);
    EXPECT_NEAR(*m_server->lineBalance(silence), -0.5, 1e-3);
    ASSERT_TRUE(m_server->setLineVolume(silence, 0.6));
    EXPECT_NEAR(*m_server->lineVolume(silence), 0.6, kVolumeStep);
    EXPECT_NEAR(*m_server->lineBalance(silence), -0.5, 1e-3);

    // What another client sees: the left channel at 0.6, the right at half of it.
    const std::optional<std::string> listed = pactl({"get-source-volume", "silence"});
    ASSERT_TRUE(listed.has_value());
    EXPECT_NE(listed->find("60%"), std::string::npos) << *listed;
    EXPECT_NE(listed->find("30%"), std::string::npos) << *listed;
}

TEST_F(SoundServerTest, MonoLineHasNoBalance) {
    LoadedModule mono(
        {"module-null-source", "source_name=orvel_mono", "channels=1", "channel_map=mono"});
    ASSERT_TRUE(mono.loaded());
    const SoundLine monoLine = line("orvel_mono");
    EXPECT_FALSE(m_server->lineBalance(monoLine).has_value());
    EXPECT_FALSE(m_server->setLineBalance(monoLine, 0.5));
    ASSERT_TRUE(m_server->setLineVolume(monoLine, 0.5));
    EXPECT_NEAR(*m_server->lineVolume(monoLine), 0.5, kVolumeStep);
}

TEST_F(SoundServerTest, SpeakerVolumeChangesArriveFromAnyClient) {
    VolumeRestorer restore(VolumeRestorer::Kind::Sink, "speakers");
    QObject receiver;
    std::vector<int> seen;
    QObject::connect(m_server.get(), &SoundServer::defaultSinkVolumeChanged, &receiver,
                     [&seen](int volume) { seen.push_back(volume); });

    ASSERT_TRUE(pactl({"set-sink-volume", "speakers", "40%"}).has_value());
    ASSERT_TRUE(waitUntil([&] { return !seen.empty(); }, 3s));
    EXPECT_NEAR(seen.back(), 26214, 1);
    EXPECT_NEAR(m_server->defaultSinkVolume().value_or(-1), 26214, 1);

    // This client's own change is announced as well, and reads back exactly.
    seen.clear();
    ASSERT_TRUE(m_server->setDefaultSinkVolume(65535));
    ASSERT_TRUE(waitUntil([&] { return !seen.empty(); }, 3s));
    EXPECT_EQ(seen.back(), 65535);
    EXPECT_EQ(m_server->defaultSinkVolume(), 65535);

    ASSERT_TRUE(m_server->setDefaultSinkVolume(32768));
    EXPECT_EQ(m_server->defaultSinkVolume(), 32768);
}

TEST_F(SoundServerTest, AnnouncesLinesThatComeAndGo) {
    QObject receiver;
    std::atomic<int> changes{0};
    QObject::connect(m_server.get(), &SoundServer::devicesChanged, &receiver,
                     [&changes] { ++changes; });
    {
        LoadedModule extra({"module-null-source", "source_name=orvel_extra", "description=Extra"});
        ASSERT_TRUE(extra.loaded());
        ASSERT_TRUE(waitUntil([&] { return changes > 0; }, 3s));
        const std::vector<SoundDevice> devices = m_server->devices();
        ASSERT_EQ(devices.size(), 1u);
        ASSERT_EQ(devices[0].lines.size(), 5u);
        EXPECT_EQ(devices[0].lines[2], (SoundLine{"Extra", "orvel_extra", "", false}));
        changes = 0;
    }
    ASSERT_TRUE(waitUntil([&] { return changes > 0; }, 3s));
    EXPECT_EQ(m_server->devices()[0].lines.size(), 4u);
}

TEST(SoundServerLoss, FrozenServerCostsBoundedWaitsAndDeadServerIsReported) {
    test::ThrowawayServer throwaway;
    ASSERT_TRUE(throwaway.running());
    std::string error;
    std::unique_ptr<SoundServer> server = connectSoundServer(&error);
    ASSERT_NE(server, nullptr) << error;
    QObject receiver;
    bool lost = false;
    QObject::connect(server.get(), &SoundServer::serverLost, &receiver, [&lost] { lost = true; });

    ASSERT_TRUE(throwaway.freeze(true));
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_TRUE(server->devices().empty());
    EXPECT_FALSE(server->lineVolume(line("tone")).has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 6s);
    ASSERT_TRUE(throwaway.freeze(false));
    // Late answers to abandoned questions do no harm.
    EXPECT_EQ(server->devices().size(), 1u);

    ASSERT_TRUE(throwaway.stop());
    ASSERT_TRUE(waitUntil([&] { return lost; }, 5s));
    EXPECT_FALSE(server->isConnected());
    EXPECT_TRUE(server->devices().empty());
    EXPECT_FALSE(server->selectLine(line("tone")));
    EXPECT_EQ(server->createPlayback(AudioFormat{}, &error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST(SoundServerLoss, NoServerMeansNoConnection) {
    test::ThrowawayServer throwaway;
    ASSERT_TRUE(throwaway.stop());
    std::string error;
    EXPECT_EQ(connectSoundServer(&error), nullptr);
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace orvel::platform
