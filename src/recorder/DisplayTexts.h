#pragma once

#include <cstdint>
#include <string>

// The texts of the front face's three small displays: the recording display (size written and
// time recorded), the playback display (position and length) and the clock.
//
// Thread contract: pure functions, any thread.
namespace orvel::display {

// "512KB / 00:31", "12.50MB / 01:02:03", "1,005.50MB / 00:00": the size part from the bytes
// written (the whole 64-bit count: a recording past 4 GiB goes on counting, "5,120.00MB") with
// the hundredths of a megabyte rounded down, then the time part, whose hours appear only when
// there are any.
std::string recordingText(std::uint64_t bytesWritten, std::uint32_t recordedSeconds);

// "75:03 / 80:00": whole minutes without an upper limit and seconds, of the position and the
// length in milliseconds (negative values show as 0).
std::string playbackText(std::int64_t positionMs, std::int64_t lengthMs);

// "%02d:%02d:%02d", the clock display.
std::string clockText(int hour, int minute, int second);

}  // namespace orvel::display
