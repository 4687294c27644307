#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "config/SettingsStore.h"
#include "platform/SoundServer.h"

namespace orvel {

// What every command of the headless recorder works with: its two streams, the settings it
// reads, and the way to the sound server. Results go to out(); notes and refusals to the error
// stream, each line behind "orvel-rec: ". A refusal is the language table's message (both its
// lines on one, as the recorder window shows it), then a plain technical detail.
//
// Thread contract: called on the GUI thread of a QCoreApplication.
class CommandContext {
public:
    // Connects to the sound server; nullptr with the reason in *error when none answers.
    using ServerFactory = std::function<std::unique_ptr<platform::SoundServer>(std::string*)>;

    CommandContext(std::ostream& out, std::ostream& err, ServerFactory connect,
                   SettingsStore settings);

    std::ostream& out() const { return m_out; }
    std::ostream& err() const { return m_err; }
    const SettingsStore& settings() const { return m_settings; }

    void note(const std::string& text) const;
    // Either part may be empty: it is then left out.
    void refuse(std::string_view messageKey, const std::string& detail) const;
    // A command line that cannot be used: why, and where to look. Returns command::kExitUsage.
    int usageError(const std::string& problem) const;
    // The sound server; nullptr, told as a refusal, when none answers.
    std::unique_ptr<platform::SoundServer> connectServer() const;

private:
    std::ostream& m_out;
    std::ostream& m_err;
    ServerFactory m_connect;
    SettingsStore m_settings;
};

}  // namespace orvel
