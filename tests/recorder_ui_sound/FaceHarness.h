#pragma once

#include <QPoint>
#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../engine_sound/EngineSoundSupport.h"
#include "config/HotKeyScript.h"
#include "config/SettingsStore.h"
#include "recorder/RecorderParts.h"
#include "support/TempDir.h"
#include "ui/front/FrontFace.h"

// The program's front face on the real controller, engine, player and devices of the private
// sound server, shown offscreen, with settings in a folder of the test's own.
namespace orvel::test {

// The face, keeping what its controller told it.
class TestFace : public FrontFace {
public:
    using FrontFace::commandTable;
    using FrontFace::FrontFace;
    void showState(const FaceState& state) override {
        states.push_back(state);
        FrontFace::showState(state);
    }
    void showInfo(const std::string& line1, const std::string& line2) override {
        infos.push_back(line1);
        FrontFace::showInfo(line1, line2);
    }
    void fileFinished(const FinishedFile& file) override { files.push_back(file); }
    bool shown(const std::string& line1) const {
        return std::find(infos.begin(), infos.end(), line1) != infos.end();
    }

    std::vector<std::string> infos;
    std::vector<FaceState> states;
    std::vector<FinishedFile> files;
};

class FaceHarness {
public:
    struct Options {
        // The stored line's source name; none: the first run.
        std::optional<std::string> line = std::string("tone");
    };

    FaceHarness();
    ~FaceHarness();

    // Makes, initialises and shows the face. False (with a failure) without the server.
    bool make(Options options);
    bool make() { return make(Options{}); }

    TestFace& face() { return *m_face; }
    RecorderController& controller() { return m_face->controller(); }
    RecorderParts& parts() { return *m_parts; }
    platform::SoundServer& server() { return *m_server; }
    const SettingsStore& settings() const { return m_settings; }
    // The face's hot-key script (the built-in one); a test may load another into it.
    HotKeyScript& keys() { return m_keys; }
    std::string file(const std::string& name) const { return m_dir.file(name); }
    void writeFile(const std::string& name, const std::string& bytes) const {
        m_dir.write(name, bytes);
    }
    std::vector<std::string> logLines() const;

    // A click on a control of the face by its id, or on a point of the face.
    void click(ControlId id);
    void clickAt(const QPoint& point);
    // Handles events until the condition holds or the time is up.
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
    void run(std::chrono::milliseconds time);

private:
    TempDir m_dir{TempDir::Xdg::Redirect};
    SettingsStore m_settings;
    std::unique_ptr<platform::SoundServer> m_server;
    std::unique_ptr<RecorderParts> m_parts;
    HotKeyScript m_keys;
    std::unique_ptr<TestFace> m_face;
};

}  // namespace orvel::test
