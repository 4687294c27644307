#include "config/LanguageTable.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include "config/SettingsStore.h"
#include "config/Text.h"

namespace orvel {

LanguageTable::LanguageTable() : m_document(TagDocument::Kind::Language) {}

std::string LanguageTable::WithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

std::string LanguageTable::LanguageFolder(const SettingsStore& settings) {
    return WithSeparator(settings.effectiveInstallFolder());
}

bool LanguageTable::Load(const std::string& folder, const std::string& languageName) {
    m_folder = WithSeparator(folder);
    if (languageName.empty() || languageName == kBuiltinName) {
        m_document.Load({});
        return false;
    }
    const std::string file = FindFile(languageName);
    if (file.empty()) {
        m_document.Load({});
        return false;
    }
    // A file that vanished or cannot be read leaves the built-in text in place.
    return m_document.Load(pathOf(file));
}

void LanguageTable::LoadText(std::string_view bytes) {
    m_document.LoadText(bytes);
}

LanguageTable::MessageLines LanguageTable::Message(std::string_view key, std::size_t length) const {
    MessageLines lines;
    const std::optional<std::string> element = m_document.FirstText(key, kMessageCapacity);
    if (!element) {
        return lines;
    }
    auto line = [&](std::string_view tag) {
        const std::string text =
            TagDocument::TextWithin(*element, tag, kLineCapacity).value_or(std::string());
        return text::fitCapacity(text, length);
    };
    lines.line1 = line("Line1");
    lines.line2 = line("Line2");
    lines.line3 = line("Line3");
    return lines;
}

LanguageTable::MessageLines LanguageTable::OwnMessage(std::string_view key,
                                                      std::size_t length) const {
    MessageLines lines = Message(key, length);
    if (lines.line1.empty() && lines.line2.empty() && lines.line3.empty() &&
        !m_document.IsBuiltin()) {
        lines = LanguageTable().Message(key, length);
    }
    return lines;
}

std::string LanguageTable::Text(std::string_view section, std::string_view key,
                                std::size_t length) const {
    const std::optional<std::string> element = m_document.FirstText(section, kMessageCapacity);
    if (!element) {
        return {};
    }
    const std::string text =
        TagDocument::TextWithin(*element, key, kLineCapacity).value_or(std::string());
    return text::fitCapacity(text, length);
}

std::string LanguageTable::Tooltip(std::string_view controlName, std::size_t length) const {
    const std::string text =
        m_document.FirstText(controlName, kTooltipCapacity).value_or(std::string());
    return text::fitCapacity(text, length);
}

std::string LanguageTable::pathOf(const std::string& fileName) const {
    return m_folder + fileName;
}

std::string LanguageTable::LanguageNameOf(const std::string& fileName) const {
    QFile file(QString::fromStdString(pathOf(fileName)));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray head = file.read(static_cast<qint64>(kNameWindowBytes));
    std::string_view bytes(head.constData(), static_cast<std::size_t>(head.size()));
    // The head is read as a zero-terminated text, like a whole document.
    if (const std::size_t zero = bytes.find('\0'); zero != std::string_view::npos) {
        bytes = bytes.substr(0, zero);
    }
    return TagDocument::TextWithin(bytes, "LanguageName", kNameCapacity).value_or(std::string());
}

std::vector<std::string> LanguageTable::languageFiles() const {
    // Sorted by name so that "first in the folder" means the same on every file system.
    const QDir dir(m_folder.empty() ? QStringLiteral(".") : QString::fromStdString(m_folder));
    const QStringList names = dir.entryList(QStringList{QStringLiteral("*.xml")},
                                            QDir::Files | QDir::Readable, QDir::Name);
    std::vector<std::string> files;
    files.reserve(static_cast<std::size_t>(names.size()));
    for (const QString& name : names) {
        files.push_back(name.toStdString());
    }
    return files;
}

std::string LanguageTable::FindFile(const std::string& languageName) const {
    for (const std::string& file : languageFiles()) {
        if (LanguageNameOf(file) == languageName) {
            return file;
        }
    }
    return {};
}

LanguageTable::LanguageList LanguageTable::ListLanguages(const std::string& currentName) const {
    LanguageList list;
    bool builtinNamed = false;
    for (const std::string& file : languageFiles()) {
        std::string name = LanguageNameOf(file);
        if (name.empty()) {
            continue;
        }
        builtinNamed = builtinNamed || name == kBuiltinName;
        list.names.push_back(std::move(name));
    }
    if (!builtinNamed) {
        list.names.emplace_back(kBuiltinName);
    }
    for (std::size_t i = 0; i < list.names.size(); ++i) {
        if (list.names[i] == currentName) {
            list.selected = static_cast<int>(i);
            break;
        }
    }
    return list;
}

}  // namespace orvel
