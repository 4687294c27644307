#include "devices/LineChoice.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

using platform::SoundDevice;
using platform::SoundLine;

SoundDevice card(const std::string& name, std::vector<SoundLine> lines) {
    return SoundDevice{name + " card", name, std::move(lines)};
}

SoundLine line(const std::string& source, const std::string& port = {}) {
    return SoundLine{source + " " + port, source, port, false};
}

// The stored indexes hold while they name the stored line; when devices come and go, the line
// is found again by its names, and the indexes follow.
TEST(LineChoice, FindsTheStoredLineByItsNameWhenItsIndexesMove) {
    const std::vector<SoundDevice> before = {
        card("pci", {line("pci.in", "mic"), line("pci.in", "line"), line("pci.mon")}),
        card("usb", {line("usb.in")})};
    const LineChoice stored = LineChoice::of(before, 0, 1);
    EXPECT_EQ(stored.deviceName, "pci");
    EXPECT_EQ(stored.lineName, "pci.in#line");
    bool moved = true;
    EXPECT_EQ(stored.resolve(before, &moved), stored);
    EXPECT_FALSE(moved);

    // A card added before it, and a port added before the line.
    const std::vector<SoundDevice> after = {
        card("hdmi", {line("hdmi.mon")}),
        card("pci", {line("pci.in", "front"), line("pci.in", "mic"), line("pci.in", "line")}),
        card("usb", {line("usb.in")})};
    const LineChoice found = stored.resolve(after, &moved);
    EXPECT_TRUE(moved);
    EXPECT_EQ(found.deviceRow, 1);
    EXPECT_EQ(found.lineIndex, 2);

    // The USB microphone on another card entry keeps its source name.
    const LineChoice usb = LineChoice::of(before, 1, 0);
    const std::vector<SoundDevice> replugged = {card("usb2", {line("usb.in")}),
                                                card("pci", {line("pci.in", "mic")})};
    EXPECT_EQ(usb.resolve(replugged).deviceRow, 0);
    EXPECT_EQ(usb.resolve(replugged).lineIndex, 0);
}

TEST(LineChoice, KeepsTheIndexesWhenTheNameIsUnknownOrGone) {
    const std::vector<SoundDevice> devices = {card("pci", {line("a"), line("b")})};
    LineChoice old;
    old.deviceRow = 0;
    old.lineIndex = 1;  // stored before names were kept
    EXPECT_EQ(old.resolve(devices), old);
    LineChoice gone = LineChoice::of(devices, 0, 1);
    gone.lineName = "unplugged";
    bool moved = true;
    EXPECT_EQ(gone.resolve(devices, &moved), gone);
    EXPECT_FALSE(moved);
    // Two devices offer the name: the stored device wins.
    const std::vector<SoundDevice> twice = {card("x", {line("same")}), card("y", {line("same")})};
    LineChoice onY = LineChoice::of(twice, 1, 0);
    onY.deviceRow = 5;
    EXPECT_EQ(onY.resolve(twice).deviceRow, 1);
}

}  // namespace
}  // namespace orvel
