#include "cli/HeadlessRecorder.h"

#include <QEventLoop>
#include <csignal>
#include <iomanip>
#include <ostream>

#include "cli/CommandText.h"
#include "cli/PlayCommand.h"
#include "cli/RecordingBackground.h"
#include "cli/RecordingPlan.h"
#include "cli/RunCommand.h"
#include "cli/TagsCommand.h"
#include "devices/DeviceList.h"
#include "devices/MixerControl.h"
#include "encoders/WmaProfile.h"
#include "platform/StopSignals.h"

namespace orvel {

HeadlessRecorder::HeadlessRecorder(std::ostream& out, std::ostream& err, ServerFactory connect,
                                   SettingsStore settings)
    : m_context(out, err, std::move(connect), std::move(settings)) {}

HeadlessRecorder::~HeadlessRecorder() = default;

int HeadlessRecorder::run(std::vector<std::string> arguments) {
    RecordingBackground background(m_context.err(), m_context.settings());
    if (const std::string error = background.takeOptions(arguments); !error.empty()) {
        return m_context.usageError(error);
    }
    return run(RecorderArguments::parse(arguments), background.hooks());
}

int HeadlessRecorder::run(const RecorderCommand& command, const RecordingHooks& hooks) {
    if (!command.ok()) {
        return m_context.usageError(command.error);
    }
    switch (command.kind) {
        case RecorderCommand::Kind::Help:
            m_context.out() << RecorderArguments::usage() << PlayCommand::usage()
                            << RunCommand::usage();
            return kExitOk;
        case RecorderCommand::Kind::Devices:
            return listDevices();
        case RecorderCommand::Kind::Profiles:
            return listProfiles();
        case RecorderCommand::Kind::Tags:
            return TagsCommand(m_context).run(command.tags);
        case RecorderCommand::Kind::Record:
            return record(command.record, hooks);
    }
    return kExitUsage;
}

void HeadlessRecorder::requestStop() {
    m_stopRequested = true;
    if (m_session != nullptr) {
        m_session->requestStop();
    }
}

int HeadlessRecorder::listDevices() {
    std::unique_ptr<platform::SoundServer> server = m_context.connectServer();
    if (server == nullptr) {
        return kExitFailed;
    }
    DeviceList devices(*server);
    devices.refresh();
    std::ostream& out = m_context.out();
    if (devices.count() == 0) {
        out << DeviceList::kNoEntries << "\n";
        return kExitOk;
    }
    const int storedDevice = m_context.settings().readDevice();
    const int storedLine = m_context.settings().readAudioLine();
    for (int row = 0; row < devices.count(); ++row) {
        const platform::SoundDevice& device = devices.devices()[static_cast<std::size_t>(row)];
        out << "device " << row << ": " << device.name << "\n";
        for (std::size_t i = 0; i < device.lines.size(); ++i) {
            const bool stored = row == storedDevice && static_cast<int>(i) == storedLine;
            out << "  line " << i << ": " << device.lines[i].name
                << (stored ? "  (stored choice)" : "") << "\n";
        }
    }
    return kExitOk;
}

int HeadlessRecorder::listProfiles() {
    const auto profiles = WmaProfile::all();
    for (std::size_t i = 0; i < profiles.size(); ++i) {
        m_context.out() << std::setw(2) << i << "  " << profiles[i].name << "\n";
    }
    return kExitOk;
}

int HeadlessRecorder::record(const RecordArguments& arguments, const RecordingHooks& hooks) {
    std::unique_ptr<StopSignals> stopSignals;
    if (m_handleSignals) {
        stopSignals =
            std::make_unique<StopSignals>(std::initializer_list<int>{SIGINT, SIGTERM, SIGHUP});
        connect(stopSignals.get(), &StopSignals::received, this, &HeadlessRecorder::requestStop);
    }
    std::unique_ptr<platform::SoundServer> server = m_context.connectServer();
    if (server == nullptr) {
        return kExitFailed;
    }
    DeviceList devices(*server);
    RecordingPlan plan = RecordingPlan::make(arguments, m_context.settings(), devices);
    for (const std::string& text : plan.notes) {
        m_context.note(text);
    }
    if (!plan.ok()) {
        m_context.refuse(plan.messageKey, plan.detail);
        return kExitFailed;
    }
    MixerControl mixer(*server, devices);
    if (!mixer.selectLine(plan.lineIndex)) {
        m_context.refuse("DeviceAvailabity", "the sound server did not select line " +
                                                 std::to_string(plan.lineIndex) + " " +
                                                 command::inQuotes(plan.line.name));
        return kExitFailed;
    }

    RecordingSession session(m_context, *server, std::move(plan), hooks);
    if (m_stopRequested) {
        session.requestStop();
    }
    if (!session.start()) {
        return kExitFailed;
    }
    m_session = &session;
    if (!session.isOver()) {
        QEventLoop loop;
        connect(&session, &RecordingSession::ended, &loop, &QEventLoop::quit);
        loop.exec();
    }
    m_session = nullptr;
    return session.status();
}

}  // namespace orvel
