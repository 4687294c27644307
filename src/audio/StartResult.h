#pragma once

#include <string_view>

namespace orvel {

// Why a capture run did not start (0 = it did). The numbers are those the front face and the
// recording log have always used; messageKey names the language table's message.
enum class StartResult {
    Ok = 0,
    MemError = 1,
    FileError = 2,
    Mp3Support = 3,
    FormatError = 6,
    DeviceUnavailable = 7,
    WmaError = 8,
    FileInUse = 9,          // another recording holds the file; the file is left alone
    BackgroundError = 100,  // a warning: the recording runs without background music
};

constexpr std::string_view messageKey(StartResult result) {
    switch (result) {
        case StartResult::Ok:
            return "";
        case StartResult::MemError:
            return "MemError";
        case StartResult::FileError:
            return "FileError";
        case StartResult::Mp3Support:
            return "MP3Support";
        case StartResult::FormatError:
            return "FormatError";
        case StartResult::DeviceUnavailable:
            return "DeviceAvailabity";
        case StartResult::WmaError:
            return "WMAError";
        case StartResult::FileInUse:
            return "FileError";  // the file's name tells more: see FileLock::kInUseText
        case StartResult::BackgroundError:
            return "BackgroundError";
    }
    return "";
}

}  // namespace orvel
