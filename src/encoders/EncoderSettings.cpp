#include "encoders/EncoderSettings.h"

#include "config/FormatTables.h"
#include "config/SettingsStore.h"
#include "encoders/GenreTable.h"

namespace orvel {

namespace {

constexpr int kMp3LowestRate = 32000;
constexpr int kMp3RaisedRate = 44100;

}  // namespace

int EncoderSettings::mp3BitRateKbps() const {
    const int index = format::isMp3BitrateIndex(mp3BitrateIndex) ? mp3BitrateIndex : 0;
    return format::kMp3Bitrates[static_cast<std::size_t>(index)];
}

AudioFormat EncoderSettings::mp3RecordingFormat(const AudioFormat& chosen) const {
    AudioFormat format = chosen;
    if (mp3Mode == 1 || mp3Mode == 2) {
        format.channels = mp3Mode;
    }
    if (format.sampleRate < kMp3LowestRate) {
        format.sampleRate = kMp3RaisedRate;
    }
    format.bitsPerSample = 16;
    return format;
}

EncoderSettings EncoderSettings::fromStore(const SettingsStore& store) {
    EncoderSettings settings;
    settings.mp3BitrateIndex = store.readMp3Bitrate();
    settings.mp3Mode = store.readMp3Mode();
    Mp3Options& mp3 = settings.mp3;
    mp3.crc = store.readNumber(setting::kCrc) != 0;
    mp3.original = store.readNumber(setting::kOriginal) != 0;
    mp3.copyright = store.readNumber(setting::kCopyright) != 0;
    mp3.privateBit = store.readNumber(setting::kPrivate) != 0;
    mp3.writeId3 = store.readNumber(setting::kId3) != 0;
    mp3.setArtist(store.readText(setting::kArtist));
    mp3.setAlbum(store.readText(setting::kAlbum));
    mp3.setTitle(store.readText(setting::kTitle));
    mp3.setYear(store.readText(setting::kYear));
    mp3.genre = static_cast<std::uint8_t>(store.readNumber(setting::kGenre) & 0xFF);

    settings.wmaProfile = store.readNumber(setting::kWmaFormat);
    TagRecord& wma = settings.wmaAttributes;
    wma.artist = store.readText(setting::kWmaArtist);
    wma.title = store.readText(setting::kWmaTitle);
    wma.album = store.readText(setting::kWmaAlbum);
    wma.composer = store.readText(setting::kWmaComposer);
    wma.copyright = store.readText(setting::kWmaCopyright);
    wma.description = store.readText(setting::kWmaDescription);
    wma.genre = genre::name(store.readNumber(setting::kWmaGenre));
    wma.fitTexts();
    return settings;
}

}  // namespace orvel
