#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds WAV files byte by byte for the tests.
std::string le16(int value);
std::string le32(uint32_t value);
// "RIFF" size "WAVE" "fmt " with a `fmtBody`-byte 16-bit PCM format body.
std::string riffHeader(uint32_t fmtBody = 16, int channels = 2, int rate = 44100);
// A data chunk: "data", the declared size, the samples (little-endian 16-bit).
std::string dataChunk(const std::vector<int16_t>& samples);
std::string dataChunk(const std::vector<int16_t>& samples, uint32_t declaredSize);
// A canonical 44-byte-header WAV file holding the samples.
std::string wavFile(const std::vector<int16_t>& samples, int channels = 2, int rate = 44100);
// `seconds` of a sine tone at 44.1 kHz, the same in every channel (silence for amplitude 0).
std::vector<int16_t> tone(double seconds, double frequency, int amplitude, int channels = 2);
// The 16-bit samples stored from byte `offset` on (as many as fit).
std::vector<int16_t> samplesAt(const std::string& bytes, size_t offset);
