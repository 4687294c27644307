#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "recorder/RecorderView.h"

namespace orvel {

class RecorderController;

// The recorder's view on a terminal, for `orvel-rec run`: each change of the info line is
// printed with both its lines, each recording file once it is complete, and sound lost also on
// the error stream. Nobody is there to answer: the overwrite question is answered from
// --overwrite; without it "No", which ends the run (nothing recorded is ever overwritten unasked,
// and a run that may not record into its file has nothing left to do), the memory message is
// acknowledged, the first-run window continues without the automatic line search, and windows
// that cannot be shown are told as closed at once.
//
// Thread contract: called on the GUI thread.
class ConsoleView : public RecorderView {
public:
    // `closed` is called when the controller has run its close order.
    ConsoleView(std::ostream& out, std::ostream& err, std::function<void()> closed);

    void setController(RecorderController* controller) { m_controller = controller; }
    // Where the schedule list is read from, for the message when it is empty.
    void setScheduleFile(std::string path) { m_scheduleFile = std::move(path); }
    // Whether an existing file may be replaced (--overwrite).
    void setOverwrite(bool allowed) { m_overwrite = allowed; }
    // Whether a file was not replaced, which ended the run.
    bool refusedOverwrite() const { return m_refusedOverwrite; }

    void showInfo(const std::string& line1, const std::string& line2) override;
    void showState(const FaceState&) override {}
    void showTimes(const std::string&, const std::string&, int) override {}
    void showLevels(const LevelFrame&) override {}
    void showClock(const std::string&) override {}
    void askOverwrite(const std::string& path, std::function<void(bool)> answer) override;
    void tellNoMemory(std::function<void()> done) override;
    void openStartupWindow(const std::string& versionText) override;
    void openScheduleWindow() override;
    void openOutputSettings() override;
    void openWmaSettings() override;
    void openDocument(const std::string& path) override;
    void closeProgram() override;
    void fileFinished(const FinishedFile& file) override;
    void soundLost(std::uint64_t milliseconds) override;

private:
    void later(std::function<void()> call);

    std::ostream& m_out;
    std::ostream& m_err;
    std::function<void()> m_closed;
    RecorderController* m_controller = nullptr;
    std::string m_scheduleFile;
    std::string m_lastInfo;
    bool m_overwrite = false;
    bool m_refusedOverwrite = false;
};

}  // namespace orvel
