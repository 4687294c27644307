#include "platform/PulseSoundServer.h"

#include <algorithm>
#include <cmath>

#include "config/Product.h"
#include "platform/PulseCaptureSource.h"
#include "platform/PulsePlaybackStream.h"
#include "platform/PulseShortSound.h"

namespace orvel::platform {

namespace {

// The speakers' volume as the recorder counts it: 0..65535 for silent..normal.
constexpr double kVolumeScale = 65535.0;

std::optional<std::uint32_t> indexOrNone(std::uint32_t index) {
    if (index == PA_INVALID_INDEX) {
        return std::nullopt;
    }
    return index;
}

std::string textOrEmpty(const char* text) {
    return text == nullptr ? std::string() : std::string(text);
}

ServerModel::Availability availabilityOf(int available) {
    switch (available) {
        case PA_PORT_AVAILABLE_YES:
            return ServerModel::Availability::Yes;
        case PA_PORT_AVAILABLE_NO:
            return ServerModel::Availability::No;
        default:
            return ServerModel::Availability::Unknown;
    }
}

struct SnapshotQuery {
    ServerModel model;
    bool failed = false;
};

void onCard(pa_context*, const pa_card_info* info, int eol, void* query) {
    auto* q = static_cast<SnapshotQuery*>(query);
    if (eol < 0) {
        q->failed = true;
    } else if (info != nullptr) {
        q->model.cards.push_back(
            {info->index, textOrEmpty(info->name),
             textOrEmpty(pa_proplist_gets(info->proplist, PA_PROP_DEVICE_DESCRIPTION))});
    }
}

void onSource(pa_context*, const pa_source_info* info, int eol, void* query) {
    auto* q = static_cast<SnapshotQuery*>(query);
    if (eol < 0) {
        q->failed = true;
        return;
    }
    if (info == nullptr) {
        return;
    }
    ServerModel::Source source;
    source.index = info->index;
    source.name = textOrEmpty(info->name);
    source.description = textOrEmpty(info->description);
    source.card = indexOrNone(info->card);
    source.monitorOfSink = indexOrNone(info->monitor_of_sink);
    for (std::uint32_t i = 0; i < info->n_ports; ++i) {
        const pa_source_port_info* port = info->ports[i];
        source.ports.push_back({textOrEmpty(port->name), textOrEmpty(port->description),
                                availabilityOf(port->available)});
    }
    if (info->active_port != nullptr) {
        source.activePort = textOrEmpty(info->active_port->name);
    }
    source.channels = info->sample_spec.channels;
    q->model.sources.push_back(std::move(source));
}

void onSink(pa_context*, const pa_sink_info* info, int eol, void* query) {
    auto* q = static_cast<SnapshotQuery*>(query);
    if (eol < 0) {
        q->failed = true;
    } else if (info != nullptr) {
        q->model.sinks.push_back({info->index, textOrEmpty(info->name),
                                  textOrEmpty(info->description), indexOrNone(info->card),
                                  textOrEmpty(info->monitor_source_name)});
    }
}

void onSuccess(pa_context*, int success, void* result) {
    *static_cast<bool*>(result) = success != 0;
}

}  // namespace

std::unique_ptr<PulseSoundServer> PulseSoundServer::connect(std::string* error) {
    std::shared_ptr<PulseConnection> connection = PulseConnection::open(product::kName, error);
    if (connection == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<PulseSoundServer>(new PulseSoundServer(std::move(connection)));
}

PulseSoundServer::PulseSoundServer(std::shared_ptr<PulseConnection> connection)
    : m_connection(std::move(connection)) {
    PulseConnection::Lock lock(*m_connection);
    m_connection->setLostHandler([this] { emit serverLost(); });
    pa_context_set_subscribe_callback(m_connection->context(), &PulseSoundServer::onEvent, this);
    const auto mask = static_cast<pa_subscription_mask_t>(
        PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SOURCE | PA_SUBSCRIPTION_MASK_CARD |
        PA_SUBSCRIPTION_MASK_SERVER);
    PulseConnection::detach(pa_context_subscribe(m_connection->context(), mask, nullptr, nullptr));
    // Only changes from here on are announced.
    m_lastSinkVolume = defaultSinkVolumeLocked().value_or(-1);
}

PulseSoundServer::~PulseSoundServer() {
    PulseConnection::Lock lock(*m_connection);
    m_connection->setLostHandler(nullptr);
    pa_context_set_subscribe_callback(m_connection->context(), nullptr, nullptr);
    PulseConnection::cancel(m_volumeOperation);
    m_sound.reset();
}

bool PulseSoundServer::isConnected() const {
    return m_connection->isReady();
}

std::optional<ServerModel> PulseSoundServer::snapshot() {
    PulseConnection::Lock lock(*m_connection);
    if (!m_connection->isReady()) {
        return std::nullopt;
    }
    SnapshotQuery query;
    pa_context* context = m_connection->context();
    pa_operation* cards = pa_context_get_card_info_list(context, &onCard, &query);
    pa_operation* sources = pa_context_get_source_info_list(context, &onSource, &query);
    pa_operation* sinks = pa_context_get_sink_info_list(context, &onSink, &query);
    // One time limit for the three answers. All three are awaited (or cancelled) even after a
    // failure: a late answer must not write into `query`.
    const auto deadline = std::chrono::steady_clock::now() + PulseConnection::answerTimeout;
    auto left = [deadline] {
        return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now()),
                        std::chrono::milliseconds(0));
    };
    const bool cardsDone = m_connection->await(cards, left());
    const bool sourcesDone = m_connection->await(sources, left());
    const bool sinksDone = m_connection->await(sinks, left());
    if (!cardsDone || !sourcesDone || !sinksDone || query.failed) {
        return std::nullopt;
    }
    return std::move(query.model);
}

