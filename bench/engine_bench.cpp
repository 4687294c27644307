// The capture engine's parts and paths against the bare work they stand in for.
//
// - Detection, gate and both filters, in times realtime on 100 ms blocks of 48 kHz stereo.
// - The block ring: appending blocks and taking chunks.
// - The engine recording a minute of PCM from a file to WAV (blocks, detection, ring, writer
//   thread) against a plain write of the same bytes; "ratio" is engine time / plain time.
// - A minute of live capture to WAV: the CPU time of orvel-rec against parecord recording the
//   same line at the same time with the same 100 ms fragments; "ratio" is ours / parecord's.
//   It needs a sound server: the private one is started when none answers.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "audio/BlockRing.h"
#include "audio/CaptureEngine.h"
#include "audio/HighPassFilter.h"
#include "audio/LowPassFilter.h"
#include "audio/NoiseGate.h"
#include "audio/SignalDetector.h"
#include "audio/WavFileCaptureSource.h"
#include "audio/WavWriter.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
std::vector<std::uint8_t> musicBlock(const orvel::AudioFormat& format, double seconds) {
    const auto frames = static_cast<std::size_t>(format.sampleRate * seconds);
    std::vector<std::int16_t> pcm(frames * static_cast<std::size_t>(format.channels));
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0.0, 200.0);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / format.sampleRate;
        for (int c = 0; c < format.channels; ++c) {
            pcm[i * format.channels + c] = static_cast<std::int16_t>(
                6000 * std::sin(2 * M_PI * (440 + 220 * c) * t) + noise(random));
        }
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(pcm.data());
    return {bytes, bytes + pcm.size() * 2};
}

const orvel::AudioFormat kStereo48{2, 48000, 16};

// Each iteration processes one 100 ms block; the rate counter reads as times realtime.
void setRealtime(benchmark::State& state) {
    state.counters["x_realtime"] = benchmark::Counter(0.1 * static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate);
}

void Detection(benchmark::State& state) {
    auto block = musicBlock(kStereo48, 0.1);
    orvel::SignalDetector detector;
    detector.setThreshold(20);
    for (auto _ : state) {
        benchmark::DoNotOptimize(detector.detect(block.data(), block.size(), kStereo48));
    }
    setRealtime(state);
}

void NoiseGate(benchmark::State& state) {
    auto block = musicBlock(kStereo48, 0.1);
    orvel::SignalDetector detector;
    detector.detect(block.data(), block.size(), kStereo48);
    orvel::NoiseGate gate;
    gate.setThreshold(20);
    std::int64_t now = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            gate.apply(block.data(), block.size(), kStereo48, detector, now++));
    }
    setRealtime(state);
}

template <typename Filter>
void FilterBlock(benchmark::State& state, int cutoff) {
    auto block = musicBlock(kStereo48, 0.1);
    Filter filter;
    filter.setCutoff(cutoff, 1.0f);
    auto* samples = reinterpret_cast<std::int16_t*>(block.data());
    for (auto _ : state) {
        filter.process(samples, block.size() / 4, 2, 48000);
        benchmark::ClobberMemory();
    }
    setRealtime(state);
}
void HighPass(benchmark::State& state) {
    FilterBlock<orvel::HighPassFilter>(state, 200);
}
void LowPass(benchmark::State& state) {
    FilterBlock<orvel::LowPassFilter>(state, 10000);
}

