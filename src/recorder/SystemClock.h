#pragma once

#include "recorder/RecorderClock.h"

namespace orvel {

// The machine's own clocks: local time and the monotonic clock.
//
// Thread contract: any thread.
class SystemClock : public RecorderClock {
public:
    QDateTime now() const override;
    std::int64_t steadyMs() const override;
};

}  // namespace orvel
