#include "app/StartupActions.h"

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

void applyStartupOptions(RecorderController& controller, const StartupOptions& options) {
    if (!options.autoRecord) {
        return;
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
    switch (options.autoAction) {
        case AutoAction::RecordNow:
            postPress(controller, &RecorderController::record);
            break;
        case AutoAction::Signal:
            postPress(controller, &RecorderController::toggleSignal);
            break;
        case AutoAction::Schedule:
            postPress(controller, &RecorderController::toggleSchedule);
            break;
        case AutoAction::SignalAndSchedule:
            postPress(controller, &RecorderController::toggleSignal);
            postPress(controller, &RecorderController::toggleSchedule);
            break;
    }
}

}  // namespace orvel
