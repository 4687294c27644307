#include "cli/CommandText.h"

#include "config/LanguageTable.h"
#include "config/SettingsStore.h"
#include "config/Text.h"

namespace orvel::command {

std::optional<std::string> optionValue(const std::vector<std::string>& arguments,
                                       std::size_t& index) {
    const std::string& argument = arguments[index];
    const std::size_t equals = argument.find('=');
    if (equals != std::string::npos) {
        return argument.substr(equals + 1);
    }
    if (index + 1 < arguments.size()) {
        return arguments[++index];
    }
    return std::nullopt;
}

std::string languageMessage(const SettingsStore& settings, std::string_view key) {
    LanguageTable language;
    language.Load(LanguageTable::LanguageFolder(settings), settings.readLanguage());
    const LanguageTable::MessageLines lines = language.Message(key);
    std::string message(text::trimBlanks(lines.line1));
    const std::string_view second = text::trimBlanks(lines.line2);
    if (!second.empty()) {
        message += (message.empty() ? "" : " ") + std::string(second);
    }
    return message;
}

std::string lostSoundText(std::uint64_t milliseconds) {
    return std::to_string(milliseconds) +
           " ms of sound were lost because the recording could not keep up";
}

}  // namespace orvel::command
