#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "config/LanguageTable.h"

namespace orvel {

class RecorderView;

// The two lines of the recorder's info line as last shown, and how texts get there: messages
// of the language table, the recorder's own texts, and the running recording's text, which
// follows the sound ("Recording", or the waiting text while signal mode waits for sound). A
// message stays until something else replaces it: the recording's text only ever replaces
// itself.
//
// Thread contract: called on the GUI thread.
class InfoLine {
public:
    // The longest text the face draws on a line.
    static constexpr std::size_t kCapacity = 201;
    static constexpr char kReadyText[] = "Ready to record";
    static constexpr char kRecordingText[] = "Recording";
    // The language key of the text shown in place of kRecordingText while signal mode waits for
    // sound. A key of our own: language files without it show the English text.
    static constexpr char kWaitingKey[] = "WaitingForSound";

    // What the recording's text follows, tick by tick.
    enum class Sound {
        Heard,      // a recording runs and does not wait for sound: "Recording"
        Awaited,    // signal mode waits for sound, in a recording or between two tracks
        Over,       // nothing waits any more: the waiting text gives way to kReadyText
        Unchanged,  // the line stays as it is
    };

    // Keeps both lines through a stretch of work that may show something else meanwhile (a
    // stop whose cause is on the line already): they are shown again when it goes.
    class Kept {
    public:
        Kept(InfoLine& info, bool keep);
        ~Kept();
        Kept(const Kept&) = delete;
        Kept& operator=(const Kept&) = delete;

    private:
        InfoLine* m_info;
        std::string m_line1;
        std::string m_line2;
    };

    InfoLine(RecorderView& view, const LanguageTable& language);

    // Reads the waiting text; the language table is loaded by then.
    void load();

    void show(const std::string& line1, const std::string& line2);
    // Both lines of a message of the language table.
    void message(std::string_view key);
    // A message's lines, cut to the face's width, for a caller that adds to them.
    LanguageTable::MessageLines lines(std::string_view key) const;

    // The running recording's text: kRecordingText, or the waiting text.
    const std::string& recordingText(bool waiting) const;
    // Brings the recording's text up to date; a message is left alone.
    void follow(Sound sound);

    const std::string& line1() const { return m_line1; }
    const std::string& line2() const { return m_line2; }

private:
    RecorderView& m_view;
    const LanguageTable& m_language;
    std::string m_line1 = kReadyText;
    std::string m_line2;
    std::string m_waiting = kRecordingText;
    const std::string m_recording = kRecordingText;
};

}  // namespace orvel
