#include "platform/ServerModel.h"

#include <algorithm>
#include <set>

namespace orvel::platform {

namespace {

const std::string& shownName(const std::string& description, const std::string& name) {
    return description.empty() ? name : description;
}

template <class T>
std::vector<const T*> byIndex(const std::vector<T>& items) {
    std::vector<const T*> sorted;
    sorted.reserve(items.size());
    for (const T& item : items) {
        sorted.push_back(&item);
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const T* a, const T* b) { return a->index < b->index; });
    return sorted;
}

}  // namespace

const ServerModel::Source* ServerModel::findSource(const std::string& name) const {
    for (const Source& source : sources) {
        if (source.name == name) {
            return &source;
        }
    }
    return nullptr;
}

std::vector<SoundDevice> ServerModel::devices() const {
    const auto cardsInOrder = byIndex(cards);
    const auto sourcesInOrder = byIndex(sources);
    const auto sinksInOrder = byIndex(sinks);

    // A card index the server does not list (a card removed between two answers) counts as no
    // card, so that its sources still appear somewhere.
    std::set<std::uint32_t> knownCards;
    for (const Card* card : cardsInOrder) {
        knownCards.insert(card->index);
    }
    std::set<std::uint32_t> knownSinks;
    for (const Sink* sink : sinksInOrder) {
        knownSinks.insert(sink->index);
    }
    auto ownerOf = [&](const std::optional<std::uint32_t>& card) -> std::optional<std::uint32_t> {
        if (card && knownCards.count(*card) != 0) {
            return card;
        }
        return std::nullopt;
    };

    std::set<std::string> placed;
    auto linesOf = [&](const std::optional<std::uint32_t>& owner) {
        std::vector<SoundLine> lines;
        for (const Source* source : sourcesInOrder) {
            if (source->monitorOfSink || ownerOf(source->card) != owner ||
                !placed.insert(source->name).second) {
                continue;
            }
            if (source->ports.empty()) {
                lines.push_back({shownName(source->description, source->name), source->name,
                                 std::string(), false});
                continue;
            }
            for (const Port& port : source->ports) {
                lines.push_back(
                    {shownName(port.description, port.name), source->name, port.name, false});
            }
        }
        auto addMonitor = [&](const Source& monitor) {
            if (placed.insert(monitor.name).second) {
                lines.push_back({shownName(monitor.description, monitor.name), monitor.name,
                                 std::string(), true});
            }
        };
        for (const Sink* sink : sinksInOrder) {
            if (ownerOf(sink->card) != owner) {
                continue;
            }
            const Source* monitor = findSource(sink->monitorSourceName);
            if (monitor == nullptr) {
                for (const Source* source : sourcesInOrder) {
                    if (source->monitorOfSink == sink->index) {
                        monitor = source;
                        break;
                    }
                }
            }
            if (monitor != nullptr) {
                addMonitor(*monitor);
            }
        }
        // Monitors whose sink was not listed go by their own card.
        for (const Source* source : sourcesInOrder) {
            if (source->monitorOfSink && knownSinks.count(*source->monitorOfSink) == 0 &&
                ownerOf(source->card) == owner) {
                addMonitor(*source);
            }
        }
        return lines;
    };

    std::vector<SoundDevice> result;
    for (const Card* card : cardsInOrder) {
        std::vector<SoundLine> lines = linesOf(card->index);
        if (!lines.empty()) {
            result.push_back(
                {shownName(card->description, card->name), card->name, std::move(lines)});
        }
    }
    std::vector<SoundLine> serverLines = linesOf(std::nullopt);
    if (!serverLines.empty()) {
        result.push_back({serverDeviceName, std::string(), std::move(serverLines)});
    }
    return result;
}

}  // namespace orvel::platform
