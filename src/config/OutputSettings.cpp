#include "config/OutputSettings.h"

#include "config/FolderCheck.h"
#include "config/SettingsStore.h"
#include "config/Text.h"

namespace orvel {

OutputSettings OutputSettings::fromStore(const SettingsStore& store,
                                         const std::string& defaultPath) {
    OutputSettings s;
    std::string path = store.readLastName();
    if (path.empty()) {
        path = defaultPath;
    }
    if (const std::size_t slash = path.rfind('/'); slash != std::string::npos) {
        s.folder = path.substr(0, slash + 1);
        s.fileName = path.substr(slash + 1);
    }
    if (const auto format = formatOfFileName(s.fileName)) {
        s.chooseFormat(*format);
    }
    s.multiFile = store.readMultiFileStatus() != 0;
    s.timeStamped = store.readTimeStampedStatus() != 0;
    s.alert = store.readNumber(setting::kAlert) != 0;
    return s;
}

bool OutputSettings::chooseFormat(OutputFormat chosen) {
    if (format == chosen) {
        return false;
    }
    const std::string extension(extensionOf(chosen));
    std::string name(text::cutBytes(fileName, kNameBytes));
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) {
        name = name.substr(0, dot + 1) + extension;
    } else if (text::trimBlanks(name).empty()) {
        name = "Orvel." + extension;
    } else {
        name += "." + extension;
    }
    fileName = name;
    format = chosen;
    return true;
}

void OutputSettings::toggleMultiFile() {
    multiFile = !multiFile;
    if (!multiFile) {
        timeStamped = false;
    }
}

void OutputSettings::toggleTimeStamped() {
    timeStamped = !timeStamped;
    if (timeStamped) {
        multiFile = true;
    }
}

std::string OutputSettings::normalisedFolder() const {
    std::string trimmed(text::trimTrailingBlanks(folder));
    if (trimmed.empty() || trimmed.back() != '/') {
        trimmed += '/';
    }
    return trimmed;
}

std::string OutputSettings::lastName() const {
    return normalisedFolder() + fileName;
}

std::string OutputSettings::nameRefusal() const {
    return "\"" + fileName + "\" cannot be recorded: " + kWrittenExtensionsText + ".";
}

OutputSettings::SaveResult OutputSettings::save(const SettingsStore& store) const {
    // Any other name would get one of these formats under an extension that says otherwise.
    if (!formatOfFileName(text::trimTrailingSpace(fileName))) {
        return SaveResult::NameNotWritten;
    }
    const std::string target = normalisedFolder();
    // A relative folder would put recordings wherever the program happens to be started.
    if (target.front() != '/' || text::trimBlanks(folder).empty()) {
        return SaveResult::FolderInvalid;
    }
    if (!FolderCheck::create(target)) {
        return SaveResult::FolderNotCreated;
    }
    store.writeTimeStampedStatus(timeStamped ? 1 : 0);
    store.writeMultiFileStatus(multiFile ? 1 : 0);
    store.writeNumber(setting::kAlert, alert ? 1 : 0);
    store.writeLastName(lastName());
    return SaveResult::Saved;
}

}  // namespace orvel
