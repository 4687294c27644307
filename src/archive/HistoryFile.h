#pragma once

#include <array>
#include <string>
#include <string_view>

namespace orvel {

// The history panel's current file: its type, the six texts of the tag panel, and whether its
// tag may be edited now.
//
// The type is the format the path's extension selects (trailing blanks removed), or "other"
// for a name without a recording extension. Texts come from the file itself: the ID3v1 tag of
// an MP3, the attributes of a WMA file, the format chunk of a WAV file (walked by WavReader, so
// files with other chunks or cut short read right). A file that cannot be read gives empty texts; an MP3
// file without a tag shows the labels with empty values. Only plain files are opened (a FIFO
// would wait for a writer for ever).
//
// Tag editing is refused for the file a running recording writes (compared as canonical paths,
// so a link or a "/../" path to it is refused too): writing a tag into it would race the
// writer and corrupt the recording. It is refused while anything plays, and for types without
// tags.
//
// Thread contract: stateless, any thread.
class HistoryFile {
public:
    enum class Type { Other, Wav, Mp3, Wma };

    enum class EditRefusal {
        None,
        NotTaggable,    // neither MP3 nor WMA
        Playing,        // a playback runs
        BeingRecorded,  // the running recording's own file
    };

    // Row 1 left, row 1 right, row 2 left, row 2 right, row 3 left, row 3 right.
    using PanelTexts = std::array<std::string, 6>;

    static Type typeOf(std::string_view path);
    static bool taggable(Type type) { return type == Type::Mp3 || type == Type::Wma; }
    static PanelTexts panelTexts(const std::string& path);

    // recordingPath: the file the running recording writes, empty when nothing records.
    static EditRefusal editRefusal(const std::string& path, const std::string& recordingPath,
                                   bool playing);
};

}  // namespace orvel
