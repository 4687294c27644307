#include "TestMedia.h"

#include <algorithm>
#include <cmath>

#include "audio/CaptureEngine.h"
#include "encoders/EncoderOutputFactory.h"
#include "support/Signal.h"

namespace orvel::test {

bool writeMedia(const std::string& path, OutputFormat format, const AudioFormat& audio,
                const std::vector<std::uint8_t>& pcm) {
    StartResult result = StartResult::Ok;
    const OutputRequest request{path, format, audio,
                                static_cast<int>(CaptureEngine::blockSizeFor(audio, false))};
    std::unique_ptr<AudioOutput> output = makeEncoderOutputFactory({})(request, result);
    if (!output) {
        return false;
    }
    const std::size_t chunk = output->chunkBytes();
    for (std::size_t at = 0; at < pcm.size(); at += chunk) {
        if (!output->write(pcm.data() + at, std::min(chunk, pcm.size() - at))) {
            return false;
        }
    }
    return output->finish();
}

std::vector<std::uint8_t> toneFrom(double onsetSeconds, double seconds, double frequency,
                                   double peakDbfs, const AudioFormat& format) {
    const auto frameBytes = static_cast<std::size_t>(format.blockAlign());
    std::vector<std::uint8_t> pcm(
        static_cast<std::size_t>(onsetSeconds * format.sampleRate) * frameBytes,
        format.silenceByte());
    const std::vector<std::uint8_t> tone =
        sinePcm(frequency, peakDbfs, seconds - onsetSeconds, format.sampleRate, format.channels,
                format.bitsPerSample);
    pcm.insert(pcm.end(), tone.begin(), tone.end());
    return pcm;
}

long onsetSample(const std::vector<double>& samples, double threshold) {
    const auto it = std::find_if(samples.begin(), samples.end(),
                                 [threshold](double x) { return std::abs(x) > threshold; });
    return it == samples.end() ? -1 : static_cast<long>(it - samples.begin());
}

}  // namespace orvel::test
