#pragma once

#include <string>

#include "config/SettingNames.h"

// The recorder's persistent settings: one QSettings store per user, the "Parameters" group of
// the "Orvel" organisation ($XDG_CONFIG_HOME/Orvel/Parameters.conf on Linux). Every call opens,
// reads or writes, and closes the store: there is no cache, so a value written by one window is
// seen by the next reader at once. Numbers are signed 32-bit integers, texts UTF-8.
//
// Readers return the default of their value when it is absent, when it is not of its type (a
// number that is not a whole decimal number within 32 bits, a text that is not a single text)
// or, for a text, when the stored text does not fit the reader's capacity. No failure is
// reported to the caller; writers that cannot write log a warning.
//
// Thread contract: called on the GUI thread (or any single thread); calls are self-contained.
namespace orvel {

class SettingsStore {
public:
    SettingsStore();                                  // the product's own store, "Orvel"
    explicit SettingsStore(std::string productName);  // another product's store (tests)

    const std::string& productName() const { return m_product; }

    // Typed accessors (names and defaults in config/SettingNames.h).
    int readFreq() const;  // 0..8 rate index, default 7
    void writeFreq(int value) const;
    int readBit() const;  // non-zero = 16 bits, default 1
    void writeBit(int value) const;
    int readChannel() const;  // non-zero = stereo, default 1
    void writeChannel(int value) const;
    int readVolume() const;  // 0..65535, default 32000
    void writeVolume(int value) const;
    int readDevice() const;  // -1 = none chosen
    void writeDevice(int value) const;
    int readAudioLine() const;  // "AudoLine", -1 = none chosen
    void writeAudioLine(int value) const;
    int readMp3Mode() const;
    void writeMp3Mode(int value) const;
    int readMp3Bitrate() const;
    void writeMp3Bitrate(int value) const;
    int readThreshold() const;  // clamped to 0..47
    void writeThreshold(int value) const;
    int readSignalType() const;  // 0..2, anything else reads as 0
    void writeSignalType(int value) const;
    int readNewFileDelay() const;  // 0..25, anything else reads as 0
    void writeNewFileDelay(int value) const;
    int readPreRoll() const;  // milliseconds, clamped to 0..2000
    void writePreRoll(int value) const;
    int readShowSwitch() const;
    void writeShowSwitch(int value) const;
    int readScheduleType() const;
    void writeScheduleType(int value) const;
    int readMultiFileStatus() const;  // "BtnMultiFileStatus"
    void writeMultiFileStatus(int value) const;
    int readTimeStampedStatus() const;  // "BtnTimeStampedStatus"
    void writeTimeStampedStatus(int value) const;

    std::string readLastName() const;  // capacity 1000
    void writeLastName(const std::string& value) const;
    std::string readLanguage() const;     // capacity 1000; the program never writes it
    std::string readInstallPath() const;  // capacity 200; the program never writes it
    void writeAbility(const std::string& value) const;  // 35 characters of "0"/"1"

    // Generic accessors for the values read and written by name.
    int readNumber(const std::string& name, int defaultValue) const;
    void writeNumber(const std::string& name, int value) const;
    std::string readText(const std::string& name) const;  // capacity 1000, default empty
    void writeText(const std::string& name, const std::string& value) const;
    // The same for a value of config/SettingNames.h, with its own default or capacity.
    int readNumber(const setting::NumberSetting& which) const;
    void writeNumber(const setting::NumberSetting& which, int value) const;
    std::string readText(const setting::TextSetting& which) const;
    void writeText(const setting::TextSetting& which, const std::string& value) const;

    // The folder that holds the schedule list, the logs, the streaming page, language files
    // and the hot-key script: InstallPath when set, else $XDG_DATA_HOME/orvel (created here).
    // No trailing "/" (unless the folder is the root "/").
    std::string effectiveInstallFolder() const;

    // Writes the desktop's autostart entry ($XDG_CONFIG_HOME/autostart/orvel.desktop) that
    // starts the given program with "/rs /hide", replacing it as a whole. Returns false when it
    // could not be written or no program is given.
    bool writeAutostart(const std::string& programPath) const;
    // The program path the autostart entry names: InstallPath + "/orvel" when InstallPath is
    // set, else the running program's own path.
    std::string autostartProgramPath() const;

private:
    std::string m_product;
};

}  // namespace orvel
