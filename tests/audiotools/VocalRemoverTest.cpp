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

// The smoothing runs segments side by side and then redoes each segment's start: sizes around
// the segment and piece edges, inputs whose guessed start is far off (a square wave at full
// scale, which slow smoothing follows for thousands of frames), and pieces of a stream.
TEST_F(VocalRemoverTest, SegmentedSmoothingIsBitExactAtEveryEdge) {
    std::mt19937 random(23);
    const size_t piece = size_t{16} * 4112;  // the frames smoothed from one copy of the input
    for (const size_t frames :
         {size_t{2}, size_t{3}, size_t{31}, size_t{32}, size_t{33}, size_t{63}, size_t{64},
          size_t{65}, size_t{129}, size_t{257}, size_t{1000}, piece - 1, piece, piece + 1,
          piece + 2, 2 * piece + 33}) {
        for (const int passes : {0, 1, 2, 8}) {
            for (const int range : {32767, 40, 0}) {
                for (const size_t extra : {size_t{0}, size_t{1}}) {
                    const Samples samples = randomSamples(2 * frames + extra, random, range);
                    Samples processed = samples;
                    VocalRemover::processSamples(reinterpret_cast<uint8_t*>(processed.data()),
                                                 processed.size(), passes);
                    ASSERT_EQ(processed, reference(samples, passes))
                        << frames << " frames, " << passes << " passes, range " << range;
                }
            }
        }
    }
    for (const int passes : {2, 8, 20}) {
        Samples square(size_t{2} * 20000);
        for (size_t i = 0; i < square.size(); i += 2) {
            const bool high = (i / 2 / 1500) % 2 == 0;
            square[i] = high ? int16_t{-32768} : int16_t{32767};
            square[i + 1] = high ? int16_t{32767} : int16_t{-32768};
        }
        Samples processed = square;
        VocalRemover::processSamples(reinterpret_cast<uint8_t*>(processed.data()), processed.size(),
                                     passes);
        ASSERT_EQ(processed, reference(square, passes)) << passes << " passes";
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
    std::uniform_int_distribution<int> full(-32768, 32767);
    Samples samples(2 * 700001 + 1);
    for (int16_t& sample : samples) {
        sample = static_cast<int16_t>(full(random));
    }
    for (const int passes : {0, 2, 3}) {
        ASSERT_EQ(removeFromFile(samples, passes), reference(samples, passes)) << passes;
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
