#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/AudioFormat.h"

namespace orvel {

// Why a capture source stopped delivering on its own.
enum class CaptureEnd {
    SourceLost,  // the recording line went away (device unplugged, source removed)
    ServerLost,  // the sound server went away
    EndOfInput,  // a finite source (a file) has delivered everything
    Failed,      // the stream failed for another reason
};

// Receives captured PCM from a CaptureSource. Implemented by the capture engine.
//
// Thread contract: both methods are called on the source's own thread (the sound server's
// callback thread for live capture), never concurrently with each other. They must not block
// and must not take locks shared with the GUI thread.
class CaptureConsumer {
public:
    virtual ~CaptureConsumer() = default;
    // The next piece of PCM in the run's exact format, any size. A null data pointer is a hole
    // of `bytes` bytes in the stream, to be filled with silence.
    virtual void onCapturedData(const std::uint8_t* data, std::size_t bytes) = 0;
    // The source stopped delivering by itself (not after stop()). Called at most once.
    virtual void onCaptureEnded(CaptureEnd reason, const std::string& detail) = 0;
    // Only for sources that are not live (a file fed as fast as the recording takes it): waits
    // until some of `wanted` bytes can be taken without dropping anything, or the timeout
    // passed, or the run is ending; returns how many may be delivered now (0: none). Live
    // sources never call it.
    virtual std::size_t waitForRoom(std::size_t wanted, std::chrono::milliseconds timeout) = 0;
};

// A source of PCM pieces in the recording's format: a line of the sound server, or a file.
//
// Thread contract: start, stop and setMonitor are called on the owner (GUI) thread.
class CaptureSource {
public:
    virtual ~CaptureSource() = default;

    // Starts delivering PCM in `format` to `consumer`. On failure returns false with a reason.
    virtual bool start(const AudioFormat& format, CaptureConsumer* consumer,
                       std::string* error) = 0;
    // Stops delivering. When stop() returns, the consumer is not called again, and everything
    // the source had captured before the call has been delivered (nothing is lost at stop).
    virtual void stop() = 0;
    // Lets the captured sound through to the speakers (hear the recording) or not.
    virtual void setMonitor(bool on) = 0;
    // Pieces dropped by the source because the consumer could not keep up (counted, not
    // silent). Any thread.
    virtual std::uint64_t droppedBytes() const { return 0; }
};

}  // namespace orvel
