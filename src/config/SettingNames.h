#pragma once

#include <cstddef>

// Every value the recorder keeps in its settings store, with the name it is stored under and
// its default. This is the one place where names, types and defaults are fixed: the names are
// those of existing stored settings and must not change.
//
// Thread contract: constants, any thread.
namespace orvel::setting {

// A number (signed 32-bit) and the value that stands for it when it is absent or unreadable.
struct NumberSetting {
    const char* name;
    int defaultValue;
};

// A text (UTF-8, default empty) and the capacity of its reader, counting a terminating zero:
// a stored text of capacity bytes or more reads as empty.
struct TextSetting {
    const char* name;
    std::size_t capacity;
};

inline constexpr std::size_t kTextCapacity = 1000;
inline constexpr std::size_t kInstallPathCapacity = 200;
inline constexpr std::size_t kAbilityCapacity = 36;

// Values with their own reader and writer in SettingsStore.
inline constexpr NumberSetting kFreq{"Freq", 7};            // rate index, 7 = 44100 Hz
inline constexpr NumberSetting kBit{"Bit", 1};              // non-zero = 16 bits
inline constexpr NumberSetting kChannel{"Channel", 1};      // non-zero = stereo
inline constexpr NumberSetting kVolume{"Volume", 32000};    // speakers, 0..65535
inline constexpr NumberSetting kDevice{"Device", -1};       // -1 = none chosen
inline constexpr NumberSetting kAudioLine{"AudoLine", -1};  // the stored name is misspelt
inline constexpr NumberSetting kMp3Mode{"MP3Mode", 0};
inline constexpr NumberSetting kMp3Bitrate{"MP3Bitrate", 0};
inline constexpr NumberSetting kThreshold{"Threshold", 0};  // value - 48 dB
inline constexpr NumberSetting kSignalType{"SignalType", 0};
inline constexpr NumberSetting kNewFileDelay{"NewFileDelay", 0};  // seconds
inline constexpr NumberSetting kShowSwitch{"ShowSwitch", 0};
inline constexpr NumberSetting kScheduleType{"ScheduleType", 0};
inline constexpr NumberSetting kMultiFileStatus{"BtnMultiFileStatus", 0};
inline constexpr NumberSetting kTimeStampedStatus{"BtnTimeStampedStatus", 0};

inline constexpr TextSetting kLastName{"LastName", kTextCapacity};
inline constexpr TextSetting kLanguage{"Language", kTextCapacity};
inline constexpr TextSetting kInstallPath{"InstallPath", kInstallPathCapacity};
inline constexpr TextSetting kAbility{"Ability", kAbilityCapacity};
// The server's stable names of the chosen device and line beside their indexes `Device` and
// `AudoLine`, which move when devices come and go.
inline constexpr TextSetting kDeviceName{"DeviceName", kTextCapacity};
inline constexpr TextSetting kLineName{"LineName", kTextCapacity};

// Ranges that the readers enforce. Out of range, Threshold and Volume are clamped (they are
// levels); the others read as their default, because they index tables or lists of that size.
inline constexpr int kThresholdMax = 47;
inline constexpr int kSignalTypeMax = 2;
inline constexpr int kNewFileDelayMax = 25;
inline constexpr int kMp3ModeMax = 2;  // "Default", "Mono", "Stereo"
inline constexpr int kVolumeMax = 65535;

// Values read and written by name.
inline constexpr NumberSetting kAlert{"Alert", 1};  // ask before overwriting a file
inline constexpr TextSetting kPlayFile{"PlayFile", kTextCapacity};

inline constexpr NumberSetting kCrc{"CRC", 0};
inline constexpr NumberSetting kOriginal{"Original", 0};
inline constexpr NumberSetting kCopyright{"Copyright", 0};
inline constexpr NumberSetting kPrivate{"Private", 0};
inline constexpr NumberSetting kId3{"ID3", 0};  // write an ID3 tag
inline constexpr TextSetting kArtist{"Artist", kTextCapacity};
inline constexpr TextSetting kAlbum{"Album", kTextCapacity};
inline constexpr TextSetting kTitle{"Title", kTextCapacity};
inline constexpr TextSetting kYear{"Year", kTextCapacity};
inline constexpr NumberSetting kGenre{"Genre", 0};  // low byte used

inline constexpr NumberSetting kBackgroundScale{"Background Scale", 50};
inline constexpr NumberSetting kBackgroundChannel{"Background Channel", 0};
inline constexpr NumberSetting kRecordingChannel{"Recording Channel", 0};
inline constexpr NumberSetting kVocalChannel{"Vocal Channel", 0};
inline constexpr NumberSetting kRemoveVoice{"Remove Voice", 0};
inline constexpr NumberSetting kBackgroundAction{"Background Action", 0};
inline constexpr NumberSetting kBackgroundEnablePreview{"Background Enable Preview", 1};
inline constexpr TextSetting kBackgroundFile{"Background File", kTextCapacity};

inline constexpr TextSetting kWmaAlbum{"WMAAlbum", kTextCapacity};
inline constexpr TextSetting kWmaArtist{"WMAArtist", kTextCapacity};
inline constexpr TextSetting kWmaTitle{"WMATitle", kTextCapacity};
inline constexpr TextSetting kWmaComposer{"WMAComposer", kTextCapacity};
inline constexpr TextSetting kWmaCopyright{"WMACopyright", kTextCapacity};
inline constexpr TextSetting kWmaDescription{"WMADescription", kTextCapacity};
inline constexpr NumberSetting kWmaGenre{"WMAGenre", 0};
inline constexpr NumberSetting kWmaFormat{"WMAFormat", -1};  // -1 = no profile chosen

// Milliseconds of sound kept from before a signal-started passage and written ahead of it
// (0: none); read clamped to 0..kPreRollMax.
inline constexpr NumberSetting kPreRoll{"PreRoll", 0};
inline constexpr int kPreRollMax = 2000;

inline constexpr NumberSetting kNoiseThreshold{"NoiseThreshold", 0};
inline constexpr NumberSetting kReleaseTime{"ReleaseTime", 0};
inline constexpr NumberSetting kAttackTime{"AttackTime", 0};
inline constexpr NumberSetting kHighPass{"HighPass", 0};
inline constexpr NumberSetting kLowPass{"LowPass", 20000};

// The desktop's autostart entry, kept beside the settings in the user's configuration folder.
inline constexpr char kAutostartFolder[] = "autostart";
inline constexpr char kAutostartFileName[] = "orvel.desktop";
// Signal recording armed, window hidden: the switches the autostart entry starts the program
// with.
inline constexpr char kAutostartSwitches[] = "/rs /hide";

// Where the recorder keeps its own files when no installation folder is set: this folder under
// the user's data folder.
inline constexpr char kDataFolderName[] = "orvel";

}  // namespace orvel::setting
