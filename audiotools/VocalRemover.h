#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "audiotools/PageAlignedBlock.h"

class WaveFile;

// Makes an accompaniment from a stereo recording by cancelling what both channels share (the
// lead voice usually sits in the centre), then smooths the result to tame the hiss this leaves.
class VocalRemover {
public:
    virtual ~VocalRemover() = default;

    // Processes the 16-bit interleaved stereo samples of a WAV file in place, in one pass over
    // the file: frame 0 stays as it is; every later frame (L, R) becomes (R - L, L - R)
    // with 16-bit wrap-around, then `passes` times each channel moves halfway (truncating toward
    // zero) toward the previous frame's output. A trailing odd sample and the header stay as
    // they are. False, with the WaveErrors class name in `errorName`, when the file cannot be
    // opened as a 16-bit PCM WAV file (it is then unchanged: other sample sizes are refused with
    // FmtDoesntMatch; mono is processed as pairs all the same), or with FileOperation when
    // another process shortens the file during the run.
    bool RemoveVocals(const std::string& path, int passes, std::string* errorName = nullptr) const;

    // The same work on samples in memory: `count` little-endian 16-bit samples, interleaved
    // left, right, at any byte alignment.
    static void processSamples(uint8_t* samples, size_t count, int passes);

    // The same work on an open file's sample area, in blocks; throws FileOperation when the file
    // stops holding its samples meanwhile.
    static void processFile(const WaveFile& wave, int passes);
};

// The same removal on a stream of frames that arrives in pieces (a decoder's buffers): pieces
// processed one after the other come out exactly as the whole would in one go.
class VocalRemovalStream {
public:
    explicit VocalRemovalStream(int passes);

    // Processes the next `count` frames (16-bit little-endian left, right) in place.
    void process(uint8_t* frames, size_t count);

private:
    int m_passes;
    bool m_started = false;
    int m_previousLeft = 0;
    int m_previousRight = 0;
    std::optional<PageAlignedBlock> m_input;  // a copy of the piece being smoothed
};