void RingAppendAndTake(benchmark::State& state) {
    orvel::BlockRing ring(1 << 20);
    std::vector<std::uint8_t> block(17640, 1);
    std::vector<std::uint8_t> chunk(2 * block.size());
    for (auto _ : state) {
        ring.append(block.data(), block.size());
        ring.append(block.data(), block.size());
        benchmark::DoNotOptimize(ring.take(chunk.data(), chunk.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * chunk.size()));
}

struct FileFixture {
    QTemporaryDir dir;
    std::string wav;
    std::vector<std::uint8_t> pcm;
    FileFixture() {
        pcm = musicBlock({2, 44100, 16}, 60.0);
        wav = dir.path().toStdString() + "/source.wav";
        orvel::WavWriter writer;
        writer.open(wav, {2, 44100, 16});
        writer.append(pcm.data(), pcm.size());
        writer.close();
    }
    std::string file(const char* name) const { return dir.path().toStdString() + "/" + name; }
};

FileFixture& files() {
    static FileFixture f;
    return f;
}

double engineToWav(const std::string& out) {
    const auto start = Clock::now();
    orvel::CaptureEngine engine;
    orvel::CaptureOptions options;
    options.format = {2, 44100, 16};
    options.fileName = out;
    QEventLoop loop;
    QObject::connect(&engine, &orvel::CaptureEngine::finished, &loop, &QEventLoop::quit);
    if (engine.start(std::make_unique<orvel::WavFileCaptureSource>(files().wav), options) !=
        orvel::StartResult::Ok) {
        std::abort();
    }
    loop.exec();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double plainWrite(const std::string& out) {
    const auto start = Clock::now();
    orvel::WavWriter writer;
    writer.open(out, {2, 44100, 16});
    const auto& pcm = files().pcm;
    // In the engine's chunk size (two 100 ms blocks), as a recorder without the engine would.
    for (std::size_t at = 0; at < pcm.size(); at += 35280) {
        writer.append(pcm.data() + at, std::min<std::size_t>(35280, pcm.size() - at));
    }
    writer.close();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void EngineFileToWavAgainstPlainWrite(benchmark::State& state) {
    orvel::bench::compare(
        state, [] { return engineToWav(files().file("engine.wav")); },
        [] { return plainWrite(files().file("plain.wav")); }, "engine", "plain", 60.0,
        "engine file source to WAV / plain write");
}

// --- live capture -------------------------------------------------------------------------

bool serverAnswers() {
    QProcess pactl;
    pactl.start("pactl", {"info"});
    return pactl.waitForFinished(5000) && pactl.exitStatus() == QProcess::NormalExit &&
           pactl.exitCode() == 0;
}

pid_t spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    return pid;
}

double cpuSeconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void LiveCaptureCpuAgainstParecord(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    std::string serverDir;
    if (!serverAnswers()) {
        serverDir = folder + "/soundserver";
        QProcess start;
        start.start(ORVEL_SOURCE_DIR "/tools/soundserver.sh",
                    {"start", QString::fromStdString(serverDir)});
        start.waitForFinished(30000);
        qputenv("PULSE_SERVER", QByteArray("unix:") + serverDir.c_str() + "/native");
        if (!serverAnswers()) {
            state.SkipWithError("no sound server");
            return;
        }
    }
    // Settings of its own, so orvel-rec records the first line (the private server's tone line)
    // whatever the user has stored.
    qputenv("XDG_CONFIG_HOME", QByteArray(folder.c_str()) + "/config");
    const int seconds = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const pid_t ours =
            spawn({ORVEL_REC, "record", "--rate", "44100", "--bits", "16", "--channels", "2",
                   "--seconds", std::to_string(seconds), folder + "/ours.wav"});
        const pid_t theirs =
            spawn({"parecord", "--device=tone", "--format=s16le", "--rate=44100", "--channels=2",
                   "--latency-msec=100", "--file-format=wav", folder + "/theirs.wav"});
        if (ours < 0 || theirs < 0) {
            state.SkipWithError("cannot start the recorders");
            return;
        }
        std::this_thread::sleep_for(std::chrono::seconds(seconds + 1));
        rusage ourUsage{};
        rusage theirUsage{};
        int status = 0;
        wait4(ours, &status, 0, &ourUsage);
        const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        kill(theirs, SIGINT);
        wait4(theirs, &status, 0, &theirUsage);
        if (!ok) {
            state.SkipWithError("orvel-rec failed");
            return;
        }
        const double ratio = cpuSeconds(ourUsage) / cpuSeconds(theirUsage);
        state.counters["ours_cpu_ms"] = cpuSeconds(ourUsage) * 1000;
        state.counters["parecord_cpu_ms"] = cpuSeconds(theirUsage) * 1000;
        state.counters["ratio"] = ratio;
        orvel::bench::ratios()["live capture CPU orvel-rec / parecord"] = ratio;
    }
    if (!serverDir.empty()) {
        QProcess stop;
        stop.start(ORVEL_SOURCE_DIR "/tools/soundserver.sh",
                   {"stop", QString::fromStdString(serverDir)});
        stop.waitForFinished(30000);
    }
}

BENCHMARK(Detection);
BENCHMARK(NoiseGate);
BENCHMARK(HighPass);
BENCHMARK(LowPass);
BENCHMARK(RingAppendAndTake);
BENCHMARK(EngineFileToWavAgainstPlainWrite)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(LiveCaptureCpuAgainstParecord)->Arg(60)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    return orvel::bench::run(argc, argv, "orvel.capture.warning=false");
}
