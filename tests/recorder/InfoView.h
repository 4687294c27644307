#pragma once

#include <string>
#include <utility>
#include <vector>

#include "recorder/RecorderView.h"

namespace orvel::test {

// A view that keeps the info lines it is shown; nothing else is asked of it by the parts of the
// recorder tested on their own.
class InfoView : public RecorderView {
public:
    using Lines = std::pair<std::string, std::string>;

    void showInfo(const std::string& line1, const std::string& line2) override {
        shown.emplace_back(line1, line2);
    }
    void showState(const FaceState&) override {}
    void showTimes(const std::string&, const std::string&, int) override {}
    void showLevels(const LevelFrame&) override {}
    void showClock(const std::string&) override {}
    void askOverwrite(const std::string&, std::function<void(bool)>) override {}
    void tellNoMemory(std::function<void()>) override {}
    void openStartupWindow(const std::string&) override {}
    void openScheduleWindow() override {}
    void openOutputSettings() override {}
    void openWmaSettings() override {}
    void openDocument(const std::string&) override {}
    void closeProgram() override {}

    std::vector<Lines> shown;
};

}  // namespace orvel::test
