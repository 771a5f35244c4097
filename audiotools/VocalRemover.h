#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "audiotools/PageAlignedBlock.h"
#include "audiotools/SmoothingKernels.h"

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

    // The same work on an open file's sample area, in blocks, a long file's two halves on two
    // threads; throws FileOperation when the file stops holding its samples meanwhile.
    static void processFile(const WaveFile& wave, int passes);
};

// The same removal on a stream of frames that arrives in pieces (a decoder's buffers): pieces
// processed one after the other come out exactly as the whole would in one go.
class VocalRemovalStream {
public:
    // `width` chooses the SIMD form of the smoothing; every form gives the same samples.
    explicit VocalRemovalStream(int passes, SmoothingWidth width = SmoothingWidth::Widest);

    // Processes the next `count` frames (16-bit little-endian left, right) in place.
    void process(uint8_t* frames, size_t count);
    // Continues a stream whose frames before the next are not given: the last of them came out
    // as (previousLeft, previousRight).
    void resumeAfter(int previousLeft, int previousRight);

private:
    size_t pieceFrames() const;
    // Smooths up to pieceFrames() frames in place, segments side by side.
    void smoothPiece(uint8_t* frames, size_t count);
    // How many frames of each segment but the first to redo; false when some segment has none.
    bool findHeads(const uint8_t* frames, size_t segmentFrames,
                   std::array<size_t, SmoothingKernel::kMaxSegments>& heads) const;

    int m_passes;
    SmoothingKernel m_kernel;
    bool m_started = false;
    int m_previousLeft = 0;
    int m_previousRight = 0;
    std::optional<PageAlignedBlock> m_heads;  // the input of each segment's start
};
