#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/SoundServer.h"

namespace orvel::platform {

// A plain copy of what the sound server lists: cards, sources (capture sources and sink
// monitors) and sinks, each with the server's index. The device list the recorder shows is a
// pure function of it, so that the rules for ports, monitors and card-less sources can be
// checked without a server that has any of them.
//
// Thread contract: a plain value, any thread.
struct ServerModel {
    enum class Availability { Unknown, No, Yes };

    struct Card {
        std::uint32_t index = 0;
        std::string name;
        std::string description;
    };

    struct Port {
        std::string name;
        std::string description;
        Availability availability = Availability::Unknown;
    };

    struct Source {
        std::uint32_t index = 0;
        std::string name;
        std::string description;
        std::optional<std::uint32_t> card;           // none for a source of no card
        std::optional<std::uint32_t> monitorOfSink;  // set for a sink's monitor
        std::vector<Port> ports;                     // in the server's order
        std::string activePort;                      // empty when the source has no ports
        int channels = 0;
    };

    struct Sink {
        std::uint32_t index = 0;
        std::string name;
        std::string description;
        std::optional<std::uint32_t> card;
        std::string monitorSourceName;
    };

    std::vector<Card> cards;
    std::vector<Source> sources;
    std::vector<Sink> sinks;

    // The name of the device that gathers the sources of no card.
    static constexpr const char* serverDeviceName = "Sound server";

    // The devices with their lines: one device per card (in card index order) that has lines;
    // its lines are each port of each of its capture sources (a source without ports is one
    // line), then the monitor of each of its sinks. The sources of no card form the device
    // "Sound server", last, present only when it has lines. Every source appears exactly once.
    std::vector<SoundDevice> devices() const;

    const Source* findSource(const std::string& name) const;
};

}  // namespace orvel::platform
