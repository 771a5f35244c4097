#include "tests/audiotools/WaveBuilder.h"

#include <cmath>

std::string le16(int value) {
    const auto v = static_cast<uint16_t>(value);
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

std::string le32(uint32_t value) {
    return le16(static_cast<int>(value & 0xFFFF)) + le16(static_cast<int>(value >> 16));
}

std::string riffHeader(uint32_t fmtBody, int channels, int rate) {
    const auto block = static_cast<uint32_t>(2 * channels);
    std::string fmt = le16(1) + le16(channels) + le32(static_cast<uint32_t>(rate)) +
                      le32(static_cast<uint32_t>(rate) * block) + le16(static_cast<int>(block)) +
                      le16(16);
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

std::string wavFile(const std::vector<int16_t>& samples, int channels, int rate) {
    return riffHeader(16, channels, rate) + dataChunk(samples);
}

std::vector<int16_t> tone(double seconds, double frequency, int amplitude, int channels) {
    const auto frames = static_cast<size_t>(seconds * 44100);
    std::vector<int16_t> samples;
    samples.reserve(frames * static_cast<size_t>(channels));
    for (size_t frame = 0; frame < frames; ++frame) {
        const double value = amplitude * std::sin(2 * M_PI * frequency * double(frame) / 44100);
        samples.insert(samples.end(), static_cast<size_t>(channels), static_cast<int16_t>(value));
    }
    return samples;
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
