#include "schedule/SignalSettings.h"

#include "config/SettingsStore.h"

namespace orvel {

SignalSettings SignalSettings::fromStore(const SettingsStore& store) {
    SignalSettings s;
    s.threshold = store.readThreshold();
    s.action = store.readSignalType();
    s.delay = store.readNewFileDelay();
    return s;
}

void SignalSettings::write(const SettingsStore& store) const {
    store.writeThreshold(threshold);
    store.writeSignalType(action);
    store.writeNewFileDelay(delay);
}

}  // namespace orvel
