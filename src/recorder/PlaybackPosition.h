#pragma once

#include <cstdint>
#include <string>

namespace orvel {

class MediaPlayer;
class OutputNaming;
class SettingsStore;

// What the play button plays and where: the play source's file (the file-name field's file, the
// background music, the file chosen in the history), its length, and the position slider
// (0..100), which follows the player while it plays and otherwise chooses where the next
// playback starts. A file whose length reads as 0 (or unknown) keeps the slider at 0.
//
// Thread contract: called on the GUI thread.
class PlaybackPosition {
public:
    // The player's position is read on every 20th tick of the common part.
    static constexpr int kFollowTicks = 20;

    PlaybackPosition(MediaPlayer& player, const SettingsStore& settings,
                     const OutputNaming& naming);

    // 0 the field's file, 1 the background music, 2 the history's file; false, with nothing
    // changed, for any other.
    bool chooseSource(int source);
    int source() const { return m_source; }
    std::string file() const;

    // A playback of `file` starts: its length is read again; where in it to start, in ms.
    std::int64_t start(const std::string& file);
    // A tick of the common part while playing and not paused: true when the slider moved.
    bool follow();
    // The user moved the slider; while playing, the player seeks.
    void slide(int position, bool endOfDrag, bool playing);

    // A recording's file is complete: its length, as the player measured it.
    void recorded(std::int64_t durationMs) { m_durationMs = durationMs; }
    // A recording stopped: the field's file from its start.
    void reset();

    // The position and the length for the playback display, in ms; the slider.
    std::int64_t positionMs(bool playing) const;
    std::int64_t lengthMs() const { return m_durationMs > 0 ? m_durationMs : 0; }
    int slider() const { return m_slider; }

private:
    MediaPlayer& m_player;
    const SettingsStore& m_settings;
    const OutputNaming& m_naming;
    int m_source = 0;
    std::int64_t m_durationMs = -1;  // -1: not read yet, or unknown
    int m_slider = 0;
    int m_divider = 0;
};

}  // namespace orvel
