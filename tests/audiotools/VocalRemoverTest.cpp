#include <unistd.h>

#include <gtest/gtest.h>

#include <random>

#include "audiotools/VocalRemover.h"
#include "audiotools/WaveFile.h"
#include "tests/audiotools/WaveBuilder.h"
#include "tests/support/TestSupport.h"

namespace {

using Samples = std::vector<int16_t>;

// The removal step by step, exactly as described, one halving at a time.
Samples reference(Samples s, int passes) {
    for (size_t i = 2; i + 1 < s.size(); i += 2) {
        const int left = s[i];
        const int right = s[i + 1];
        s[i] = static_cast<int16_t>(right - left);
        s[i + 1] = static_cast<int16_t>(left - right);
        for (int p = 0; p < passes; ++p) {
            s[i] = static_cast<int16_t>((s[i - 2] + s[i]) / 2);
            s[i + 1] = static_cast<int16_t>((s[i - 1] + s[i + 1]) / 2);
        }
    }
    return s;
}

class VocalRemoverTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("a.wav");

    // Processes a canonical WAV file of `samples` and returns its samples afterwards.
    Samples removeFromFile(const Samples& samples, int passes) {
        writeBytes(path, wavFile(samples));
        EXPECT_TRUE(VocalRemover().RemoveVocals(path, passes));
        const std::string after = readBytes(path);
        EXPECT_EQ(after.size(), 44 + samples.size() * 2);
        EXPECT_EQ(after.substr(0, 44), wavFile(samples).substr(0, 44));
        return samplesAt(after, 44);
    }
};

TEST_F(VocalRemoverTest, WorkedExamples) {
    // No smoothing: every frame after the first becomes (R - L, L - R).
    EXPECT_EQ(removeFromFile({5, 9, 10, 3, -7, 4}, 0), (Samples{5, 9, -7, 7, 11, -11}));
    // One pass: previous output (100, -100), current (0, 50) -> (50, -50) -> (75, -75).
    EXPECT_EQ(removeFromFile({100, -100, 0, 50}, 1), (Samples{100, -100, 75, -75}));
    // 16-bit wrap-around, not clipping.
    EXPECT_EQ(removeFromFile({0, 0, -32768, 32767}, 0), (Samples{0, 0, -1, 1}));
    // Odd sums truncate toward zero: (0 + -3) / 2 = -1.
    EXPECT_EQ(removeFromFile({0, 0, 3, 0}, 1), (Samples{0, 0, -1, 1}));
    // A trailing odd sample (a mono file's last one, say) stays as it is.
    EXPECT_EQ(removeFromFile({1, 2, 3, 5, 7}, 0), (Samples{1, 2, 2, -2, 7}));
    EXPECT_EQ(removeFromFile({1, 2, 3}, 0), (Samples{1, 2, 3}));
}

TEST_F(VocalRemoverTest, MatchesTheStepByStepRemovalForAnyPassCount) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> full(-32768, 32767);
    std::uniform_int_distribution<int> small(-40, 40);
    for (const int passes : {-3, 0, 1, 2, 3, 5, 8, 16, 17, 19, 20, 21, 33, 100}) {
        for (auto* distribution : {&full, &small}) {
            Samples samples(4001);
            for (int16_t& sample : samples) {
                sample = static_cast<int16_t>((*distribution)(random));
            }
            Samples processed = samples;
            VocalRemover::processSamples(reinterpret_cast<uint8_t*>(processed.data()),
                                         processed.size(), passes);
            ASSERT_EQ(processed, reference(samples, passes)) << "passes " << passes;
        }
    }
}

Samples randomSamples(size_t count, std::mt19937& random, int range) {
    std::uniform_int_distribution<int> values(-range - 1, range);
    Samples samples(count);
    for (int16_t& sample : samples) {
        sample = static_cast<int16_t>(values(random));
    }
    return samples;
}

Samples removeInMemory(Samples samples, int passes, SmoothingWidth width) {
    VocalRemovalStream(passes, width)
        .process(reinterpret_cast<uint8_t*>(samples.data()), samples.size() / 2);
    return samples;
}

