#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A recording as FFmpeg's own demuxers and decoders read it back: the check that what the
// encoders wrote is what a player gets.
namespace orvel::test {

struct Decoded {
    bool ok = false;
    std::string codec;                            // the decoder's name: "mp3float", "wmav2"...
    int sampleRate = 0;                           // of the decoded audio
    int channels = 0;                             // of the stream
    std::vector<std::vector<double>> samples;     // per channel, -1..1
    std::map<std::string, std::string> metadata;  // the container's tags, FFmpeg's key names

    std::size_t frames() const { return samples.empty() ? 0 : samples[0].size(); }
    double seconds() const { return sampleRate > 0 ? double(frames()) / sampleRate : 0.0; }
};

Decoded decodeFile(const std::string& path);

// The whole file's bytes.
std::vector<std::uint8_t> readBytes(const std::string& path);

}  // namespace orvel::test
