#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The header frame at the start of an MP3 (Xing, Info or VBRI): a frame of silence that carries
// the stream's length instead of sound, and in LAME's extension of the Xing/Info frame the
// encoder's lead-in and trailing padding in samples, which decoders trim so that they play
// exactly what was encoded.
namespace LameTag {

// LAME's lead-in as its tag records it; decoders add the 529 samples of their own filter bank.
constexpr int kEncoderDelay = 576;
constexpr int kDecoderDelay = 529;

struct Gap {
    int delay = 0;    // samples before the first encoded one
    int padding = 0;  // samples after the last encoded one
};

// Whether `frame` (a whole frame, its four header bytes first) is a header frame and no sound.
bool isHeaderFrame(std::string_view frame);

// The lead-in and padding the LAME extension of a Xing/Info `frame` records, when it has one.
std::optional<Gap> readGap(std::string_view frame);

// Puts an Info frame with LAME's lead-in and the padding beyond `encodedSamples` (samples a
// channel that went into the encoder) at the head of the MPEG-1/2/2.5 Layer III file at `path`,
// in place of a header frame that is there. The file is rewritten atomically; false (and
// `error`) when it cannot be read or written, holds no Layer III frame, or holds fewer samples
// than `encodedSamples` plus the lead-in.
bool writeGap(const std::string& path, int64_t encodedSamples, std::string& error);

}  // namespace LameTag
