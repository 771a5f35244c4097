#include <gtest/gtest.h>

#include "tests/audiotools/WaveBuilder.h"
#include "tests/support/TestSupport.h"

namespace {

class AudioToolsCliTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("a.wav");
};

TEST_F(AudioToolsCliTest, WavInfoReportsTheBoundedSampleArea) {
    writeBytes(path, riffHeader(18) + dataChunk({1, 2, 3, 4}, 4000));
    const CliResult info = runCli({"wav-info", path});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(info.out, "{\"dataBytes\":8,\"dataOffset\":46}\n");

    writeBytes(path, "RIFX" + riffHeader().substr(4));
    const CliResult bad = runCli({"wav-info", path});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.out, "{\"error\":\"RiffDoesntMatch\"}\n");
    EXPECT_NE(bad.err.find(path), std::string::npos);
}

TEST_F(AudioToolsCliTest, RemoveVocalsProcessesInPlaceOrLeavesTheFile) {
    writeBytes(path, wavFile({100, -100, 0, 50}));
    ASSERT_EQ(runCli({"remove-vocals", path, "--passes", "1"}).exitCode, 0);
    EXPECT_EQ(samplesAt(readBytes(path), 44), (std::vector<int16_t>{100, -100, 75, -75}));
    writeBytes(path, wavFile({0, 0, 10, 50}));
    ASSERT_EQ(runCli({"remove-vocals", path}).exitCode, 0);
    EXPECT_EQ(samplesAt(readBytes(path), 44), (std::vector<int16_t>{0, 0, 10, -10}));

    const std::string noData = riffHeader() + "LIST" + le32(0);
    writeBytes(path, noData);
    const CliResult failed = runCli({"remove-vocals", path});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.out, "{\"error\":\"DataDoesntMatch\"}\n");
    EXPECT_EQ(readBytes(path), noData);
    EXPECT_EQ(runCli({"remove-vocals", path, "--passes", "two"}).exitCode, 2);
}

}  // namespace
