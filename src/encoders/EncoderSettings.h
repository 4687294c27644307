#pragma once

#include "audio/AudioFormat.h"
#include "encoders/Mp3Options.h"
#include "encoders/TagRecord.h"

namespace orvel {

class SettingsStore;

// Everything the MP3 and WMA outputs of a recording need besides the request itself, in one
// plain record: filled from the settings store by fromStore, or set field by field (a
// command-line recorder sets what its options name and keeps the rest).
//
// Thread contract: a plain value, any thread; fromStore as SettingsStore.
struct EncoderSettings {
    // MP3
    int mp3BitrateIndex = 0;  // index into the MP3 bit-rate table; 0 is the default, 128 kbit/s
    int mp3Mode = 0;          // 0: the recording's channels, 1: mono, 2: stereo
    Mp3Options mp3;           // header flags, the ID3 switch and the tag texts

    // WMA
    int wmaProfile = -1;      // profile index; -1 (or an unknown index): the first profile that
                              // takes the recording's format
    TagRecord wmaAttributes;  // artist, title, album, composer, copyright, description, genre
                              // text; an empty description gives the home-page address

    // The bit rate in kbit/s the index stands for (the default for an unknown index).
    int mp3BitRateKbps() const;

    // The capture format of an MP3 recording chosen as `chosen`: the channel count of mp3Mode
    // when it is not 0, a rate below 32000 Hz raised to 44100 Hz, 8 bits raised to 16. The MP3
    // output takes nothing else.
    AudioFormat mp3RecordingFormat(const AudioFormat& chosen) const;

    // The stored choices: MP3Bitrate, MP3Mode, CRC, Original, Copyright, Private, ID3, Artist,
    // Album, Title, Year, Genre; WMAFormat, WMAArtist, WMATitle, WMAAlbum, WMAComposer,
    // WMACopyright, WMADescription and the name of genre WMAGenre (none outside 0..79).
    static EncoderSettings fromStore(const SettingsStore& store);
};

}  // namespace orvel