std::vector<SoundDevice> PulseSoundServer::devices() {
    std::optional<ServerModel> model = snapshot();
    return model ? model->devices() : std::vector<SoundDevice>();
}

std::optional<PulseSoundServer::SourceState> PulseSoundServer::querySource(
    const std::string& name) {
    if (!m_connection->isReady() || name.empty()) {
        return std::nullopt;
    }
    std::optional<SourceState> result;
    auto onInfo = [](pa_context*, const pa_source_info* info, int, void* out) {
        if (info == nullptr) {
            return;
        }
        SourceState state;
        state.volume = info->volume;
        state.map = info->channel_map;
        if (info->active_port != nullptr) {
            state.activePort = textOrEmpty(info->active_port->name);
        }
        for (std::uint32_t i = 0; i < info->n_ports; ++i) {
            state.ports.push_back(textOrEmpty(info->ports[i]->name));
        }
        *static_cast<std::optional<SourceState>*>(out) = std::move(state);
    };
    if (!m_connection->await(pa_context_get_source_info_by_name(m_connection->context(),
                                                                name.c_str(), onInfo, &result))) {
        return std::nullopt;
    }
    return result;
}

bool PulseSoundServer::writeSourceVolume(const std::string& name, const pa_cvolume& volume) {
    bool accepted = false;
    return m_connection->await(pa_context_set_source_volume_by_name(
               m_connection->context(), name.c_str(), &volume, &onSuccess, &accepted)) &&
           accepted;
}

bool PulseSoundServer::selectLine(const SoundLine& line) {
    PulseConnection::Lock lock(*m_connection);
    std::optional<SourceState> source = querySource(line.sourceName);
    if (!source) {
        return false;
    }
    if (!line.portName.empty()) {
        if (std::find(source->ports.begin(), source->ports.end(), line.portName) ==
            source->ports.end()) {
            return false;
        }
        if (source->activePort != line.portName) {
            bool accepted = false;
            const bool answered = m_connection->await(
                pa_context_set_source_port_by_name(m_connection->context(), line.sourceName.c_str(),
                                                   line.portName.c_str(), &onSuccess, &accepted));
            if (!answered || !accepted) {
                return false;
            }
        }
    }
    m_selected = line;
    return true;
}

bool PulseSoundServer::isLineSelected(const SoundLine& line) {
    PulseConnection::Lock lock(*m_connection);
    if (!m_selected || m_selected->sourceName != line.sourceName ||
        m_selected->portName != line.portName) {
        return false;
    }
    if (line.portName.empty()) {
        return true;
    }
    std::optional<SourceState> source = querySource(line.sourceName);
    return source && source->activePort == line.portName;
}

std::optional<double> PulseSoundServer::lineVolume(const SoundLine& line) {
    PulseConnection::Lock lock(*m_connection);
    std::optional<SourceState> source = querySource(line.sourceName);
    if (!source) {
        return std::nullopt;
    }
    // The server allows more than normal; the recorder's range ends at normal.
    const double level =
        static_cast<double>(pa_cvolume_max(&source->volume)) / static_cast<double>(PA_VOLUME_NORM);
    return std::min(level, 1.0);
}

