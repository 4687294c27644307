#pragma once

#include <optional>
#include <string>
#include <vector>

// The command line of the headless recorder `orvel-rec`:
//
//   orvel-rec devices                 the devices and their lines, by index and name
//   orvel-rec record [options] FILE   records a line into FILE (.wav, .mp3 or .wma, any letter
//                                     case; any other name is refused)
//   orvel-rec profiles                the WMA profiles, by index
//   orvel-rec tags FILE [options]     prints the tag of a recording, or rewrites it
//   orvel-rec help | --help | -h
//
// Options take their value as the next argument or after "=" ("--rate=44100"); "--" ends the
// options. "--copyright" is the MPEG header's copyright flag, or with a text the copyright
// attribute: the command line is read with it taking a text when that reading works and either
// the file is a WMA file or the flag reading does not work. Values are checked for their syntax and
// plain ranges here; whether a device, line or format exists is decided when the recording is
// planned. Options not given leave the stored settings in force.
//
// Thread contract: pure functions, any thread.
namespace orvel {

// What `record` was asked for.
struct RecordArguments {
    std::string file;
    std::optional<int> device;  // row of the device list
    std::optional<int> line;    // index among the device's lines
    std::optional<int> rate;    // Hz
    std::optional<int> bits;
    std::optional<int> channels;
    std::optional<double> seconds;       // none: until stopped by a signal
    std::optional<int> signalThreshold;  // step 0..47: record only while sound is above it
    bool gate = false;
    bool lowPass = false;
    bool highPass = false;
    bool monitor = false;

    // Tags, for whichever format is recorded (the MP3 file's ID3v1 tag, the WMA file's
    // attributes); what the format cannot hold is told and left out.
    std::optional<std::string> artist;  // also --author
    std::optional<std::string> title;
    std::optional<std::string> album;
    std::optional<std::string> year;           // MP3
    std::optional<int> genre;                  // genre number 0..79, or 255 for none
    std::optional<std::string> composer;       // WMA
    std::optional<std::string> description;    // WMA
    std::optional<std::string> copyrightText;  // WMA: --copyright TEXT

    // MP3
    std::optional<int> mp3Bitrate;  // index 0..15
    std::optional<int> mp3Mode;     // 0 the recording's channels, 1 mono, 2 stereo
    std::optional<bool> crc;
    std::optional<bool> copyright;  // the MPEG header's flag: --copyright without a text
    std::optional<bool> original;
    std::optional<bool> privateBit;
    std::optional<bool> id3;

    // WMA (the --wma-* forms win over the common tag names)
    std::optional<int> wmaProfile;
    std::optional<std::string> wmaAuthor;
    std::optional<std::string> wmaTitle;
    std::optional<std::string> wmaAlbum;
    std::optional<std::string> wmaComposer;
    std::optional<std::string> wmaCopyright;
    std::optional<std::string> wmaDescription;
    std::optional<int> wmaGenre;  // 0..79

    bool operator==(const RecordArguments&) const = default;
};

// What `tags` was asked to change; nothing given: print the tag.
struct TagArguments {
    std::string file;
    std::optional<std::string> artist;
    std::optional<std::string> title;
    std::optional<std::string> album;
    std::optional<std::string> year;  // MP3: the year field; WMA: not kept
    std::optional<std::string> composer;
    std::optional<std::string> description;
    std::optional<std::string> copyright;
    std::optional<int> genre;  // 0..79 (255: none, MP3 only)

    bool changes() const;
    bool operator==(const TagArguments&) const = default;
};

struct RecorderCommand {
    enum class Kind { Help, Devices, Record, Profiles, Tags };

    Kind kind = Kind::Help;
    RecordArguments record;
    TagArguments tags;
    // Why the command line cannot be used; empty when it can.
    std::string error;

    bool ok() const { return error.empty(); }
};

class RecorderArguments {
public:
    // The arguments after the program's name.
    static RecorderCommand parse(const std::vector<std::string>& arguments);
    // The text of --help.
    static std::string usage();

    // A whole decimal number (an optional sign, digits, nothing else) within [low, high].
    static std::optional<int> parseInteger(const std::string& text, int low, int high);
    // A decimal number of seconds above 0 ("2", "2.5"), at most a year.
    static std::optional<double> parseSeconds(const std::string& text);
};

}  // namespace orvel
