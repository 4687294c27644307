#include "cli/CommandContext.h"

#include <ostream>

#include "cli/CommandText.h"

namespace orvel {

CommandContext::CommandContext(std::ostream& out, std::ostream& err, ServerFactory connect,
                               SettingsStore settings)
    : m_out(out), m_err(err), m_connect(std::move(connect)), m_settings(std::move(settings)) {}

void CommandContext::note(const std::string& text) const {
    m_err << command::kPrefix << text << "\n";
}

void CommandContext::refuse(std::string_view messageKey, const std::string& detail) const {
    if (!messageKey.empty()) {
        const std::string message = command::languageMessage(m_settings, messageKey);
        if (!message.empty()) {
            note(message);
        }
    }
    if (!detail.empty()) {
        note(detail);
    }
}

int CommandContext::usageError(const std::string& problem) const {
    m_err << command::kPrefix << problem << "\n"
          << "Try orvel-rec --help for the commands and options.\n";
    return command::kExitUsage;
}

std::unique_ptr<platform::SoundServer> CommandContext::connectServer() const {
    std::string error;
    std::unique_ptr<platform::SoundServer> server = m_connect ? m_connect(&error) : nullptr;
    if (server == nullptr) {
        refuse("DeviceAvailabity",
               "no sound server answers" + (error.empty() ? std::string() : ": " + error));
    }
    return server;
}

}  // namespace orvel
