// The player's decoding path against FFmpeg's own command decoding the same file in the same
// run, and the background mixer in times real time. Each decoding iteration reads one minute of
// 44.1 kHz stereo MP3 or WMA twice, once through the player's path (demuxing and decoding, the
// conversion for the speakers and the resampled tap) and once with `ffmpeg -f null`, in
// alternating order so that a change in the machine's load hits both alike. The "ratio"
// counter is the median player time over the median ffmpeg time; the last lines print it again.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "audio/CaptureEngine.h"
#include "encoders/EncoderOutputFactory.h"
#include "playback/BackgroundMixer.h"
#include "playback/MediaFile.h"
#include "playback/PcmConverter.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr double kSeconds = 60.0;

struct Fixture {
    QTemporaryDir dir;
    std::vector<std::uint8_t> pcm;

    Fixture() {
        // Music-like material: two tones and a little noise, so the codecs do real work.
        const auto frames = static_cast<std::size_t>(kRate * kSeconds);
        pcm.resize(frames * kChannels * 2);
        std::mt19937 random(7);
        std::normal_distribution<double> noise(0.0, 300.0);
        auto* samples = reinterpret_cast<std::int16_t*>(pcm.data());
        for (std::size_t i = 0; i < frames; ++i) {
            const double t = static_cast<double>(i) / kRate;
            samples[2 * i] =
                static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 440 * t) + noise(random));
            samples[2 * i + 1] =
                static_cast<std::int16_t>(6000 * std::sin(2 * M_PI * 660 * t) + noise(random));
        }
        for (const auto format : {orvel::OutputFormat::Mp3, orvel::OutputFormat::Wma}) {
            write(format);
        }
    }
    std::string file(orvel::OutputFormat format) const {
        return dir.path().toStdString() +
               (format == orvel::OutputFormat::Mp3 ? "/music.mp3" : "/music.wma");
    }
    void write(orvel::OutputFormat format) const {
        const orvel::AudioFormat audio{kChannels, kRate, 16};
        orvel::StartResult result = orvel::StartResult::Ok;
        const orvel::OutputRequest request{
            file(format), format, audio,
            static_cast<int>(orvel::CaptureEngine::blockSizeFor(audio, false))};
        auto output = orvel::makeEncoderOutputFactory({})(request, result);
        if (!output) {
            std::fprintf(stderr, "cannot write %s\n", file(format).c_str());
            std::abort();
        }
        for (std::size_t at = 0; at < pcm.size(); at += output->chunkBytes()) {
            output->write(pcm.data() + at, std::min(output->chunkBytes(), pcm.size() - at));
        }
        output->finish();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

double playerPath(const std::string& path) {
    const auto start = Clock::now();
    orvel::MediaFile file;
    if (file.open(path) != orvel::MediaError::None) {
        std::abort();
    }
    orvel::PcmConverter speakers({kChannels, file.sampleRate(), 16});
    orvel::PcmConverter tap({2, 22050, 16});
    std::vector<std::uint8_t> heard;
    std::vector<std::uint8_t> tapped;
    orvel::DecodedAudio run;
    std::size_t total = 0;
    while (file.next(run) == orvel::MediaFile::Read::Audio) {
        speakers.convert(run, heard);
        tap.convert(run, tapped);
        total += heard.size();
        heard.clear();
        tapped.clear();
    }
    benchmark::DoNotOptimize(total);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double ffmpegDecode(const std::string& path) {
    const auto start = Clock::now();
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-nostdin", "-v", "error", "-threads", "1", "-i",
                            QString::fromStdString(path), "-f", "null", "-"});
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed on %s\n", path.c_str());
        std::abort();
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void decodeAgainstFfmpeg(benchmark::State& state, orvel::OutputFormat format, const char* name) {
    const std::string path = fixture().file(format);
    orvel::bench::compare(
        state, [&] { return playerPath(path); }, [&] { return ffmpegDecode(path); }, "player",
        "ffmpeg", kSeconds, name);
}

void Mp3PlayerAgainstFfmpeg(benchmark::State& state) {
    decodeAgainstFfmpeg(state, orvel::OutputFormat::Mp3, "MP3 player path / ffmpeg -f null");
}
void WmaPlayerAgainstFfmpeg(benchmark::State& state) {
    decodeAgainstFfmpeg(state, orvel::OutputFormat::Wma, "WMA player path / ffmpeg -f null");
}

// The writer thread's mixing of one minute of 44.1 kHz stereo, with voice removal on (the
// longest path through a pair).
void MixerTimesRealtime(benchmark::State& state) {
    orvel::BackgroundSettings settings;
    settings.scale = 37;
    settings.removeVoice = true;
    const orvel::BackgroundMixer mixer(settings);
    const auto* recording = reinterpret_cast<const std::int16_t*>(fixture().pcm.data());
    const std::size_t samples = fixture().pcm.size() / 2;
    std::vector<std::int16_t> background(recording, recording + samples);
    std::reverse(background.begin(), background.end());
    std::vector<std::int16_t> out(samples);
    double seconds = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        mixer.mix(recording, background.data(), out.data(), samples, kChannels);
        benchmark::DoNotOptimize(out.data());
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
    }
    state.counters["x_realtime"] = kSeconds / seconds;
}

BENCHMARK(Mp3PlayerAgainstFfmpeg)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);
BENCHMARK(WmaPlayerAgainstFfmpeg)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);
BENCHMARK(MixerTimesRealtime)->UseManualTime()->Iterations(9)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return orvel::bench::run(argc, argv, "orvel.mp3.info=false");
}
