#pragma once

#include <optional>
#include <string>

#include "config/FormatTables.h"

// What the output window edits: the folder and the file name of the next recording (kept
// together as `LastName`), its format as the name's extension, the multi-file and time-stamped
// naming switches and the overwrite alert.
//
// Thread contract: a plain value, any thread; fromStore and save as SettingsStore.
namespace orvel {

class SettingsStore;

struct OutputSettings {
    // Names longer than this are cut before a format button rewrites their extension.
    static constexpr std::size_t kNameBytes = 254;

    std::string folder;    // ends in "/" when it came from a stored path
    std::string fileName;  // the name as the field shows it
    std::optional<OutputFormat> format;
    bool multiFile = false;
    bool timeStamped = false;  // always with multiFile
    bool alert = false;

    // Splits LastName after its last "/" (no "/": both empty); an empty LastName splits
    // `defaultPath` instead. A name ending in .wav, .mp3 or .wma (any case) selects that format
    // as its button would, which writes the extension in upper case.
    static OutputSettings fromStore(const SettingsStore& store, const std::string& defaultPath);

    // A format button: false when that format is on already. Otherwise the name's extension
    // (after its last ".") becomes the format's; a name without one gets it appended, and a
    // blank name becomes "Orvel.<EXT>".
    bool chooseFormat(OutputFormat chosen);
    // The switches. Time-stamped names need multiple files: turning time-stamped on turns
    // multiple files on, turning multiple files off turns time-stamped off.
    void toggleMultiFile();
    void toggleTimeStamped();
    void toggleAlert() { alert = !alert; }

    // The folder without trailing blanks and with a final "/", followed by the name.
    std::string lastName() const;

    enum class SaveResult {
        Saved,
        FolderInvalid,     // not an absolute path: nothing written
        FolderNotCreated,  // missing and could not be created: nothing written
        NameNotWritten,    // the name does not end in .wav, .mp3 or .wma: nothing written
    };
    // Creates a missing folder, then writes the switches, the alert and LastName.
    SaveResult save(const SettingsStore& store) const;
    // What the user is told for NameNotWritten.
    std::string nameRefusal() const;
    // The folder as lastName() uses it.
    std::string normalisedFolder() const;
};

}  // namespace orvel