// Frames whose channels differ by a steady offset: the smoothing's runs from different starts
// can then stay one step apart for ever.
void fillSteadyOffset(Samples& samples, size_t fromFrame, size_t toFrame) {
    for (size_t frame = fromFrame; frame < toFrame; ++frame) {
        samples[2 * frame] = 1000;
        samples[2 * frame + 1] = 1005;
    }
}

// The smoothing runs segments side by side, each from an arbitrary start, and then redoes each
// segment's start: sizes around the segment and piece edges, inputs whose start takes long to
// settle (a square wave at full scale), inputs where it never settles (a steady offset between
// the channels), and both SIMD forms.
TEST_F(VocalRemoverTest, SegmentedSmoothingIsBitExactAtEveryEdge) {
    std::mt19937 random(23);
    for (const SmoothingWidth width : {SmoothingWidth::Widest, SmoothingWidth::Baseline}) {
        const size_t piece = smoothingKernel(width).segments * 4112;  // one piece of segments
        for (const size_t frames :
             {size_t{2}, size_t{3}, size_t{31}, size_t{32}, size_t{33}, size_t{63}, size_t{64},
              size_t{65}, size_t{129}, size_t{257}, size_t{1000}, piece - 1, piece, piece + 1,
              piece + 2, 2 * piece + 33}) {
            for (const int passes : {0, 1, 2, 6, 7, 8}) {
                for (const int range : {32767, 40, 0}) {
                    for (const size_t extra : {size_t{0}, size_t{1}}) {
                        const Samples samples = randomSamples(2 * frames + extra, random, range);
                        ASSERT_EQ(removeInMemory(samples, passes, width),
                                  reference(samples, passes))
                            << frames << " frames, " << passes << " passes, range " << range;
                    }
                }
            }
        }
        for (const int passes : {1, 2, 8, 20}) {
            Samples square(size_t{2} * 20000);
            for (size_t i = 0; i < square.size(); i += 2) {
                const bool high = (i / 2 / 1500) % 2 == 0;
                square[i] = high ? int16_t{-32768} : int16_t{32767};
                square[i + 1] = high ? int16_t{32767} : int16_t{-32768};
            }
            ASSERT_EQ(removeInMemory(square, passes, width), reference(square, passes))
                << passes << " passes";
            Samples steady = randomSamples(2 * (piece + 5000), random, 32767);
            fillSteadyOffset(steady, 3000, piece + 4000);
            ASSERT_EQ(removeInMemory(steady, passes, width), reference(steady, passes))
                << passes << " passes";
        }
    }
}

TEST_F(VocalRemoverTest, AStreamInPiecesComesOutAsTheWhole) {
    std::mt19937 random(5);
    for (const int passes : {0, 2, 8}) {
        const Samples samples = randomSamples(size_t{2} * 150001, random, 32767);
        Samples streamed = samples;
        VocalRemovalStream stream(passes);
        std::uniform_int_distribution<size_t> pieces(0, 70000);
        for (size_t frame = 0; frame < streamed.size() / 2;) {
            const size_t count = std::min(pieces(random), streamed.size() / 2 - frame);
            stream.process(reinterpret_cast<uint8_t*>(streamed.data() + 2 * frame), count);
            frame += count;
        }
        ASSERT_EQ(streamed, reference(samples, passes)) << passes << " passes";
    }
}

TEST_F(VocalRemoverTest, FilesSpanningManyBlocksMatchTheStepByStepRemoval) {
    std::mt19937 random(11);
    const Samples samples = randomSamples(2 * 700001 + 1, random, 32767);
    for (const int passes : {0, 2, 3}) {
        ASSERT_EQ(removeFromFile(samples, passes), reference(samples, passes)) << passes;
    }
}

// A long file's halves are processed side by side, the second from where its output no longer
// depends on the first; where no such place comes soon after the middle (a steady offset between
// the channels there), the file is processed in one go.
TEST_F(VocalRemoverTest, LongFilesMatchTheStepByStepRemovalWhetherOrNotTheirHalvesRunApart) {
    std::mt19937 random(13);
    const size_t frames = 1200001;
    const Samples samples = randomSamples(2 * frames, random, 32767);
    Samples steadyMiddle = samples;
    fillSteadyOffset(steadyMiddle, frames / 2 - 100, frames / 2 + 70000);
    for (const int passes : {0, 1, 2, 7}) {
        ASSERT_EQ(removeFromFile(samples, passes), reference(samples, passes)) << passes;
        ASSERT_EQ(removeFromFile(steadyMiddle, passes), reference(steadyMiddle, passes)) << passes;
    }
}

