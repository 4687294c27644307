#pragma once

#include <QDateTime>
#include <cstdint>

namespace orvel {

// The two times the recorder reads: the local wall-clock time (schedule windows, file names,
// the log, the clock display) and a steady count of milliseconds that never jumps (recorded
// time, the engine's silence delay). They are apart because a wall clock may jump (a suspended
// machine waking up, a time correction) while recorded time must not.
//
// Thread contract: called on the GUI thread.
class RecorderClock {
public:
    virtual ~RecorderClock() = default;
    virtual QDateTime now() const = 0;
    virtual std::int64_t steadyMs() const = 0;
};

}  // namespace orvel
