#include "ui/front/FaceCommands.h"

#include <algorithm>

#include "config/ControlNames.h"
#include "recorder/FaceState.h"

namespace orvel {

namespace {

template <typename Commands>
auto* lookup(Commands& commands, ControlId control) {
    const auto it = std::find_if(commands.begin(), commands.end(),
                                 [control](const auto& c) { return c.control == control; });
    return it == commands.end() ? nullptr : &*it;
}

}  // namespace

void FaceCommands::bind(ControlId control, std::function<void()> run) {
    if (Command* bound = lookup(m_commands, control)) {
        bound->run = std::move(run);
        return;
    }
    Command command;
    command.control = control;
    command.name = ControlNames::NameOf(control).value_or(std::string_view());
    command.run = std::move(run);
    m_commands.push_back(std::move(command));
}

const FaceCommands::Command* FaceCommands::find(ControlId control) const {
    return lookup(m_commands, control);
}

bool FaceCommands::run(ControlId control) const {
    const Command* command = find(control);
    if (command == nullptr || !command->run) {
        return false;
    }
    command->run();
    return true;
}

void FaceCommands::change(ControlId control, bool Command::*flag, bool value) {
    Command* command = lookup(m_commands, control);
    if (command == nullptr || command->*flag == value) {
        return;
    }
    command->*flag = value;
    if (m_shown) {
        m_shown(*command);
    }
}

void FaceCommands::setEnabled(ControlId control, bool enabled) {
    change(control, &Command::enabled, enabled);
}

void FaceCommands::setLatched(ControlId control, bool latched) {
    change(control, &Command::latched, latched);
}

bool FaceCommands::latched(ControlId control) const {
    const Command* command = find(control);
    return command != nullptr && command->latched;
}

void FaceCommands::show(const FaceState& s) {
    using enum ControlId;
    setLatched(BTN_16BIT, s.sixteenBits);
    setLatched(BTN_8BIT, !s.sixteenBits);
    setLatched(BTN_STEREO, s.stereo);
    setLatched(BTN_MONO, !s.stereo);
    setLatched(BTN_SIGNALFILE, s.signalDown);
    setLatched(BTN_CLOCKFILE, s.scheduleDown);
    setLatched(BTN_BACKGROUNDENABLE, s.backgroundOn);
    setLatched(BTN_MULTIFILE, s.multiFileDown);
    setLatched(BTN_TIMESTAMPEDFILE, s.timeStampedDown);
    setLatched(BTN_AUDIT, s.monitor);
    setLatched(BTN_MP3FILE, s.outputFormat == OutputFormat::Mp3);
    setLatched(BTN_WAVFILE, s.outputFormat == OutputFormat::Wav);
    setLatched(BTN_WMAFILE, s.outputFormat == OutputFormat::Wma);
    setLatched(BTN_PAUSE, s.pauseDown);
    setLatched(BTN_PLAY, s.playDown);
    setLatched(BTN_RECORD, s.recordDown);
    for (const ControlId id : {BTN_MULTIFILE, BTN_TIMESTAMPEDFILE, BTN_EJECT}) {
        setEnabled(id, s.transportEnabled);
    }
    // The key that runs stays lit rather than greyed; the controller ignores its presses.
    setEnabled(BTN_RECORD, s.transportEnabled || s.recordDown);
    setEnabled(BTN_PLAY, s.transportEnabled || s.playDown);
    // The filters and the background need 16-bit samples.
    for (const ControlId id : {BTN_LOWPASS, BTN_HIGHPASS, BTN_BACKGROUNDENABLE}) {
        setEnabled(id, s.sixteenBits);
    }
}

}  // namespace orvel
