#include <gtest/gtest.h>

#include "platform/ServerModel.h"

namespace orvel::platform {
namespace {

using Availability = ServerModel::Availability;

ServerModel::Source captureSource(std::uint32_t index, std::string name, std::string description,
                                  std::optional<std::uint32_t> card,
                                  std::vector<ServerModel::Port> ports = {}) {
    ServerModel::Source source;
    source.index = index;
    source.name = std::move(name);
    source.description = std::move(description);
    source.card = card;
    source.ports = std::move(ports);
    source.channels = 2;
    if (!source.ports.empty()) {
        source.activePort = source.ports.front().name;
    }
    return source;
}

ServerModel::Source monitorSource(std::uint32_t index, std::string name, std::string description,
                                  std::optional<std::uint32_t> card, std::uint32_t sink) {
    ServerModel::Source source =
        captureSource(index, std::move(name), std::move(description), card);
    source.monitorOfSink = sink;
    return source;
}

SoundLine portLine(const std::string& shown, const std::string& source, const std::string& port) {
    return {shown, source, port, false};
}
SoundLine wholeLine(const std::string& shown, const std::string& source) {
    return {shown, source, std::string(), false};
}
SoundLine monitorLine(const std::string& shown, const std::string& source) {
    return {shown, source, std::string(), true};
}

// A laptop-like server: a card with a microphone source of two ports, an HDMI card that only
// plays, a USB card with a port-less source, and a network sink of no card.
ServerModel desktop() {
    ServerModel model;
    model.cards = {{7, "usb-headset", "USB Headset"},
                   {0, "pci-hda", "Built-in Audio"},
                   {3, "pci-hdmi", "HDMI Audio"}};
    model.sinks = {{4, "hdmi-out", "HDMI Output", 3, "hdmi-out.monitor"},
                   {1, "analog-out", "Analog Output", 0, "analog-out.monitor"},
                   {9, "network", "Network Output", std::nullopt, "network.monitor"},
                   {8, "usb-out", "Headset Output", 7, "usb-out.monitor"}};
    model.sources = {
        monitorSource(2, "analog-out.monitor", "Monitor of Analog Output", 0, 1),
        captureSource(
            5, "analog-in", "Analog Input", 0,
            {{"mic", "Microphone", Availability::Yes}, {"line", "Line In", Availability::No}}),
        monitorSource(6, "hdmi-out.monitor", "Monitor of HDMI Output", 3, 4),
        captureSource(10, "usb-in", "Headset Microphone", 7),
        monitorSource(11, "usb-out.monitor", "Monitor of Headset Output", 7, 8),
        monitorSource(12, "network.monitor", "Monitor of Network Output", std::nullopt, 9),
        captureSource(13, "rtp-in", "RTP Input", std::nullopt),
        captureSource(3, "dock-in", "Dock Input", 0,
                      {{"dock-mic", "Dock Microphone", Availability::Unknown}}),
    };
    return model;
}

TEST(ServerModel, CardLinesArePortsOfEachCaptureSourceThenSinkMonitors) {
    const std::vector<SoundDevice> devices = desktop().devices();
    ASSERT_FALSE(devices.empty());
    const SoundDevice& builtIn = devices.front();
    EXPECT_EQ(builtIn.name, "Built-in Audio");
    EXPECT_EQ(builtIn.cardName, "pci-hda");
    // Sources in index order (dock-in is 3, analog-in 5), each port in the server's order; an
    // unplugged port is still a line, as a mixer pin is.
    const std::vector<SoundLine> expected = {
        portLine("Dock Microphone", "dock-in", "dock-mic"),
        portLine("Microphone", "analog-in", "mic"),
        portLine("Line In", "analog-in", "line"),
        monitorLine("Monitor of Analog Output", "analog-out.monitor"),
    };
    EXPECT_EQ(builtIn.lines, expected);
}

TEST(ServerModel, DevicesFollowCardIndexWithSoundServerLast) {
    const std::vector<SoundDevice> devices = desktop().devices();
    ASSERT_EQ(devices.size(), 4u);
    EXPECT_EQ(devices[0].name, "Built-in Audio");
    EXPECT_EQ(devices[1].name, "HDMI Audio");
    EXPECT_EQ(devices[2].name, "USB Headset");
    EXPECT_EQ(devices[3].name, "Sound server");
    EXPECT_EQ(devices[3].cardName, "");

    // A card that only plays still offers what it plays.
    EXPECT_EQ(devices[1].lines,
              std::vector<SoundLine>{monitorLine("Monitor of HDMI Output", "hdmi-out.monitor")});
    // A source without ports is one line named by its description.
    EXPECT_EQ(devices[2].lines, (std::vector<SoundLine>{
                                    wholeLine("Headset Microphone", "usb-in"),
                                    monitorLine("Monitor of Headset Output", "usb-out.monitor")}));
    // Capture sources before monitors even when a monitor has the lower index.
    EXPECT_EQ(devices[3].lines, (std::vector<SoundLine>{
                                    wholeLine("RTP Input", "rtp-in"),
                                    monitorLine("Monitor of Network Output", "network.monitor")}));
}

TEST(ServerModel, PrivateTestServerGivesOneDeviceOfFourLines) {
    // The layout of the project's private server: two null sinks, a remapped tone and a null
    // source, no cards and no ports.
    ServerModel model;
    model.sinks = {{0, "speakers", "Speakers", std::nullopt, "speakers.monitor"},
                   {1, "tones", "Tone generator", std::nullopt, "tones.monitor"}};
    model.sources = {
        monitorSource(0, "speakers.monitor", "Monitor of Speakers", std::nullopt, 0),
        monitorSource(1, "tones.monitor", "Monitor of Tone generator", std::nullopt, 1),
        captureSource(2, "tone", "Tone line", std::nullopt),
        captureSource(3, "silence", "Silence", std::nullopt),
    };
    const std::vector<SoundDevice> expected = {
        {"Sound server",
         "",
         {wholeLine("Tone line", "tone"), wholeLine("Silence", "silence"),
          monitorLine("Monitor of Speakers", "speakers.monitor"),
          monitorLine("Monitor of Tone generator", "tones.monitor")}}};
    EXPECT_EQ(model.devices(), expected);
}

TEST(ServerModel, EmptyOrSilentServersOfferNoDevice) {
    EXPECT_TRUE(ServerModel().devices().empty());

    // A card switched off has neither sources nor sinks: nothing to record from.
    ServerModel cardsOnly;
    cardsOnly.cards = {{0, "pci-hda", "Built-in Audio"}};
    EXPECT_TRUE(cardsOnly.devices().empty());
}

TEST(ServerModel, EverySourceAppearsOnceEvenWhenTheListsDisagree) {
    // Answers taken a moment apart: a source names a card that is gone, a monitor's sink is
    // gone, a sink names its monitor wrongly. No source is lost or shown twice.
    ServerModel model;
    model.cards = {{1, "pci-hda", "Built-in Audio"}};
    model.sinks = {{2, "out", "Output", 1, "no-such-source"}};
    model.sources = {
        captureSource(0, "orphan-in", "Orphan Input", 42),
        monitorSource(1, "out.monitor", "Monitor of Output", 1, 2),
        monitorSource(3, "gone.monitor", "Monitor of Gone", 1, 77),
        monitorSource(4, "lost.monitor", "Monitor of Lost", 99, 78),
    };
    const std::vector<SoundDevice> devices = model.devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].lines,
              (std::vector<SoundLine>{monitorLine("Monitor of Output", "out.monitor"),
                                      monitorLine("Monitor of Gone", "gone.monitor")}));
    EXPECT_EQ(devices[1].name, "Sound server");
    EXPECT_EQ(devices[1].lines,
              (std::vector<SoundLine>{wholeLine("Orphan Input", "orphan-in"),
                                      monitorLine("Monitor of Lost", "lost.monitor")}));
}

TEST(ServerModel, NamesFallBackWhenDescriptionsAreMissing) {
    ServerModel model;
    model.cards = {{0, "card-name", ""}};
    model.sources = {captureSource(0, "src", "", 0, {{"port-name", "", Availability::Yes}}),
                     captureSource(1, "plain", "", 0)};
    const std::vector<SoundDevice> devices = model.devices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].name, "card-name");
    EXPECT_EQ(devices[0].lines, (std::vector<SoundLine>{portLine("port-name", "src", "port-name"),
                                                        wholeLine("plain", "plain")}));
    EXPECT_NE(model.findSource("plain"), nullptr);
    EXPECT_EQ(model.findSource("absent"), nullptr);
}

}  // namespace
}  // namespace orvel::platform
