#include "cli/RecordingPlan.h"

#include <algorithm>

#include "audio/BlockRing.h"
#include "config/FormatTables.h"
#include "config/SettingsStore.h"
#include "config/Text.h"
#include "devices/DeviceList.h"
#include "encoders/GenreTable.h"
#include "encoders/WmaProfile.h"

namespace orvel {

namespace {

// The recorder's base ring budget without background music.
constexpr std::size_t kRingBase = 80000;

// The ranges of the noise and filter settings window; stored values outside them are held at
// the nearest end.
constexpr int kGateThresholdMax = 47;
constexpr int kReleaseTimeMax = 25;
constexpr int kLowPassMin = 10000;
constexpr int kLowPassMax = 20000;
constexpr int kHighPassMax = 10000;

std::string inQuotes(const std::string& text) {
    return "\"" + text + "\"";
}

std::string rateList() {
    std::string list;
    for (const int rate : format::kSampleRates) {
        list += (list.empty() ? "" : ", ") + std::to_string(rate);
    }
    return list;
}

std::string range(int count) {
    return count == 1 ? "0" : "0.." + std::to_string(count - 1);
}

RecordingPlan refuse(RecordingPlan plan, std::string key, std::string detail) {
    plan.messageKey = std::move(key);
    plan.detail = std::move(detail);
    return plan;
}

// Picks the device and line: the options, else the stored choice, else the first line of the
// first device. False with the plan refused.
bool chooseLine(RecordingPlan& plan, const RecordArguments& arguments,
                const SettingsStore& settings, DeviceList& devices) {
    devices.refresh();
    if (devices.count() == 0) {
        plan =
            refuse(std::move(plan), "DeviceAvailabity", "the sound server lists no capture device");
        return false;
    }
    const int storedDevice = settings.readDevice();
    const int storedLine = settings.readAudioLine();
    int row = 0;
    bool rowStored = false;
    if (arguments.device) {
        row = *arguments.device;
    } else if (storedDevice >= 0) {
        row = storedDevice;
        rowStored = true;
    } else {
        plan.notes.push_back("no device is stored in the settings: using device 0");
    }
    if (row >= devices.count()) {
        plan = refuse(std::move(plan), "DeviceAvailabity",
                      std::string(rowStored ? "the stored device " : "there is no device ") +
                          std::to_string(row) + (rowStored ? " is not there" : "") +
                          "; the devices are " + range(devices.count()) +
                          " (orvel-rec devices lists them)");
        return false;
    }
    if (!devices.selectRow(row)) {
        plan = refuse(std::move(plan), "DeviceAvailabity",
                      "device " + std::to_string(row) + " went away");
        return false;
    }
    const platform::SoundDevice& device = *devices.selectedDevice();
    const int lines = static_cast<int>(device.lines.size());
    if (lines == 0) {
        plan = refuse(std::move(plan), "DeviceAvailabity",
                      "device " + std::to_string(row) + " " + inQuotes(device.name) +
                          " has no recording line");
        return false;
    }
    // The stored line belongs to the stored device only.
    int line = 0;
    bool lineStored = false;
    if (arguments.line) {
        line = *arguments.line;
    } else if (storedLine >= 0 && storedDevice == row) {
        line = storedLine;
        lineStored = true;
    } else if (arguments.device || storedDevice >= 0) {
        plan.notes.push_back("no line is stored for device " + std::to_string(row) +
                             ": using line 0");
    }
    if (line >= lines) {
        plan = refuse(std::move(plan), "DeviceAvailabity",
                      std::string(lineStored ? "the stored line " : "there is no line ") +
                          std::to_string(line) + (lineStored ? " is not there" : "") +
                          " on device " + std::to_string(row) + " " + inQuotes(device.name) +
                          "; its lines are " + range(lines));
        return false;
    }
    plan.deviceRow = row;
    plan.lineIndex = line;
    plan.deviceName = device.name;
    plan.line = device.lines[static_cast<std::size_t>(line)];
    return true;
}

bool anyTag(const RecordArguments& a) {
    return a.artist || a.title || a.album || a.year || a.genre;
}

void applyMp3Arguments(EncoderSettings& encoder, const RecordArguments& a) {
    if (a.mp3Bitrate) {
        encoder.mp3BitrateIndex = *a.mp3Bitrate;
    }
    if (a.mp3Mode) {
        encoder.mp3Mode = *a.mp3Mode;
    }
    Mp3Options& mp3 = encoder.mp3;
    mp3.crc = a.crc.value_or(mp3.crc);
    mp3.copyright = a.copyright.value_or(mp3.copyright);
    mp3.original = a.original.value_or(mp3.original);
    mp3.privateBit = a.privateBit.value_or(mp3.privateBit);
    // A tag given on the command line is meant to be written.
    mp3.writeId3 = a.id3.value_or(anyTag(a) || mp3.writeId3);
    if (a.artist) {
        mp3.setArtist(*a.artist);
    }
    if (a.title) {
        mp3.setTitle(*a.title);
    }
    if (a.album) {
        mp3.setAlbum(*a.album);
    }
    if (a.year) {
        mp3.setYear(*a.year);
    }
    if (a.genre) {
        mp3.genre = static_cast<std::uint8_t>(*a.genre);
    }
}

void applyWmaArguments(EncoderSettings& encoder, const RecordArguments& a) {
    if (a.wmaProfile) {
        encoder.wmaProfile = *a.wmaProfile;
    }
    TagRecord& wma = encoder.wmaAttributes;
    // The WMA-only forms win over the common names.
    wma.artist = a.wmaAuthor.value_or(a.artist.value_or(wma.artist));
    wma.title = a.wmaTitle.value_or(a.title.value_or(wma.title));
    wma.album = a.wmaAlbum.value_or(a.album.value_or(wma.album));
    wma.composer = a.wmaComposer.value_or(a.composer.value_or(wma.composer));
    wma.copyright = a.wmaCopyright.value_or(a.copyrightText.value_or(wma.copyright));
    wma.description = a.wmaDescription.value_or(a.description.value_or(wma.description));
    if (a.wmaGenre) {
        wma.genre = std::string(genre::name(*a.wmaGenre));
    } else if (a.genre) {
        wma.genre = std::string(genre::name(*a.genre));  // 255: none, an empty genre
    }
    wma.fitTexts();
}

// The options given that a recording of `format` cannot keep, each with what can.
std::vector<std::string> unusedOptions(const RecordArguments& a, OutputFormat format) {
    struct Given {
        bool given;
        const char* name;
        bool mp3;
        bool wma;
    };
    const Given options[] = {
        {a.artist.has_value(), "--artist", true, true},
        {a.title.has_value(), "--title", true, true},
        {a.album.has_value(), "--album", true, true},
        {a.genre.has_value(), "--genre", true, true},
        {a.year.has_value(), "--year", true, false},
        {a.composer.has_value(), "--composer", false, true},
        {a.description.has_value(), "--description", false, true},
        {a.copyrightText.has_value(), "--copyright TEXT", false, true},
        {a.mp3Bitrate.has_value(), "--mp3-bitrate", true, false},
        {a.mp3Mode.has_value(), "--mp3-mode", true, false},
        {a.crc.has_value(), "--crc", true, false},
        {a.copyright.has_value(), "--copyright (the MPEG flag)", true, false},
        {a.original.has_value(), "--original", true, false},
        {a.privateBit.has_value(), "--private", true, false},
        {a.id3.has_value(), "--id3", true, false},
        {a.wmaProfile.has_value(), "--wma-profile", false, true},
        {a.wmaAuthor.has_value(), "--wma-author", false, true},
        {a.wmaTitle.has_value(), "--wma-title", false, true},
        {a.wmaAlbum.has_value(), "--wma-album", false, true},
        {a.wmaComposer.has_value(), "--wma-composer", false, true},
        {a.wmaCopyright.has_value(), "--wma-copyright", false, true},
        {a.wmaDescription.has_value(), "--wma-description", false, true},
        {a.wmaGenre.has_value(), "--wma-genre", false, true},
    };
    const char* kind = format == OutputFormat::Mp3   ? "an MP3 recording"
                       : format == OutputFormat::Wma ? "a WMA recording"
                                                     : "a WAV recording";
    std::vector<std::string> notes;
    for (const Given& o : options) {
        const bool kept = format == OutputFormat::Mp3   ? o.mp3
                          : format == OutputFormat::Wma ? o.wma
                                                        : false;
        if (!o.given || kept) {
            continue;
        }
        const std::string where = o.mp3 && o.wma ? "MP3 and WMA recordings"
                                  : o.mp3        ? "MP3 recordings"
                                                 : "WMA recordings";
        notes.push_back(std::string(o.name) + " is not kept in " + kind + " (only in " + where +
                        "): ignored");
    }
    return notes;
}

}  // namespace

std::string RecordingPlan::describe(const AudioFormat& format) {
    return std::to_string(format.sampleRate) + " Hz, " + std::to_string(format.bitsPerSample) +
           " bits, " + (format.channels == 1 ? "mono" : "stereo");
}

RecordingPlan RecordingPlan::make(const RecordArguments& arguments, const SettingsStore& settings,
                                  DeviceList& devices) {
    RecordingPlan plan;
    plan.seconds = arguments.seconds;
    plan.capture.fileName = arguments.file;
    plan.capture.monitor = arguments.monitor;
    const std::optional<OutputFormat> output = formatOfFileName(arguments.file);
    if (!output) {
        return refuse(std::move(plan), "UnknowType",
                      inQuotes(arguments.file) + ": " + kWrittenExtensionsText);
    }
    plan.capture.outputFormat = *output;

    // The format: the options, else the stored choice.
    AudioFormat chosen;
    chosen.sampleRate = arguments.rate.value_or(format::kSampleRates[static_cast<std::size_t>(
        std::clamp(settings.readFreq(), 0, format::kRateCount - 1))]);
    chosen.bitsPerSample = arguments.bits.value_or(settings.readBit() != 0 ? 16 : 8);
    chosen.channels = arguments.channels.value_or(settings.readChannel() != 0 ? 2 : 1);
    if (chosen.rateIndex() < 0) {
        return refuse(std::move(plan), "FormatError",
                      std::to_string(chosen.sampleRate) +
                          " Hz is not one of the recorder's rates (" + rateList() + ")");
    }
    if (chosen.bitsPerSample != 8 && chosen.bitsPerSample != 16) {
        return refuse(std::move(plan), "FormatError",
                      std::to_string(chosen.bitsPerSample) + " bits: the recorder records 8 or 16");
    }
    if (chosen.channels != 1 && chosen.channels != 2) {
        return refuse(std::move(plan), "FormatError",
                      std::to_string(chosen.channels) +
                          " channels: the recorder records 1 (mono) or 2 (stereo)");
    }

    plan.encoder = EncoderSettings::fromStore(settings);
    if (plan.capture.outputFormat == OutputFormat::Mp3) {
        applyMp3Arguments(plan.encoder, arguments);
    } else if (plan.capture.outputFormat == OutputFormat::Wma) {
        applyWmaArguments(plan.encoder, arguments);
    }
    for (std::string& text : unusedOptions(arguments, plan.capture.outputFormat)) {
        plan.notes.push_back(std::move(text));
    }

    AudioFormat recorded = chosen;
    if (plan.capture.outputFormat == OutputFormat::Mp3) {
        recorded = plan.encoder.mp3RecordingFormat(chosen);
        if (recorded.sampleRate != chosen.sampleRate) {
            plan.notes.push_back("MP3 takes 32000 Hz or more: recording at " +
                                 std::to_string(recorded.sampleRate) + " Hz instead of " +
                                 std::to_string(chosen.sampleRate) + " Hz");
        }
        if (recorded.bitsPerSample != chosen.bitsPerSample) {
            plan.notes.push_back("MP3 takes 16-bit sound: recording 16 bits instead of 8");
        }
        if (recorded.channels != chosen.channels) {
            plan.notes.push_back(std::string("the MP3 mode asks for ") +
                                 (recorded.channels == 1 ? "mono" : "stereo") + ": recording " +
                                 std::to_string(recorded.channels) +
                                 (recorded.channels == 1 ? " channel" : " channels"));
        }
        const Mp3Options& mp3 = plan.encoder.mp3;
        if (mp3.writeId3 && !mp3.wantsTag()) {
            plan.notes.push_back(
                "no ID3 tag will be written: it needs an artist, a title and an album");
        }
    } else if (plan.capture.outputFormat == OutputFormat::Wma) {
        const WmaProfile* profile = WmaProfile::at(plan.encoder.wmaProfile);
        if (profile != nullptr && !profile->accepts(recorded)) {
            const bool stored = !arguments.wmaProfile.has_value();
            plan.notes.push_back(std::string(stored ? "the stored WMA profile " : "WMA profile ") +
                                 std::to_string(plan.encoder.wmaProfile) + " " +
                                 inQuotes(std::string(profile->name)) + " takes " +
                                 std::to_string(profile->sampleRate) + " Hz " +
                                 (profile->channels == 1 ? "mono" : "stereo") +
                                 ": the recording is converted to it");
        }
    }
    plan.capture.format = recorded;

    ProcessingSettings& p = plan.processing;
    p.signalActivated = arguments.signalThreshold.has_value();
    p.threshold = arguments.signalThreshold.value_or(settings.readThreshold());
    p.silenceDelaySeconds = settings.readNewFileDelay();
    p.preRollMs = settings.readPreRoll();
    p.noiseGate = arguments.gate;
    p.gateThreshold =
        std::clamp(settings.readNumber(setting::kNoiseThreshold), 0, kGateThresholdMax);
    p.gateReleaseSeconds =
        std::clamp(settings.readNumber(setting::kReleaseTime), 0, kReleaseTimeMax);
    p.lowPass = arguments.lowPass;
    p.lowPassHz = std::clamp(settings.readNumber(setting::kLowPass), kLowPassMin, kLowPassMax);
    p.highPass = arguments.highPass;
    p.highPassHz = std::clamp(settings.readNumber(setting::kHighPass), 0, kHighPassMax);
    if ((p.lowPass || p.highPass) && !recorded.is16Bit()) {
        plan.notes.push_back("the filters work on 16-bit recordings only: not applied at 8 bits");
    }

    plan.capture.ringCapacity = ringCapacity(kRingBase, availablePhysicalMemory());
    if (plan.capture.ringCapacity == 0) {
        return refuse(std::move(plan), "MemError", "not enough memory for the recording's buffer");
    }

    chooseLine(plan, arguments, settings, devices);
    return plan;
}

}  // namespace orvel
