#include <gtest/gtest.h>

#include "tests/audiotools/WaveBuilder.h"
#include "tests/support/TestSupport.h"

namespace {

class ToolCliTest : public ::testing::Test {
protected:
    TempDir dir;

    std::string mp3(const std::string& name) {
        writeBytes(dir.file(name + ".wav"), wavFile(tone(0.5, 440, 8000)));
        EXPECT_EQ(runCli({"encode", dir.file(name + ".wav"), dir.file(name)}).exitCode, 0);
        return dir.file(name);
    }
};

TEST_F(ToolCliTest, AccompanyShowsItsProgressAndNamesItsOutput) {
    const std::string song = mp3("song.mp3");
    const CliResult result = runCli({"accompany", song, "--passes", "0", "--title", "Backing"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "{\"output\":\"" + dir.file("song(music).mp3") + "\"}\n");
    EXPECT_EQ(result.err,
              "正在解压缩MP3文件,不要关闭窗口,请耐心等待...\n"
              "正在处理声音数据,不要关闭窗口,请耐心等待...\n"
              "正在输出伴奏MP3,不要关闭窗口,请耐心等待...\n"
              "正在写入MP3信息,不要关闭窗口,请耐心等待...\n"
              "全部工作结束!\n");
    EXPECT_EQ(readBytes(dir.file("song(music).mp3"))
                  .substr(readBytes(dir.file("song(music).mp3")).size() - 128, 10),
              "TAGBacking");

    writeBytes(dir.file("fake.mp3"), "RIFF but nothing else");
    const CliResult failed = runCli({"accompany", dir.file("fake.mp3"), "-o", dir.file("o.mp3")});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("decoding " + dir.file("fake.mp3") + " failed"), std::string::npos)
        << failed.err;
    EXPECT_EQ(failed.err.find("全部工作结束!"), std::string::npos);
}

TEST_F(ToolCliTest, SynthesizeUsesTheProgramFolder) {
    const std::string home = dir.file("home");
    const CliResult nothing = runCli({"--home", home, "synthesize", "--voice", ""});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_EQ(nothing.err.rfind("正在压缩保存为MP3,请耐心等待...\n", 0), 0u) << nothing.err;

    const CliResult noRecording = runCli({"--home", home, "synthesize"});
    EXPECT_EQ(noRecording.exitCode, 1);
    EXPECT_NE(noRecording.err.find(home + "/temp.mp3"), std::string::npos) << noRecording.err;

    const std::string voice = mp3("voice.mp3");
    const CliResult made =
        runCli({"--home", home, "synthesize", "--voice", voice, "--offset", "200"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(made.out, "{\"output\":\"" + home + "/output.mp3\"}\n");
}

}  // namespace
