// The recorder's MP3 and WMA paths against the bare libraries doing the same encoding in the
// same run. Each iteration encodes the same minute of 44.1 kHz stereo PCM twice, once through
// the capture engine (file source, blocks, detection, ring, writer thread, encoder output) and
// once straight through the library into a file, in alternating order so that a change in the
// machine's load hits both alike. The "ratio" counter is the median engine time over the
// median direct time; the last lines print it again.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>
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
#include "audio/WavFileCaptureSource.h"
#include "audio/WavWriter.h"
#include "encoders/EncoderOutputFactory.h"
#include "encoders/LameLibrary.h"
#include "encoders/WmaProfile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr double kSeconds = 60.0;

struct Fixture {
    QTemporaryDir dir;
    std::string wav;
    std::vector<std::int16_t> pcm;

    Fixture() {
        // Music-like material: two tones and a little noise, so the encoders do real work.
        const auto frames = static_cast<std::size_t>(kRate * kSeconds);
        pcm.resize(frames * kChannels);
        std::mt19937 random(7);
        std::normal_distribution<double> noise(0.0, 300.0);
        for (std::size_t i = 0; i < frames; ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double left = 8000 * std::sin(2 * M_PI * 440 * t) + noise(random);
            const double right = 6000 * std::sin(2 * M_PI * 660 * t) + noise(random);
            pcm[2 * i] = static_cast<std::int16_t>(left);
            pcm[2 * i + 1] = static_cast<std::int16_t>(right);
        }
        wav = file("source.wav");
        orvel::WavWriter writer;
        writer.open(wav, {kChannels, kRate, 16});
        writer.append(reinterpret_cast<const std::uint8_t*>(pcm.data()), pcm.size() * 2);
        writer.close();
    }
    std::string file(const std::string& name) const {
        return dir.path().toStdString() + "/" + name;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

double engineRecording(orvel::OutputFormat format, const std::string& out) {
    const auto start = Clock::now();
    orvel::CaptureEngine engine;
    engine.setOutputFactory(orvel::makeEncoderOutputFactory({}));
    orvel::CaptureOptions options;
    options.format = {kChannels, kRate, 16};
    options.fileName = out;
    options.outputFormat = format;
    // The owner thread sleeps in its event loop between blocks, as the recorder's does.
    QEventLoop loop;
    bool ok = false;
    QObject::connect(&engine, &orvel::CaptureEngine::finished, &loop, [&](bool done) {
        ok = done;
        loop.quit();
    });
    const auto result =
        engine.start(std::make_unique<orvel::WavFileCaptureSource>(fixture().wav), options);
    if (result == orvel::StartResult::Ok) {
        loop.exec();
    }
    if (result != orvel::StartResult::Ok || !ok) {
        std::fprintf(stderr, "the engine did not record %s\n", out.c_str());
        std::abort();
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double directLame(const std::string& out) {
    const auto start = Clock::now();
    const auto& lame = orvel::LameLibrary::shared();
    const auto& api = lame.api();
    auto* flags = api.init();
    api.setInSampleRate(flags, kRate);
    api.setNumChannels(flags, kChannels);
    api.setBitRate(flags, 128);
    api.setMode(flags, 0);
    api.setVbr(flags, 0);
    api.setWriteVbrTag(flags, 1);
    api.initParams(flags);
    const int frame = api.getFrameSize(flags);
    std::vector<unsigned char> buffer(static_cast<std::size_t>(frame) * 5 / 4 + 7200);
    std::FILE* file = std::fopen(out.c_str(), "wb");
    auto& pcm = fixture().pcm;
    const std::size_t frames = pcm.size() / kChannels;
    for (std::size_t at = 0; at < frames; at += static_cast<std::size_t>(frame)) {
        const int n = static_cast<int>(std::min<std::size_t>(frame, frames - at));
        const int bytes = api.encodeInterleaved(flags, pcm.data() + at * kChannels, n,
                                                buffer.data(), static_cast<int>(buffer.size()));
        std::fwrite(buffer.data(), 1, static_cast<std::size_t>(bytes), file);
    }
    const int bytes = api.flush(flags, buffer.data(), static_cast<int>(buffer.size()));
    std::fwrite(buffer.data(), 1, static_cast<std::size_t>(bytes), file);
    std::vector<unsigned char> tag(api.tagFrame(flags, nullptr, 0));
    if (!tag.empty() && api.tagFrame(flags, tag.data(), tag.size()) == tag.size()) {
        std::fseek(file, 0, SEEK_SET);
        std::fwrite(tag.data(), 1, tag.size(), file);
    }
    api.close(flags);
    std::fclose(file);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double directWma(const std::string& out) {
    const auto start = Clock::now();
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    AVFormatContext* format = nullptr;
    avformat_alloc_output_context2(&format, nullptr, "asf", out.c_str());
    AVCodecContext* context = avcodec_alloc_context3(codec);
    context->sample_fmt = AV_SAMPLE_FMT_FLTP;
    context->sample_rate = kRate;
    av_channel_layout_default(&context->ch_layout, kChannels);
    context->bit_rate = 128000;
    context->time_base = {1, kRate};
    context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    avcodec_open2(context, codec, nullptr);
    AVStream* stream = avformat_new_stream(format, nullptr);
    avcodec_parameters_from_context(stream->codecpar, context);
    stream->time_base = context->time_base;
    avio_open(&format->pb, out.c_str(), AVIO_FLAG_WRITE);
    if (avformat_write_header(format, nullptr) < 0) {
        std::abort();
    }
    SwrContext* swr = nullptr;
    swr_alloc_set_opts2(&swr, &context->ch_layout, AV_SAMPLE_FMT_FLTP, kRate, &context->ch_layout,
                        AV_SAMPLE_FMT_S16, kRate, 0, nullptr);
    swr_init(swr);
    AVFrame* frame = av_frame_alloc();
    frame->nb_samples = context->frame_size;
    frame->format = AV_SAMPLE_FMT_FLTP;
    frame->sample_rate = kRate;
    av_channel_layout_copy(&frame->ch_layout, &context->ch_layout);
    av_frame_get_buffer(frame, 0);
    AVPacket* packet = av_packet_alloc();
    auto drain = [&] {
        while (avcodec_receive_packet(context, packet) == 0) {
            av_packet_rescale_ts(packet, context->time_base, stream->time_base);
            packet->stream_index = 0;
            av_interleaved_write_frame(format, packet);
        }
    };
    auto& pcm = fixture().pcm;
    const std::size_t frames = pcm.size() / kChannels;
    std::int64_t pts = 0;
    for (std::size_t at = 0; at < frames; at += static_cast<std::size_t>(context->frame_size)) {
        const int n = static_cast<int>(std::min<std::size_t>(context->frame_size, frames - at));
        av_frame_make_writable(frame);
        const auto* in = reinterpret_cast<const std::uint8_t*>(pcm.data() + at * kChannels);
        frame->nb_samples = swr_convert(swr, frame->data, n, &in, n);
        frame->pts = pts;
        pts += frame->nb_samples;
        avcodec_send_frame(context, frame);
        drain();
    }
    avcodec_send_frame(context, nullptr);
    drain();
    av_write_trailer(format);
    avio_closep(&format->pb);
    av_packet_free(&packet);
    av_frame_free(&frame);
    swr_free(&swr);
    avcodec_free_context(&context);
    avformat_free_context(format);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void engineAgainstDirect(benchmark::State& state, orvel::OutputFormat format,
                         double (*direct)(const std::string&), const char* name) {
    const std::string ext = format == orvel::OutputFormat::Mp3 ? ".mp3" : ".wma";
    orvel::bench::compare(
        state, [&] { return engineRecording(format, fixture().file("engine" + ext)); },
        [&] { return direct(fixture().file("direct" + ext)); }, "engine", "direct", kSeconds, name);
}

void Mp3EngineAgainstLame(benchmark::State& state) {
    engineAgainstDirect(state, orvel::OutputFormat::Mp3, directLame, "MP3 engine / LAME");
}
void WmaEngineAgainstFfmpeg(benchmark::State& state) {
    engineAgainstDirect(state, orvel::OutputFormat::Wma, directWma, "WMA engine / FFmpeg wmav2");
}

BENCHMARK(Mp3EngineAgainstLame)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);
BENCHMARK(WmaEngineAgainstFfmpeg)->UseManualTime()->Iterations(9)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The engine's end-of-input notice on every run is not news here.
    return orvel::bench::run(argc, argv, "orvel.capture.warning=false", [] {
        if (!orvel::LameLibrary::shared().available()) {
            std::fprintf(stderr, "no MP3 encoder library: install libmp3lame0\n");
            return false;
        }
        return true;
    });
}
