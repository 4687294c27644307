#include "cli/RecordingBackground.h"

#include <ostream>

#include "audio/BlockRing.h"
#include "cli/CommandText.h"
#include "cli/HeadlessRecorder.h"
#include "cli/RecorderArguments.h"
#include "playback/BackgroundMixer.h"
#include "playback/BackgroundMusic.h"
#include "playback/MediaPlayer.h"

namespace orvel {

namespace {

constexpr char kPrefix[] = "orvel-rec: ";
// The ring budget of a recording with background music: both rings share it.
constexpr std::size_t kBackgroundRingBase = 160000;

struct Numeric {
    const char* name;
    std::optional<int> BackgroundArguments::*field;
};
const Numeric kNumeric[] = {
    {"--background-scale", &BackgroundArguments::scale},
    {"--background-channel", &BackgroundArguments::backgroundChannel},
    {"--recording-channel", &BackgroundArguments::recordingChannel},
    {"--vocal-channel", &BackgroundArguments::vocalChannel},
    {"--background-action", &BackgroundArguments::action},
};

}  // namespace

RecordingBackground::RecordingBackground(std::ostream& err, SettingsStore settings)
    : m_err(err), m_store(std::move(settings)) {}

RecordingBackground::~RecordingBackground() = default;

std::string RecordingBackground::takeOptions(std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments.front() != "record") {
        return {};
    }
    BackgroundArguments parsed;
    bool any = false;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            rest.insert(rest.end(), arguments.begin() + static_cast<long>(i), arguments.end());
            break;
        }
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (name == "--remove-voice" && equals == std::string::npos) {
            parsed.removeVoice = true;
            any = true;
            continue;
        }
        const Numeric* numeric = nullptr;
        for (const Numeric& n : kNumeric) {
            numeric = name == n.name ? &n : numeric;
        }
        if (name != "--background" && numeric == nullptr) {
            rest.push_back(argument);
            continue;
        }
        const std::optional<std::string> given = command::optionValue(arguments, i);
        if (!given) {
            return name + " needs a value";
        }
        const std::string& value = *given;
        any = true;
        if (numeric == nullptr) {
            if (value.empty()) {
                return "--background needs a file";
            }
            parsed.file = value;
            continue;
        }
        const int high = numeric->field == &BackgroundArguments::scale ? 100 : 2;
        parsed.*(numeric->field) = RecorderArguments::parseInteger(value, 0, high);
        if (!(parsed.*(numeric->field))) {
            return name + " takes a number from 0 to " + std::to_string(high) + "; got \"" + value +
                   "\"";
        }
    }
    if (any && !parsed.file) {
        return "the background options need --background FILE";
    }
    arguments = std::move(rest);
    if (any) {
        m_options = parsed;
    }
    return {};
}

BackgroundSettings RecordingBackground::settings() const {
    BackgroundSettings s = BackgroundSettings::fromStore(m_store);
    if (!m_options) {
        return s;
    }
    s.file = m_options->file.value_or(s.file);
    s.scale = m_options->scale.value_or(s.scale);
    s.backgroundChannel = m_options->backgroundChannel.value_or(s.backgroundChannel);
    s.recordingChannel = m_options->recordingChannel.value_or(s.recordingChannel);
    s.vocalChannel = m_options->vocalChannel.value_or(s.vocalChannel);
    s.action = m_options->action.value_or(s.action);
    s.removeVoice = s.removeVoice || m_options->removeVoice;
    return s.normalised();
}

void RecordingBackground::attach(HeadlessRecorder& recorder) {
    if (!m_options) {
        return;
    }
    m_recorder = &recorder;
    HeadlessRecorder::RecordingHooks hooks;
    hooks.beforeStart = [this](CaptureOptions& options) { beforeStart(options); };
    hooks.started = [this](platform::SoundServer& server, CaptureEngine& engine) {
        started(server, engine);
    };
    recorder.setRecordingHooks(std::move(hooks));
}

void RecordingBackground::beforeStart(CaptureOptions& options) {
    if (!options.format.is16Bit()) {
        m_err << kPrefix << "8-bit recordings record without background music\n";
        return;
    }
    options.background = std::make_shared<BackgroundMixer>(settings());
    options.ringCapacity = std::max(options.ringCapacity,
                                    ringCapacity(kBackgroundRingBase, availablePhysicalMemory()));
}

void RecordingBackground::started(platform::SoundServer& server, CaptureEngine& engine) {
    if (!engine.mixesBackground()) {
        return;
    }
    const BackgroundSettings s = settings();
    m_player = std::make_unique<MediaPlayer>(MediaPlayer::streamsOf(server));
    m_music = std::make_unique<BackgroundMusic>(*m_player);
    const StartResult result = m_music->startRecording(s, engine);
    if (result != StartResult::Ok) {
        m_err << kPrefix << command::languageMessage(m_store, messageKey(result)) << "\n"
              << kPrefix << "\"" << s.file << "\" cannot be played: the recording goes on "
              << "without background music\n";
        return;
    }
    // No wait for the first block: the writer holds the recording's chunks until background
    // comes, and the recording's own event loop delivers it.
    m_err << kPrefix << "background music \"" << s.file << "\" at scale " << s.scale << "\n";
    connect(m_music.get(), &BackgroundMusic::stopRecordingRequested, m_recorder,
            &HeadlessRecorder::requestStop);
    connect(m_music.get(), &BackgroundMusic::backgroundEnded, this,
            [this] { m_err << kPrefix << "the background music ended; the recording goes on\n"; });
}

}  // namespace orvel
