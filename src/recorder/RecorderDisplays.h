#pragma once

#include <QDateTime>

#include "audio/AudioFormat.h"
#include "audio/LevelDisplay.h"

namespace orvel {

class BackgroundMusic;
class CaptureEngine;
class PlaybackPosition;
class RecordedTime;
class RecorderView;

// The displays the recorder keeps up to date on its ticks: the level meter (from the recording's
// blocks, or from the playback's), the recording display ("512KB / 00:31") with the playback
// display and the position slider, and the clock. It reads the engine, the background music
// and the playback position, and changes none of them.
//
// Thread contract: called on the GUI thread.
class RecorderDisplays {
public:
    RecorderDisplays(RecorderView& view, const CaptureEngine& engine,
                     const BackgroundMusic& background, RecordedTime& time,
                     const PlaybackPosition& playback);

    // 1 the numeric meter, anything else the animated bars.
    void setStyle(int showSwitch) { m_levels.setStyle(showSwitch); }
    // A recording, a track or a playback starts: the meter's peak starts over.
    void resetHighest() { m_levels.resetHighest(); }

    void showTimes(bool playing);
    // The 50 ms display tick of a recording or a playback: the recorded time on every second
    // one (silence that signal mode waits through is not counted), the levels on each. `idle`:
    // the face's format, which a playback's levels are read in.
    void tick(bool recording, bool paused, bool signalMode, const AudioFormat& idle);
    void showClock(const QDateTime& now);

private:
    RecorderView& m_view;
    const CaptureEngine& m_engine;
    const BackgroundMusic& m_background;
    RecordedTime& m_time;
    const PlaybackPosition& m_playback;
    LevelDisplay m_levels;
    bool m_half = false;
};

}  // namespace orvel
