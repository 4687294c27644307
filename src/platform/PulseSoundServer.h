#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/PulseConnection.h"
#include "platform/ServerModel.h"
#include "platform/SoundServer.h"

namespace orvel::platform {

class PulseShortSound;

// The sound server reached through the PulseAudio client library (PulseAudio itself or
// PipeWire's pulse server).
//
// Thread contract: as SoundServer: methods on the owner thread, each waiting at most
// PulseConnection::answerTimeout per answer; signals are emitted on the server's thread.
class PulseSoundServer : public SoundServer {
    Q_OBJECT
public:
    // Connects; nullptr with a reason when no server answers.
    static std::unique_ptr<PulseSoundServer> connect(std::string* error);
    ~PulseSoundServer() override;

    bool isConnected() const override;
    std::vector<SoundDevice> devices() override;
    bool selectLine(const SoundLine& line) override;
    bool isLineSelected(const SoundLine& line) override;
    std::optional<double> lineVolume(const SoundLine& line) override;
    bool setLineVolume(const SoundLine& line, double volume) override;
    std::optional<double> lineBalance(const SoundLine& line) override;
    bool setLineBalance(const SoundLine& line, double balance) override;
    std::optional<int> defaultSinkVolume() override;
    bool setDefaultSinkVolume(int volume) override;
    std::unique_ptr<CaptureSource> createCaptureSource(const SoundLine& line) override;
    std::unique_ptr<PlaybackStream> createPlayback(const AudioFormat& format,
                                                   std::string* error) override;
    bool playSound(const AudioFormat& format, std::vector<std::uint8_t> pcm) override;

    // What the server lists now, as a plain snapshot; nullopt when it does not answer.
    std::optional<ServerModel> snapshot();

private:
    explicit PulseSoundServer(std::shared_ptr<PulseConnection> connection);

    // What the owner thread needs of one source or sink. The query helpers are called with the
    // lock held and wait for the answer.
    struct SourceState {
        pa_cvolume volume{};
        pa_channel_map map{};
        std::string activePort;
        std::vector<std::string> ports;
    };
    std::optional<SourceState> querySource(const std::string& name);
    bool writeSourceVolume(const std::string& name, const pa_cvolume& volume);
    std::optional<std::string> queryDefaultSinkName();
    std::optional<pa_cvolume> querySinkVolume(const std::string& name);
    std::optional<int> defaultSinkVolumeLocked();

    // Server's thread: events, and the re-query of the speakers' volume that they trigger (one
    // at a time; events arriving meanwhile ask for one more).
    static void onEvent(pa_context* context, pa_subscription_event_type_t type, std::uint32_t index,
                        void* self);
    void requeryDefaultSinkVolume();
    static void onServerInfo(pa_context* context, const pa_server_info* info, void* self);
    static void onDefaultSinkInfo(pa_context* context, const pa_sink_info* info, int eol,
                                  void* self);
    void sinkVolumeQueryDone();

    std::shared_ptr<PulseConnection> m_connection;
    // Everything below is used with the lock held.
    std::optional<SoundLine> m_selected;
    // The balance of a source whose volume was set to zero (all channels equal then), restored
    // when its volume rises again.
    std::map<std::string, float> m_balanceAtZero;
    std::unique_ptr<PulseShortSound> m_sound;
    pa_operation* m_volumeOperation = nullptr;
    bool m_volumeQueryAgain = false;
    int m_lastSinkVolume = -1;
};

}  // namespace orvel::platform
