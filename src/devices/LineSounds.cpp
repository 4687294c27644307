#include "devices/LineSounds.h"

#include <QFile>
#include <algorithm>

#include "audio/WavReader.h"

namespace orvel {

std::string LineSounds::resourceName(int lineIndex) {
    if (lineIndex < 0) {
        return {};
    }
    return "IDSOUND_LINE" + std::to_string(lineIndex % kCount + 1);
}

QString LineSounds::resourcePath(std::string_view name) {
    return QStringLiteral(":/sounds/") +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

std::optional<SoundClip> LineSounds::load(std::string_view name) {
    if (name.empty()) {
        return std::nullopt;
    }
    QFile file(resourcePath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const WavInfo info = WavReader::readBytes(data, static_cast<std::size_t>(bytes.size()));
    if (!info.ok() || info.formatTag != 1 || !info.audioFormat().isValid()) {
        return std::nullopt;
    }
    SoundClip clip;
    clip.format = info.audioFormat();
    const std::size_t frame = static_cast<std::size_t>(clip.format.blockAlign());
    const auto total = static_cast<std::size_t>(bytes.size());
    if (info.dataOffset > total) {
        return std::nullopt;
    }
    const std::size_t available =
        std::min(static_cast<std::size_t>(info.dataSize), total - info.dataOffset);
    const std::size_t size = available / frame * frame;
    clip.pcm.assign(data + info.dataOffset, data + info.dataOffset + size);
    return clip;
}

}  // namespace orvel
