#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "audiotools/WaveFile.h"
#include "tests/audiotools/WaveBuilder.h"
#include "tests/support/TestSupport.h"

namespace {

class WaveFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("a.wav");

    // The WaveErrors class name opening `bytes` throws, or "" when it opens.
    std::string openError(const std::string& bytes) {
        writeBytes(path, bytes);
        return openErrorOfFile(path);
    }
    static std::string openErrorOfFile(const std::string& file) {
        std::string name;
        const bool opened = catchWaveErrors([&] { const WaveFile wave(file); }, &name);
        return opened ? std::string() : name;
    }
};

TEST_F(WaveFileTest, FindsTheDataChunkByItsChunksElseWhereverItFirstAppears) {
    const std::vector<int16_t> samples{1, 2, 3, 4};
    struct Case {
        const char* what;
        std::string bytes;
        size_t firstSample;
    };
    const Case cases[] = {
        {"canonical header", wavFile(samples), 44},
        {"18-byte fmt body", riffHeader(18) + dataChunk(samples), 46},
        {"LIST chunk before data", riffHeader() + "LIST" + le32(4) + "INFO" + dataChunk(samples),
         56},
        {"\"data\" inside an earlier chunk",
         riffHeader() + "LIST" + le32(8) + "xxdata" + le16(0) + dataChunk(samples), 60},
        {"a LIST chunk naming \"metadata\"",
         riffHeader() + "LIST" + le32(22) + "INFOISFT" + le32(9) + "metadata" + '\0' + '\0' +
             dataChunk(samples),
         74},
        {"odd-sized chunk padded",
         riffHeader() + "JUNK" + le32(3) + "abc" + '\0' + dataChunk(samples), 56},
        {"wrong RIFF and fmt sizes",
         "RIFF" + le32(7) + "WAVE" + "fmt " + le32(99) + riffHeader().substr(20) +
             dataChunk(samples),
         44},
    };
    for (const Case& c : cases) {
        writeBytes(path, c.bytes);
        const WaveFile wave(path);
        EXPECT_EQ(wave.dataOffset(), c.firstSample) << c.what;
        EXPECT_EQ(wave.sampleBytes(), 8u) << c.what;
    }
}

TEST_F(WaveFileTest, SampleAreaEndsAtTheEndOfTheFile) {
    const std::vector<int16_t> samples{1, 2, 3, 4};
    writeBytes(path, riffHeader() + dataChunk(samples, 1000000));
    {
        const WaveFile wave(path);
        EXPECT_EQ(wave.sampleBytes(), 8u);
    }
    writeBytes(path, riffHeader() + dataChunk(samples, 6));
    {
        const WaveFile wave(path);
        EXPECT_EQ(wave.sampleBytes(), 6u);
    }
    // "data" as the last four bytes: found, but nothing follows it.
    writeBytes(path, riffHeader() + "data");
    const WaveFile wave(path);
    EXPECT_EQ(wave.sampleBytes(), 0u);
    EXPECT_EQ(wave.dataOffset(), 40u);
}

TEST_F(WaveFileTest, HeaderChecksFailInTheirOrder) {
    const std::string good = wavFile({1, 2});
    EXPECT_EQ(openError(good), "");
    EXPECT_EQ(openError("RIFX" + good.substr(4)), "RiffDoesntMatch");
    EXPECT_EQ(openError("RIF"), "RiffDoesntMatch");
    EXPECT_EQ(openError("RIFX" + le32(0) + "AVI "), "RiffDoesntMatch");
    EXPECT_EQ(openError("RIFF" + le32(0) + "AVI " + good.substr(12)), "WaveDoesntMatch");
    EXPECT_EQ(openError("RIFF" + le32(0) + "WA"), "WaveDoesntMatch");
    EXPECT_EQ(openError(good.substr(0, 12) + "FMT " + good.substr(16)), "FmtDoesntMatch");
    EXPECT_EQ(openError(good.substr(0, 14)), "FmtDoesntMatch");
    EXPECT_EQ(openError(riffHeader() + "LIST" + le32(0)), "DataDoesntMatch");
    EXPECT_EQ(openError(riffHeader().substr(0, 30)), "DataDoesntMatch");
    // A match must lie wholly inside the file.
    EXPECT_EQ(openError(riffHeader() + "xxdat"), "DataDoesntMatch");
    EXPECT_EQ(openError(riffHeader() + "xxd"), "DataDoesntMatch");
}

