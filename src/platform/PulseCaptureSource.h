#pragma once

#include <memory>
#include <string>

#include "audio/CaptureSource.h"
#include "platform/PulseConnection.h"

namespace orvel::platform {

// Live capture from one source of the sound server: a record stream in the recording's exact
// format, delivering about every 100 ms, handing each piece to the consumer on the server's
// thread. Monitoring plays the same pieces to the speakers from that thread.
//
// Thread contract: start, stop, setMonitor and the destructor on the owner thread; the
// consumer is called on the server's thread with the connection's lock held, never after
// stop() returned or the source was destroyed.
class PulseCaptureSource : public CaptureSource {
public:
    // The server hands over captured sound in pieces of this length.
    static constexpr std::chrono::milliseconds deliveryPeriod{100};
    // The longest stop() waits for the sound captured before it to arrive.
    static constexpr std::chrono::milliseconds stopWait{500};
    // The delay of hearing the recording, on top of one delivery. The server splits it between
    // the sink and a queue; the queue must hold a delivery and a half (pieces come in bursts,
    // the sink takes in bursts) or the speakers run dry and overflow by turns. Playing starts
    // half way, so that the first deliveries do not find the queue full.
    static constexpr std::chrono::milliseconds monitorLatency{500};

    PulseCaptureSource(std::shared_ptr<PulseConnection> connection, std::string sourceName);
    ~PulseCaptureSource() override;

    bool start(const AudioFormat& format, CaptureConsumer* consumer, std::string* error) override;
    void stop() override;
    void setMonitor(bool on) override;

private:
    static void onRecordState(pa_stream* stream, void* self);
    static void onReadable(pa_stream* stream, std::size_t bytes, void* self);
    static void onMonitorState(pa_stream* stream, void* self);
    void deliverReadable();
    bool monitorHasRoom() const;
    void feedMonitor(const std::uint8_t* data, std::size_t bytes);
    void openMonitor();
    void closeMonitor();
    void closeStream();
    std::uint64_t stopTarget();

    std::shared_ptr<PulseConnection> m_connection;
    std::string m_sourceName;
    // Everything below is read and written with the connection's lock held.
    pa_sample_spec m_spec{};
    pa_channel_map m_map{};
    pa_stream* m_stream = nullptr;
    pa_stream* m_monitor = nullptr;
    CaptureConsumer* m_consumer = nullptr;  // null once the consumer must not be called
    bool m_monitorWanted = false;
    bool m_stopping = false;
    std::uint64_t m_delivered = 0;  // bytes handed over, holes included
    // Reserved at start so that the server's thread never allocates to report an end.
    std::string m_endDetail;
};

}  // namespace orvel::platform
