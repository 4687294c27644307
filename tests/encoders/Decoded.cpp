#include "Decoded.h"

#include <fstream>
#include <iterator>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace orvel::test {

namespace {

struct Resources {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    ~Resources() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&swr);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

// Converts a decoded frame (or, with none, what the converter still holds) and appends it.
void append(Resources& r, Decoded& out, const AVFrame* frame) {
    const int in = frame != nullptr ? frame->nb_samples : 0;
    const int capacity = swr_get_out_samples(r.swr, in) + 64;
    std::vector<std::vector<double>> planes(
        static_cast<std::size_t>(out.channels),
        std::vector<double>(static_cast<std::size_t>(capacity)));
    std::vector<std::uint8_t*> outPlanes;
    for (auto& p : planes) {
        outPlanes.push_back(reinterpret_cast<std::uint8_t*>(p.data()));
    }
    const int got = swr_convert(
        r.swr, outPlanes.data(), capacity,
        frame != nullptr ? const_cast<const std::uint8_t**>(frame->extended_data) : nullptr, in);
    for (std::size_t c = 0; c < planes.size() && got > 0; ++c) {
        out.samples[c].insert(out.samples[c].end(), planes[c].begin(), planes[c].begin() + got);
    }
}

}  // namespace

Decoded decodeFile(const std::string& path) {
    Decoded out;
    Resources r;
    if (avformat_open_input(&r.format, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(r.format, nullptr) < 0) {
        return out;
    }
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(r.format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (index < 0 || decoder == nullptr) {
        return out;
    }
    const AVDictionaryEntry* tag = nullptr;
    while ((tag = av_dict_get(r.format->metadata, "", tag, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
        out.metadata[tag->key] = tag->value;
    }
    r.codec = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(r.codec, r.format->streams[index]->codecpar);
    if (avcodec_open2(r.codec, decoder, nullptr) < 0) {
        return out;
    }
    out.codec = decoder->name;
    out.sampleRate = r.codec->sample_rate;
    out.channels = r.codec->ch_layout.nb_channels;
    out.samples.resize(static_cast<std::size_t>(out.channels));
    AVChannelLayout layout{};
    if (r.codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_default(&layout, out.channels);
    } else {
        av_channel_layout_copy(&layout, &r.codec->ch_layout);
    }
    const bool ready =
        swr_alloc_set_opts2(&r.swr, &layout, AV_SAMPLE_FMT_DBLP, out.sampleRate, &layout,
                            r.codec->sample_fmt, out.sampleRate, 0, nullptr) >= 0 &&
        swr_init(r.swr) >= 0;
    av_channel_layout_uninit(&layout);
    if (!ready) {
        return out;
    }
    auto receive = [&] {
        while (avcodec_receive_frame(r.codec, r.frame) == 0) {
            append(r, out, r.frame);
            av_frame_unref(r.frame);
        }
    };
    while (av_read_frame(r.format, r.packet) >= 0) {
        if (r.packet->stream_index == index) {
            avcodec_send_packet(r.codec, r.packet);
            receive();
        }
        av_packet_unref(r.packet);
    }
    avcodec_send_packet(r.codec, nullptr);
    receive();
    append(r, out, nullptr);
    out.ok = true;
    return out;
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace orvel::test
