#include "recorder/RecorderChoices.h"

#include <algorithm>

#include "audio/CaptureEngine.h"
#include "config/FormatTables.h"
#include "config/SettingNames.h"
#include "config/SettingsStore.h"
#include "recorder/FaceState.h"

namespace orvel {

RecorderChoices::RecorderChoices(const SettingsStore& settings) : m_settings(settings) {}

void RecorderChoices::read() {
    m_format.rateIndex = std::clamp(m_settings.readFreq(), 0, format::kRateCount - 1);
    m_format.sixteenBits = m_settings.readBit() != 0;
    m_format.stereo = m_settings.readChannel() != 0;
    m_mp3BitrateIndex = m_settings.readMp3Bitrate();
    readAlert();
    m_storedFormat = m_format;
}

void RecorderChoices::setRateIndex(int index, bool busy) {
    if (!busy && format::isRateIndex(index)) {
        m_format.rateIndex = index;
    }
}

void RecorderChoices::show(FaceState& state) const {
    state.sixteenBits = m_format.sixteenBits;
    state.stereo = m_format.stereo;
    state.rateIndex = m_format.rateIndex;
    state.monitor = m_monitor;
    state.backgroundOn = m_backgroundOn;
    state.dataRateText = RecordStart::dataRateText(m_format);
}

void RecorderChoices::store() {
    if (m_format.sixteenBits != m_storedFormat.sixteenBits) {
        m_settings.writeBit(m_format.sixteenBits ? 1 : 0);
    }
    if (m_format.stereo != m_storedFormat.stereo) {
        m_settings.writeChannel(m_format.stereo ? 1 : 0);
    }
    if (m_format.rateIndex != m_storedFormat.rateIndex) {
        m_settings.writeFreq(m_format.rateIndex);
    }
    m_storedFormat = m_format;
}

void RecorderChoices::writeFormat() const {
    m_settings.writeChannel(m_format.stereo ? 1 : 0);
    m_settings.writeBit(m_format.sixteenBits ? 1 : 0);
    m_settings.writeFreq(m_format.rateIndex);
}

void RecorderChoices::writeMp3Bitrate() const {
    m_settings.writeMp3Bitrate(m_mp3BitrateIndex);
}

AudioFormat RecorderChoices::audioFormat() const {
    return AudioFormat::fromChoice(m_format.rateIndex, m_format.stereo, m_format.sixteenBits);
}

void RecorderChoices::setMp3BitrateIndex(int index) {
    m_mp3BitrateIndex = format::isMp3BitrateIndex(index) ? index : 0;
    m_settings.writeMp3Bitrate(m_mp3BitrateIndex);
}

void RecorderChoices::readMp3Bitrate() {
    m_mp3BitrateIndex = m_settings.readMp3Bitrate();
}

void RecorderChoices::readAlert() {
    m_alert = m_settings.readNumber(setting::kAlert) != 0;
}

void RecorderChoices::setEffects(bool noiseGate, bool lowPass, bool highPass) {
    m_noiseGate = noiseGate;
    m_lowPass = lowPass;
    m_highPass = highPass;
}

ProcessingSettings RecorderChoices::processing() const {
    const SettingsStore& s = m_settings;
    ProcessingSettings p;
    p.noiseGate = m_noiseGate;
    p.gateThreshold = std::clamp(s.readNumber(setting::kNoiseThreshold), 0, setting::kThresholdMax);
    p.gateReleaseSeconds =
        std::clamp(s.readNumber(setting::kReleaseTime), 0, setting::kNewFileDelayMax);
    p.lowPass = m_lowPass;
    p.lowPassHz = std::clamp(s.readNumber(setting::kLowPass), 10000, 20000);
    p.highPass = m_highPass;
    p.highPassHz = std::clamp(s.readNumber(setting::kHighPass), 0, 10000);
    p.preRollMs = s.readPreRoll();
    return p;
}

}  // namespace orvel
