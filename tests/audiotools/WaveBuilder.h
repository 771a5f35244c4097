#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds WAV files byte by byte for the tests.
std::string le16(int value);
std::string le32(uint32_t value);
// "RIFF" size "WAVE" "fmt " with a `fmtBody`-byte PCM stereo format body.
std::string riffHeader(uint32_t fmtBody = 16);
// A data chunk: "data", the declared size, the samples (little-endian 16-bit).
std::string dataChunk(const std::vector<int16_t>& samples);
std::string dataChunk(const std::vector<int16_t>& samples, uint32_t declaredSize);
// A canonical 44-byte-header stereo WAV file holding the samples.
std::string wavFile(const std::vector<int16_t>& samples);
// The 16-bit samples stored from byte `offset` on (as many as fit).
std::vector<int16_t> samplesAt(const std::string& bytes, size_t offset);
