#include "tests/audiotools/WaveBuilder.h"

std::string le16(int value) {
    const auto v = static_cast<uint16_t>(value);
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string le32(uint32_t value) {
    return le16(static_cast<int>(value & 0xFFFF)) + le16(static_cast<int>(value >> 16));
}

std::string riffHeader(uint32_t fmtBody) {
    std::string fmt = le16(1) + le16(2) + le32(44100) + le32(44100 * 4) + le16(4) + le16(16);
    fmt.resize(fmtBody, '\0');
    return "RIFF" + le32(0) + "WAVE" + "fmt " + le32(fmtBody) + fmt;
}

std::string dataChunk(const std::vector<int16_t>& samples, uint32_t declaredSize) {
    std::string chunk = "data" + le32(declaredSize);
    for (const int16_t sample : samples) {
        chunk += le16(sample);
    }
    return chunk;
}

std::string dataChunk(const std::vector<int16_t>& samples) {
    return dataChunk(samples, static_cast<uint32_t>(samples.size() * 2));
}

std::string wavFile(const std::vector<int16_t>& samples) {
    return riffHeader() + dataChunk(samples);
}

std::vector<int16_t> samplesAt(const std::string& bytes, size_t offset) {
    std::vector<int16_t> samples;
    for (size_t at = offset; at + 1 < bytes.size(); at += 2) {
        const auto low = static_cast<uint8_t>(bytes[at]);
        const auto high = static_cast<uint8_t>(bytes[at + 1]);
        samples.push_back(static_cast<int16_t>(static_cast<uint16_t>(low | high << 8)));
    }
    return samples;
}
