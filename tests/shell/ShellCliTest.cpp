#include <gtest/gtest.h>

#include "shell/TextCodec.h"
#include "tests/support/TestSupport.h"

namespace {

class ShellCliTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string ini = dir.file("c.ini");
};

TEST_F(ShellCliTest, IniGetFollowsTheTypedReadRules) {
    writeBytes(ini, "[N]\r\nA=12abc\r\nB=abc\r\nE=\r\nS=  hello world  \r\nD=0.05\r\n");
    EXPECT_EQ(runCli({"ini", "get", ini, "N", "A", "--int"}).out, "12\n");
    EXPECT_EQ(runCli({"ini", "get", ini, "n", "b", "--int", "--default", "5"}).out, "0\n");
    EXPECT_EQ(runCli({"ini", "get", ini, "N", "E", "--int", "--default", "5"}).out, "5\n");
    EXPECT_EQ(runCli({"ini", "get", ini, "N", "E", "--default", "5"}).out, "\n");
    EXPECT_EQ(runCli({"ini", "get", ini, "N", "S"}).out, "hello world\n");
    EXPECT_EQ(runCli({"ini", "get", ini, "N", "D", "--double"}).out, "0.050000\n");
    EXPECT_EQ(runCli({"ini", "get", ini, "N", "X", "--double", "--default", "-2.5"}).out,
              "-2.500000\n");
    EXPECT_EQ(runCli({"ini", "get", dir.file("none.ini"), "N", "X", "--default", "d"}).out, "d\n");
}

TEST_F(ShellCliTest, IniSetWritesAsTheStoreDoes) {
    ASSERT_EQ(runCli({"ini", "set", ini, "W", "I", "-1", "--int"}).exitCode, 0);
    ASSERT_EQ(runCli({"ini", "set", ini, "W", "D", "0.05", "--double"}).exitCode, 0);
    ASSERT_EQ(
        runCli({"ini", "set", ini, "W", "P", "0.05", "--double", "--precision", "2"}).exitCode, 0);
    ASSERT_EQ(runCli({"ini", "set", ini, "W", "S", "宋体"}).exitCode, 0);
    EXPECT_EQ(readBytes(ini), "[W]\nI=-1\nD=0.050000\nP=0.05\nS=宋体\n");
}

TEST_F(ShellCliTest, UsageErrorsAndFailures) {
    EXPECT_EQ(runCli({}).exitCode, 2);
    EXPECT_EQ(runCli({"no-such-command"}).exitCode, 2);
    EXPECT_EQ(runCli({"ini", "get", ini, "S"}).exitCode, 2);
    EXPECT_EQ(runCli({"ini", "get", ini, "S", "K", "--bogus"}).exitCode, 2);
    EXPECT_EQ(runCli({"ini", "set", ini, "S", "K", "x", "--int"}).exitCode, 2);
    const CliResult denied = runCli({"ini", "set", dir.file("no/dir/c.ini"), "S", "K", "v"});
    EXPECT_EQ(denied.exitCode, 1);
    EXPECT_NE(denied.err.find("no/dir/c.ini"), std::string::npos);
    const CliResult help = runCli({"ini", "get", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("usage: vocalia-cli ini get"), std::string::npos);
}

TEST_F(ShellCliTest, HomeWritesAppPath) {
    const CliResult result = runCli({"--home", dir.file("h"), "home"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, dir.file("h/") + "\n");
    EXPECT_EQ(readBytes(dir.file("h/OrvMelodeck.ini")), "[App]\nAppPath=" + dir.file("h/") + "\n");
}

TEST_F(ShellCliTest, GbkAndUtf8FilesReadTheSame) {
    writeBytes(dir.file("gbk.ini"), "[Tab]\nCat0=" + TextCodec::utf8ToGbk("儿歌") + "\n");
    writeBytes(dir.file("utf8.ini"), "[Tab]\nCat0=儿歌\n");
    EXPECT_EQ(runCli({"ini", "get", dir.file("gbk.ini"), "Tab", "Cat0"}).out, "儿歌\n");
    EXPECT_EQ(runCli({"ini", "get", dir.file("utf8.ini"), "Tab", "Cat0"}).out, "儿歌\n");
}

}  // namespace
