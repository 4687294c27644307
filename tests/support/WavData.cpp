#include "support/WavData.h"

#include <gtest/gtest.h>

#include <fstream>

namespace orvel::test {

std::vector<std::uint8_t> wavPcm(const std::string& path, WavInfo* info) {
    const WavInfo found = WavReader::readFile(path);
    if (info != nullptr) {
        *info = found;
    }
    if (!found.ok()) {
        ADD_FAILURE() << "cannot read " << path << " as a WAV file";
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(found.dataOffset));
    std::vector<std::uint8_t> data(found.dataSize);
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
    data.resize(static_cast<std::size_t>(in.gcount()));
    return data;
}

std::vector<std::uint8_t> floorSilenced(std::vector<std::uint8_t> pcm, const AudioFormat& format) {
    if (format.is16Bit()) {
        for (std::size_t i = 0; i + 1 < pcm.size(); i += 2) {
            const auto x = static_cast<std::int16_t>(pcm[i] | (pcm[i + 1] << 8));
            if (x > -130 && x < 130) {
                pcm[i] = pcm[i + 1] = 0;
            }
        }
    }
    return pcm;
}

}  // namespace orvel::test