TEST_F(WaveFileTest, FilesThatCannotBeOpenedForWriting) {
    EXPECT_EQ(openError(""), "FileOperation");
    EXPECT_EQ(openErrorOfFile(dir.file("missing.wav")), "FileOperation");
    EXPECT_EQ(openErrorOfFile(dir.path()), "FileOperation");

    writeBytes(path, wavFile({1, 2}));
    const int writer = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);
    EXPECT_EQ(openErrorOfFile(path), "FileOperation");
    ::close(writer);
    EXPECT_EQ(openErrorOfFile(path), "");

    // Over 4 GiB (a sparse file: nothing is written).
    writeBytes(dir.file("huge.wav"), wavFile({1, 2}));
    ASSERT_EQ(::truncate(dir.file("huge.wav").c_str(), (int64_t{1} << 32) + 44), 0);
    EXPECT_EQ(openErrorOfFile(dir.file("huge.wav")), "FileOperation");

    // Read-only for everyone, the superuser included, and left as it was.
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(openErrorOfFile(path), "FileOperation");
    EXPECT_EQ(readBytes(path), wavFile({1, 2}));
}

TEST_F(WaveFileTest, ReleasesEverythingAfterAFailure) {
    writeBytes(path, riffHeader() + "LIST" + le32(0));
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(openErrorOfFile(path), "DataDoesntMatch");
    }
    // A leaked lock would keep this writer out.
    const int writer = ::open(path.c_str(), O_RDWR);
    EXPECT_EQ(::flock(writer, LOCK_EX | LOCK_NB), 0);
    ::close(writer);
}

TEST_F(WaveFileTest, WritesReachTheFileAndCloseTwiceIsHarmless) {
    writeBytes(path, wavFile({1, 2, 3, 4}));
    {
        WaveFile wave(path);
        const uint8_t bytes[] = {0x34, 0x12};
        wave.write(wave.dataOffset(), bytes, sizeof bytes);
        wave.close();
        wave.close();
    }
    EXPECT_EQ(samplesAt(readBytes(path), 44), (std::vector<int16_t>{0x1234, 2, 3, 4}));
}

TEST_F(WaveFileTest, AFileShortenedWhileOpenFailsReadsAndWritesWithoutGrowing) {
    writeBytes(path, wavFile({1, 2, 3, 4, 5, 6}));
    const WaveFile wave(path);
    ASSERT_EQ(::truncate(path.c_str(), 48), 0);
    uint8_t bytes[8] = {};
    EXPECT_THROW(wave.read(44, bytes, 8), WaveErrors::FileOperation);
    EXPECT_THROW(wave.write(44, bytes, 8), WaveErrors::FileOperation);
    EXPECT_EQ(readBytes(path).size(), 48u);
}

TEST_F(WaveFileTest, TellsSixteenBitPcmFromOtherFormats) {
    const std::string stereo = riffHeader();
    const auto withFields = [&](int tag, int bits, uint32_t body = 16) {
        std::string header = riffHeader(body);
        header.replace(20, 2, le16(tag));
        header.replace(34, 2, le16(bits));
        return header;
    };
    std::string extensible = withFields(0xFFFE, 16, 40);
    const auto isPcm16 = [&](const std::string& header) {
        writeBytes(path, header + dataChunk({1, 2}));
        return WaveFile(path).isPcm16();
    };
    EXPECT_TRUE(isPcm16(stereo));
    EXPECT_TRUE(isPcm16(riffHeader(16, 1)));
    EXPECT_FALSE(isPcm16(withFields(1, 8)));
    EXPECT_FALSE(isPcm16(withFields(1, 24)));
    EXPECT_FALSE(isPcm16(withFields(3, 16)));
    EXPECT_FALSE(isPcm16(extensible));
    extensible.replace(44, 2, le16(1));
    EXPECT_TRUE(isPcm16(extensible));
    // Too short to say.
    EXPECT_FALSE(isPcm16(riffHeader(10) + "padded"));
}

}  // namespace
