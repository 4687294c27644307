#include "recorder/StartupActions.h"

#include <QMetaObject>
#include <QPointer>

#include "recorder/RecorderController.h"

namespace orvel {

namespace {

void postPress(RecorderController& controller, void (RecorderController::*command)()) {
    QPointer<RecorderController> target(&controller);
    QMetaObject::invokeMethod(
        &controller,
        [target, command] {
            if (target) {
                (target.data()->*command)();
            }
        },
        Qt::QueuedConnection);
}

}  // namespace

void applyStartupChoices(RecorderController& controller, const StartupOptions& options) {
    if (!options.autoRecord) {
        return;
    }
    if (!options.fileNameRefusal.empty()) {
        controller.showNotice("-filename refused: nothing started", options.fileNameRefusal);
    }
    if (options.mp3BitrateIndex != -1) {
        controller.setMp3BitrateIndex(options.mp3BitrateIndex);
    }
    if (options.channelsChoice != -1) {
        controller.setStereo(options.channelsChoice == 1);
    }
    if (options.bitsChoice != -1) {
        controller.setSixteenBits(options.bitsChoice == 1);
    }
    if (options.rateIndex != -1) {
        controller.setRateIndex(options.rateIndex);
    }
    if (!options.fileName.empty()) {
        controller.setFieldText(options.fileName);
    }
}

std::vector<StartupPress> startupPresses(const StartupOptions& options) {
    // Recording under another name than the one asked for would hide where the sound went.
    if (!options.autoRecord || !options.fileNameRefusal.empty()) {
        return {};
    }
    switch (options.autoAction) {
        case AutoAction::RecordNow:
            return {StartupPress::Record};
        case AutoAction::Signal:
            return {StartupPress::Signal};
        case AutoAction::Schedule:
            return {StartupPress::Schedule};
        case AutoAction::SignalAndSchedule:
            return {StartupPress::Signal, StartupPress::Schedule};
    }
    return {};
}

void applyStartupOptions(RecorderController& controller, const StartupOptions& options) {
    applyStartupChoices(controller, options);
    for (const StartupPress press : startupPresses(options)) {
        switch (press) {
            case StartupPress::Record:
                postPress(controller, &RecorderController::record);
                break;
            case StartupPress::Signal:
                postPress(controller, &RecorderController::toggleSignal);
                break;
            case StartupPress::Schedule:
                postPress(controller, &RecorderController::toggleSchedule);
                break;
        }
    }
}

}  // namespace orvel