bool PulseSoundServer::setLineVolume(const SoundLine& line, double volume) {
    if (std::isnan(volume)) {
        return false;
    }
    const auto target = static_cast<pa_volume_t>(
        std::lround(std::clamp(volume, 0.0, 1.0) * static_cast<double>(PA_VOLUME_NORM)));
    PulseConnection::Lock lock(*m_connection);
    std::optional<SourceState> source = querySource(line.sourceName);
    if (!source) {
        return false;
    }
    pa_cvolume levels = source->volume;
    const bool balanced = pa_channel_map_can_balance(&source->map) != 0;
    const bool wasSilent = pa_cvolume_max(&levels) == PA_VOLUME_MUTED;
    if (target == PA_VOLUME_MUTED) {
        if (balanced && !wasSilent) {
            m_balanceAtZero[line.sourceName] = pa_cvolume_get_balance(&levels, &source->map);
        }
        pa_cvolume_set(&levels, levels.channels, PA_VOLUME_MUTED);
    } else if (wasSilent) {
        pa_cvolume_set(&levels, levels.channels, target);
        const auto kept = m_balanceAtZero.find(line.sourceName);
        if (balanced && kept != m_balanceAtZero.end()) {
            pa_cvolume_set_balance(&levels, &source->map, kept->second);
        }
    } else {
        pa_cvolume_scale(&levels, target);
    }
    if (!writeSourceVolume(line.sourceName, levels)) {
        return false;
    }
    if (target != PA_VOLUME_MUTED) {
        m_balanceAtZero.erase(line.sourceName);
    }
    return true;
}

std::optional<double> PulseSoundServer::lineBalance(const SoundLine& line) {
    PulseConnection::Lock lock(*m_connection);
    std::optional<SourceState> source = querySource(line.sourceName);
    if (!source || pa_channel_map_can_balance(&source->map) == 0) {
        return std::nullopt;
    }
    if (pa_cvolume_max(&source->volume) == PA_VOLUME_MUTED) {
        const auto kept = m_balanceAtZero.find(line.sourceName);
        return kept != m_balanceAtZero.end() ? kept->second : 0.0;
    }
    return pa_cvolume_get_balance(&source->volume, &source->map);
}

bool PulseSoundServer::setLineBalance(const SoundLine& line, double balance) {
    if (std::isnan(balance)) {
        return false;
    }
    const auto wanted = static_cast<float>(std::clamp(balance, -1.0, 1.0));
    PulseConnection::Lock lock(*m_connection);
    std::optional<SourceState> source = querySource(line.sourceName);
    if (!source || pa_channel_map_can_balance(&source->map) == 0) {
        return false;
    }
    if (pa_cvolume_max(&source->volume) == PA_VOLUME_MUTED) {
        // A silent source has no balance to show; keep it for when it is heard again.
        m_balanceAtZero[line.sourceName] = wanted;
        return true;
    }
    pa_cvolume levels = source->volume;
    if (pa_cvolume_set_balance(&levels, &source->map, wanted) == nullptr) {
        return false;
    }
    return writeSourceVolume(line.sourceName, levels);
}

std::optional<std::string> PulseSoundServer::queryDefaultSinkName() {
    if (!m_connection->isReady()) {
        return std::nullopt;
    }
    std::optional<std::string> name;
    auto onInfo = [](pa_context*, const pa_server_info* info, void* out) {
        if (info != nullptr && info->default_sink_name != nullptr) {
            *static_cast<std::optional<std::string>*>(out) = std::string(info->default_sink_name);
        }
    };
    if (!m_connection->await(pa_context_get_server_info(m_connection->context(), onInfo, &name))) {
        return std::nullopt;
    }
    return name;
}

std::optional<pa_cvolume> PulseSoundServer::querySinkVolume(const std::string& name) {
    std::optional<pa_cvolume> volume;
    auto onInfo = [](pa_context*, const pa_sink_info* info, int, void* out) {
        if (info != nullptr) {
            *static_cast<std::optional<pa_cvolume>*>(out) = info->volume;
        }
    };
    if (!m_connection->await(pa_context_get_sink_info_by_name(m_connection->context(), name.c_str(),
                                                              onInfo, &volume))) {
        return std::nullopt;
    }
    return volume;
}

namespace {

int speakerVolumeOf(const pa_cvolume& volume) {
    const double level = static_cast<double>(pa_cvolume_max(&volume)) * kVolumeScale /
                         static_cast<double>(PA_VOLUME_NORM);
    return static_cast<int>(std::lround(std::min(level, kVolumeScale)));
}

}  // namespace

std::optional<int> PulseSoundServer::defaultSinkVolumeLocked() {
    std::optional<std::string> sink = queryDefaultSinkName();
    if (!sink) {
        return std::nullopt;
    }
    std::optional<pa_cvolume> volume = querySinkVolume(*sink);
    if (!volume) {
        return std::nullopt;
    }
    return speakerVolumeOf(*volume);
}