TEST_F(VocalRemoverTest, ChunksAreWalkedSoAMetadataListLeavesTheFileWhole) {
    const std::string head =
        riffHeader() + "LIST" + le32(22) + "INFOISFT" + le32(9) + "metadata" + '\0' + '\0';
    writeBytes(path, head + dataChunk({1, 2, 3, 5, 7, 11}));
    ASSERT_TRUE(VocalRemover().RemoveVocals(path, 0));
    const std::string after = readBytes(path);
    EXPECT_EQ(after.substr(0, head.size() + 8), head + dataChunk({}, 12));
    EXPECT_EQ(samplesAt(after, head.size() + 8), (Samples{1, 2, 2, -2, 4, -4}));
}

TEST_F(VocalRemoverTest, OtherSampleSizesAreRefusedAndMonoIsProcessedAsPairs) {
    std::string eightBit = riffHeader() + dataChunk({1, 2, 3, 5});
    eightBit.replace(34, 2, le16(8));
    writeBytes(path, eightBit);
    std::string errorName;
    EXPECT_FALSE(VocalRemover().RemoveVocals(path, 0, &errorName));
    EXPECT_EQ(errorName, "FmtDoesntMatch");
    EXPECT_EQ(readBytes(path), eightBit);

    writeBytes(path, wavFile({1, 2, 3, 5}, 1));
    ASSERT_TRUE(VocalRemover().RemoveVocals(path, 0));
    EXPECT_EQ(samplesAt(readBytes(path), 44), (Samples{1, 2, 2, -2}));
}

TEST_F(VocalRemoverTest, AFileShortenedDuringTheRunEndsItWithAnError) {
    writeBytes(path, wavFile(Samples(size_t{2} * 300000, 5)));
    const WaveFile wave(path);
    ASSERT_EQ(::truncate(path.c_str(), 44 + 4 * 1000), 0);
    EXPECT_THROW(VocalRemover::processFile(wave, 2), WaveErrors::FileOperation);
    EXPECT_EQ(readBytes(path).size(), 44u + 4 * 1000);
}

TEST_F(VocalRemoverTest, DataAtAnOddOffsetIsProcessedInPlace) {
    const std::string header = riffHeader(17);
    writeBytes(path, header + dataChunk({1, 2, 3, 5}));
    ASSERT_TRUE(VocalRemover().RemoveVocals(path, 0));
    EXPECT_EQ(samplesAt(readBytes(path), header.size() + 8), (Samples{1, 2, 2, -2}));
}

TEST_F(VocalRemoverTest, DeclaredLengthBeyondTheFileIsCutAtItsEnd) {
    const std::string bytes = riffHeader() + dataChunk({1, 2, 3, 5}, 0xFFFFFFF0);
    writeBytes(path, bytes);
    ASSERT_TRUE(VocalRemover().RemoveVocals(path, 2));
    const std::string after = readBytes(path);
    EXPECT_EQ(after.size(), bytes.size());
    EXPECT_EQ(samplesAt(after, 44), reference({1, 2, 3, 5}, 2));
}

TEST_F(VocalRemoverTest, FilesItCannotOpenAreLeftUnchanged) {
    const std::string noFmt = "RIFF" + le32(0) + "WAVE" + "JUNK" + dataChunk({1, 2, 3, 4});
    writeBytes(path, noFmt);
    std::string errorName;
    EXPECT_FALSE(VocalRemover().RemoveVocals(path, 2, &errorName));
    EXPECT_EQ(errorName, "FmtDoesntMatch");
    EXPECT_EQ(readBytes(path), noFmt);
    EXPECT_FALSE(VocalRemover().RemoveVocals(dir.file("missing.wav"), 2, &errorName));
    EXPECT_EQ(errorName, "FileOperation");
}

}  // namespace
