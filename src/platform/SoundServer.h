#pragma once

#include <QObject>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/AudioFormat.h"
#include "audio/CaptureSource.h"
#include "platform/PlaybackStream.h"

namespace orvel::platform {

// One recording line of a device: a port of one of its capture sources, a capture source
// without ports, or the monitor of one of its sinks (the playback mix).
struct SoundLine {
    std::string name;        // what the user sees
    std::string sourceName;  // the server's stable name of the source to record from
    std::string portName;    // the port to activate on that source; empty for a whole source
    bool monitor = false;    // a sink's monitor: records what is played
    bool operator==(const SoundLine&) const = default;
};

// A capture device: a sound card as the server describes it, or "Sound server" for the sources
// that belong to no card.
struct SoundDevice {
    std::string name;      // the card's description, or "Sound server"
    std::string cardName;  // the server's stable card name; empty for "Sound server"
    std::vector<SoundLine> lines;
    bool operator==(const SoundDevice&) const = default;
};

// The sound server: devices and their lines, line volume and balance, the speakers' volume,
// capture and playback streams. The one backend is PulseAudio (which also serves PipeWire's
// pulse server); another platform replaces only this family of classes.
//
// Thread contract: methods are called on the owner (GUI) thread unless stated otherwise; they
// wait for the server's answer (bounded, a few seconds at most when the server hangs). Signals
// are emitted on the server's own thread: connect with Qt::QueuedConnection or
// Qt::AutoConnection from an object living on the owner thread.
class SoundServer : public QObject {
    Q_OBJECT
public:
    ~SoundServer() override = default;

    virtual bool isConnected() const = 0;

    // Devices in the server's order (cards by index), "Sound server" last when it has lines.
    virtual std::vector<SoundDevice> devices() = 0;

    // Makes the line the one that createCaptureSource records from; for a port, makes that port
    // the source's active port. False when the line does not exist (nothing changes then).
    virtual bool selectLine(const SoundLine& line) = 0;
    // True when the line is the one selected (and, for a port, the source's active port).
    virtual bool isLineSelected(const SoundLine& line) = 0;

    // Line volume 0..1 (the source's volume relative to normal) and balance -1..1. nullopt or
    // false when the line does not exist or the server refuses (a mono source has no balance).
    virtual std::optional<double> lineVolume(const SoundLine& line) = 0;
    virtual bool setLineVolume(const SoundLine& line, double volume) = 0;
    virtual std::optional<double> lineBalance(const SoundLine& line) = 0;
    virtual bool setLineBalance(const SoundLine& line, double balance) = 0;

    // The speakers' (default sink's) volume on 0..65535 of normal; nullopt when unknown.
    virtual std::optional<int> defaultSinkVolume() = 0;
    virtual bool setDefaultSinkVolume(int volume) = 0;

    // A capture source recording from the line (in the format given to its start()).
    virtual std::unique_ptr<CaptureSource> createCaptureSource(const SoundLine& line) = 0;
    // A playback stream to the default sink; nullptr with a reason when it cannot be opened.
    virtual std::unique_ptr<PlaybackStream> createPlayback(const AudioFormat& format,
                                                           std::string* error) = 0;
    // Plays a short sound asynchronously (returns at once) and forgets it when done.
    virtual bool playSound(const AudioFormat& format, std::vector<std::uint8_t> pcm) = 0;

signals:
    // The default sink's volume changed (by anybody, this client included): 0..65535.
    void defaultSinkVolumeChanged(int volume);
    // A card, source or sink came or went.
    void devicesChanged();
    // The connection to the server is gone; every stream of this server has failed.
    void serverLost();
};

// Connects to the sound server named by the environment (PULSE_SERVER, else the user's
// default). nullptr with a reason when no server answers.
std::unique_ptr<SoundServer> connectSoundServer(std::string* error);

}  // namespace orvel::platform
