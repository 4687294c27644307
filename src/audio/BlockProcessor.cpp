#include "audio/BlockProcessor.h"

#include <algorithm>

namespace orvel {

namespace {

std::chrono::steady_clock::time_point steadyNow() {
    return std::chrono::steady_clock::now();
}

// Whole blocks that cover `milliseconds` of audio.
std::size_t blocksOf(const AudioFormat& format, std::size_t blockBytes,
                     std::uint64_t milliseconds) {
    if (blockBytes == 0) {
        return 0;
    }
    const std::uint64_t bytes = milliseconds * format.bytesPerSecond() / 1000;
    return static_cast<std::size_t>((bytes + blockBytes - 1) / blockBytes);
}

}  // namespace

BlockProcessor::BlockProcessor() : m_clock(steadyNow) {}

void BlockProcessor::setClock(Clock clock) {
    m_clock = clock ? std::move(clock) : Clock(steadyNow);
}

void BlockProcessor::setSettings(const ProcessingSettings& settings) {
    // A filter gets its cutoff when it is switched on or its cutoff changes.
    if (settings.highPass &&
        (!m_settings.highPass || settings.highPassHz != m_settings.highPassHz)) {
        m_highPass.setCutoff(settings.highPassHz, 1.0f);
    }
    if (settings.lowPass && (!m_settings.lowPass || settings.lowPassHz != m_settings.lowPassHz)) {
        m_lowPass.setCutoff(settings.lowPassHz, 1.0f);
    }
    m_settings = settings;
    m_settings.preRollMs = std::clamp(settings.preRollMs, 0, ProcessingSettings::kMaxPreRollMs);
    if (m_inRun) {
        m_held.setPreRoll(blocksFor(static_cast<std::uint64_t>(m_settings.preRollMs)));
    }
}

bool BlockProcessor::prepare(const AudioFormat& format, std::size_t blockBytes) {
    m_format = format;
    m_blockBytes = blockBytes;
    return m_held.reset(blockBytes, blocksFor(ProcessingSettings::kMaxPreRollMs),
                        blocksFor(kOnsetHoldMs));
}

void BlockProcessor::begin(Sink sink) {
    m_sink = std::move(sink);
    m_inRun = true;
    m_holding = true;
    m_paused = false;
    m_signal = false;
    m_lastSignal = m_clock();
    m_levels = {};
    m_latestBlock.clear();
    m_latestBlock.reserve(m_blockBytes);
    m_bytesQueued = 0;
    m_lengthLimit = 0;
    m_held.setPreRoll(blocksFor(static_cast<std::uint64_t>(m_settings.preRollMs)));
}

void BlockProcessor::stopHolding() {
    m_holding = false;
}

void BlockProcessor::end() {
    m_held.clear();
    m_sink = nullptr;
    m_inRun = false;
    m_holding = false;
}

std::size_t BlockProcessor::blocksFor(std::uint64_t milliseconds) const {
    return blocksOf(m_format, m_blockBytes, milliseconds);
}

void BlockProcessor::handle(std::uint8_t* data, std::size_t bytes) {
    if (bytes == 0) {
        return;
    }
    const auto now = m_clock();
    measure(data, bytes, now);
    shape(data, bytes, now);
    if (!m_sink) {
        return;
    }
    if (!m_paused && (m_signal || !m_settings.signalActivated)) {
        // A passage begins: what was kept from before it goes first.
        releaseHeld();
        write(data, bytes);
    } else if (m_holding) {
        m_held.keep(data, bytes, m_paused && m_levels.strong);
    }
}

void BlockProcessor::measure(std::uint8_t* data, std::size_t bytes,
                             std::chrono::steady_clock::time_point now) {
    m_detector.setThreshold(m_settings.threshold);
    const bool present = m_detector.detect(data, bytes, m_format);
    m_levels = {m_detector.leftAverage(), m_detector.rightAverage(), m_detector.strongSignal()};
    m_latestBlock.assign(data, data + bytes);
    if (present) {
        m_signal = true;
        m_lastSignal = now;
    } else if (std::chrono::duration_cast<std::chrono::seconds>(now - m_lastSignal).count() >=
               m_settings.silenceDelaySeconds) {
        m_signal = false;
    }
}

void BlockProcessor::shape(std::uint8_t* data, std::size_t bytes,
                           std::chrono::steady_clock::time_point now) {
    if (m_settings.noiseGate) {
        m_gate.setThreshold(m_settings.gateThreshold);
        m_gate.setReleaseTime(m_settings.gateReleaseSeconds);
        m_gate.apply(
            data, bytes, m_format, m_detector,
            std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count());
    }
    if (m_format.is16Bit()) {
        auto* samples = reinterpret_cast<std::int16_t*>(data);
        const std::size_t frames = bytes / static_cast<std::size_t>(m_format.blockAlign());
        if (m_settings.highPass) {
            m_highPass.process(samples, frames, m_format.channels, m_format.sampleRate);
        }
        if (m_settings.lowPass) {
            m_lowPass.process(samples, frames, m_format.channels, m_format.sampleRate);
        }
    }
}

void BlockProcessor::write(const std::uint8_t* data, std::size_t bytes) {
    if (m_lengthLimit > 0) {
        bytes = static_cast<std::size_t>(
            std::min<std::uint64_t>(bytes, m_lengthLimit - std::min(m_lengthLimit, m_bytesQueued)));
        if (bytes == 0) {
            return;
        }
    }
    if (m_sink(data, bytes)) {
        m_bytesQueued += bytes;
    }
}

void BlockProcessor::releaseHeld() {
    if (m_held.count() > 0) {
        m_held.release([this](const std::uint8_t* data, std::size_t bytes) { write(data, bytes); });
    }
}

void BlockProcessor::setPaused(bool paused) {
    if (m_paused && !paused) {
        m_held.clear();
    }
    m_paused = paused;
}

bool BlockProcessor::resumeFromSignal() {
    if (!m_paused) {
        return false;
    }
    m_paused = false;
    if (m_holding) {
        releaseHeld();
    } else {
        m_held.clear();
    }
    return true;
}

void BlockProcessor::setLengthLimit(std::uint64_t bytes) {
    const auto frame = static_cast<std::uint64_t>(std::max(m_format.blockAlign(), 1));
    m_lengthLimit = bytes / frame * frame;
}

}  // namespace orvel