std::optional<int> PulseSoundServer::defaultSinkVolume() {
    PulseConnection::Lock lock(*m_connection);
    return defaultSinkVolumeLocked();
}

bool PulseSoundServer::setDefaultSinkVolume(int volume) {
    const auto target = static_cast<pa_volume_t>(std::lround(
        std::clamp(volume, 0, 65535) * static_cast<double>(PA_VOLUME_NORM) / kVolumeScale));
    PulseConnection::Lock lock(*m_connection);
    std::optional<std::string> sink = queryDefaultSinkName();
    if (!sink) {
        return false;
    }
    std::optional<pa_cvolume> levels = querySinkVolume(*sink);
    if (!levels) {
        return false;
    }
    if (pa_cvolume_max(&*levels) == PA_VOLUME_MUTED) {
        pa_cvolume_set(&*levels, levels->channels, target);
    } else {
        pa_cvolume_scale(&*levels, target);
    }
    bool accepted = false;
    return m_connection->await(pa_context_set_sink_volume_by_name(
               m_connection->context(), sink->c_str(), &*levels, &onSuccess, &accepted)) &&
           accepted;
}

std::unique_ptr<CaptureSource> PulseSoundServer::createCaptureSource(const SoundLine& line) {
    return std::make_unique<PulseCaptureSource>(m_connection, line.sourceName);
}

std::unique_ptr<PlaybackStream> PulseSoundServer::createPlayback(const AudioFormat& format,
                                                                 std::string* error) {
    return PulsePlaybackStream::open(m_connection, format, error);
}

bool PulseSoundServer::playSound(const AudioFormat& format, std::vector<std::uint8_t> pcm) {
    PulseConnection::Lock lock(*m_connection);
    return PulseShortSound::play(*m_connection, &m_sound, format, std::move(pcm));
}

void PulseSoundServer::onEvent(pa_context*, pa_subscription_event_type_t type, std::uint32_t,
                               void* self) {
    auto* server = static_cast<PulseSoundServer*>(self);
    const unsigned facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    const unsigned kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
    const bool device = facility == PA_SUBSCRIPTION_EVENT_CARD ||
                        facility == PA_SUBSCRIPTION_EVENT_SOURCE ||
                        facility == PA_SUBSCRIPTION_EVENT_SINK;
    if (device && (kind == PA_SUBSCRIPTION_EVENT_NEW || kind == PA_SUBSCRIPTION_EVENT_REMOVE)) {
        emit server->devicesChanged();
    }
    // A sink event may be a volume change of the speakers, a server event a new default sink:
    // the event does not say, so ask again.
    if (facility == PA_SUBSCRIPTION_EVENT_SINK || facility == PA_SUBSCRIPTION_EVENT_SERVER) {
        server->requeryDefaultSinkVolume();
    }
}

void PulseSoundServer::requeryDefaultSinkVolume() {
    if (m_volumeOperation != nullptr) {
        m_volumeQueryAgain = true;
        return;
    }
    m_volumeOperation =
        pa_context_get_server_info(m_connection->context(), &PulseSoundServer::onServerInfo, this);
}

void PulseSoundServer::onServerInfo(pa_context* context, const pa_server_info* info, void* self) {
    auto* server = static_cast<PulseSoundServer*>(self);
    pa_operation_unref(server->m_volumeOperation);
    server->m_volumeOperation = nullptr;
    if (info != nullptr && info->default_sink_name != nullptr) {
        server->m_volumeOperation = pa_context_get_sink_info_by_name(
            context, info->default_sink_name, &PulseSoundServer::onDefaultSinkInfo, self);
    }
    if (server->m_volumeOperation == nullptr) {
        server->sinkVolumeQueryDone();
    }
}

void PulseSoundServer::onDefaultSinkInfo(pa_context*, const pa_sink_info* info, int eol,
                                         void* self) {
    auto* server = static_cast<PulseSoundServer*>(self);
    if (info != nullptr) {
        const int volume = speakerVolumeOf(info->volume);
        if (volume != server->m_lastSinkVolume) {
            server->m_lastSinkVolume = volume;
            emit server->defaultSinkVolumeChanged(volume);
        }
    }
    if (eol != 0) {
        pa_operation_unref(server->m_volumeOperation);
        server->m_volumeOperation = nullptr;
        server->sinkVolumeQueryDone();
    }
}

void PulseSoundServer::sinkVolumeQueryDone() {
    if (m_volumeQueryAgain) {
        m_volumeQueryAgain = false;
        requeryDefaultSinkVolume();
    }
}

}  // namespace orvel::platform
