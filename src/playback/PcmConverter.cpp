#include "playback/PcmConverter.h"

#include <array>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

namespace orvel {

namespace {

// libswresample's own limit.
constexpr int kMaxChannels = 64;

AVChannelLayout layoutOf(const AVFrame* frame) {
    AVChannelLayout layout{};
    if (frame->ch_layout.order == AV_CHANNEL_ORDER_NATIVE ||
        frame->ch_layout.order == AV_CHANNEL_ORDER_AMBISONIC) {
        av_channel_layout_copy(&layout, &frame->ch_layout);
    } else {
        // WMA and some WAV files leave the layout unspecified: the usual one for the count.
        av_channel_layout_default(&layout, frame->ch_layout.nb_channels);
    }
    return layout;
}

}  // namespace

PcmConverter::PcmConverter(const AudioFormat& target) : m_target(target) {}

PcmConverter::~PcmConverter() {
    swr_free(&m_swr);
}

bool PcmConverter::configure(const AVFrame* frame) {
    const int channels = frame->ch_layout.nb_channels;
    const std::uint64_t mask =
        frame->ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? frame->ch_layout.u.mask : 0;
    if (m_swr != nullptr && frame->sample_rate == m_inRate && frame->format == m_inFormat &&
        channels == m_inChannels && mask == m_inMask) {
        return true;
    }
    swr_free(&m_swr);
    m_holds = false;
    if (channels <= 0 || channels > kMaxChannels || frame->sample_rate < MediaFile::kMinRate ||
        frame->sample_rate > MediaFile::kMaxRate || frame->format < 0 ||
        frame->format >= AV_SAMPLE_FMT_NB || m_target.sampleRate <= 0 ||
        (m_target.channels != 1 && m_target.channels != 2) ||
        (m_target.bitsPerSample != 8 && m_target.bitsPerSample != 16)) {
        return false;
    }
    AVChannelLayout in = layoutOf(frame);
    AVChannelLayout out{};
    av_channel_layout_default(&out, m_target.channels);
    const AVSampleFormat outFormat = m_target.is16Bit() ? AV_SAMPLE_FMT_S16 : AV_SAMPLE_FMT_U8;
    const int code = swr_alloc_set_opts2(&m_swr, &out, outFormat, m_target.sampleRate, &in,
                                         static_cast<AVSampleFormat>(frame->format),
                                         frame->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    if (code < 0 || swr_init(m_swr) < 0) {
        swr_free(&m_swr);
        return false;
    }
    m_inRate = frame->sample_rate;
    m_inFormat = frame->format;
    m_inChannels = channels;
    m_inMask = mask;
    return true;
}

void PcmConverter::drainInto(std::vector<std::uint8_t>& out, const std::uint8_t** in, int samples) {
    const std::size_t frameBytes = static_cast<std::size_t>(m_target.blockAlign());
    const int room = swr_get_out_samples(m_swr, samples);
    if (room <= 0) {
        if (in != nullptr) {
            swr_convert(m_swr, nullptr, 0, in, samples);
        }
        return;
    }
    const std::size_t before = out.size();
    out.resize(before + static_cast<std::size_t>(room) * frameBytes);
    std::uint8_t* destination = out.data() + before;
    const int made = swr_convert(m_swr, &destination, room, in, samples);
    out.resize(before + static_cast<std::size_t>(made > 0 ? made : 0) * frameBytes);
}

bool PcmConverter::convert(const DecodedAudio& run, std::vector<std::uint8_t>& out) {
    const AVFrame* frame = run.frame;
    if (frame == nullptr || run.samples <= 0 || run.offset < 0 ||
        run.offset + run.samples > frame->nb_samples || !configure(frame)) {
        return false;
    }
    const auto format = static_cast<AVSampleFormat>(frame->format);
    const int channels = frame->ch_layout.nb_channels;
    const int bytes = av_get_bytes_per_sample(format);
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    std::array<const std::uint8_t*, kMaxChannels> in{};
    const int planes = planar ? channels : 1;
    const std::size_t skip = static_cast<std::size_t>(run.offset) *
                             static_cast<std::size_t>(bytes * (planar ? 1 : channels));
    for (int p = 0; p < planes; ++p) {
        in[static_cast<std::size_t>(p)] = frame->extended_data[p] + skip;
    }
    drainInto(out, in.data(), run.samples);
    m_holds = true;
    return true;
}

void PcmConverter::flush(std::vector<std::uint8_t>& out) {
    while (m_swr != nullptr && m_holds) {
        const std::size_t before = out.size();
        drainInto(out, nullptr, 0);
        m_holds = out.size() > before;
    }
    m_holds = false;
}

void PcmConverter::reset() {
    // A fresh converter: nothing of the old position leaks into the new one.
    swr_free(&m_swr);
    m_holds = false;
}

}  // namespace orvel
