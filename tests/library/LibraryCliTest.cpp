#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>

#include "tests/support/TestSupport.h"

namespace {

using nlohmann::json;

std::string frames(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        std::string frame(417, '\0');
        frame.replace(0, 4, "\xFF\xFB\x90\x44");
        bytes += frame;
    }
    return bytes;
}

class LibraryCliTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string mp3 = dir.file("song.mp3");
};

TEST_F(LibraryCliTest, TagThenReadEveryField) {
    writeBytes(mp3, frames(1000));
    ASSERT_EQ(runCli({"tag", mp3, "--title", "歌名", "--artist", "歌手", "--album", "专辑",
                      "--year", "2024", "--comment", "c", "--track", "9", "--genre", "17"})
                  .exitCode,
              0);
    const json info = json::parse(runCli({"mp3info", mp3}).out);
    EXPECT_EQ(info, json::parse(R"({"flags":3,"artist":"歌手","title":"歌名","album":"专辑",
        "comment":"c","year":"2024","track":9,"genre":17,"frameCount":1000,"duration":26,
        "version":3,"layer":3,"protection":1,"bitrate":128,"sampleRate":44100,"channelMode":1,
        "emphasis":0,"copyright":0,"original":1})"));
    EXPECT_EQ(json::parse(runCli({"song", mp3}).out),
              json::parse(R"({"displayName":"歌手 - 歌名","durationSeconds":26,
                              "durationText":"00:26"})"));
    ASSERT_EQ(runCli({"tag", mp3, "--remove"}).exitCode, 0);
    EXPECT_EQ(readBytes(mp3), frames(1000));
    EXPECT_EQ(runCli({"tag", mp3, "--track", "x"}).exitCode, 2);
    EXPECT_EQ(runCli({"tag", dir.file("no/such.mp3")}).exitCode, 1);
}

TEST_F(LibraryCliTest, ReadingCommandsFailCleanlyAndChangeNothing) {
    const std::string binary("\xFF\xFB\x00TAG\x00\r\n#EXTINF:\xFF,\x00", 16);
    writeBytes(mp3, binary);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"mp3info", mp3}, {"song", mp3}, {"m3u", mp3}}) {
        EXPECT_EQ(runCli(args).exitCode, 0) << args[0];
        EXPECT_EQ(readBytes(mp3), binary) << args[0];
        std::vector<std::string> missing = args;
        missing[1] = dir.file("missing");
        const CliResult result = runCli(missing);
        EXPECT_EQ(result.exitCode, 1) << args[0];
        EXPECT_NE(result.err.find("missing"), std::string::npos) << args[0];
    }
}

TEST_F(LibraryCliTest, SaveAndLoadAPlaylist) {
    writeBytes(mp3, frames(2303));
    writeBytes(dir.file("Other Song.xyz"), "not media");
    const std::string list = dir.file("list.m3u");
    const CliResult saved = runCli({"m3u-save", list, mp3, dir.file("Other Song.xyz")});
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_EQ(readBytes(list), "#EXTM3U\n#EXTINF:60,song\r\n" + mp3 +
                                   "\r\n#EXTINF:0,Other Song\r\n" + dir.file("Other Song.xyz") +
                                   "\r\n");
    const json loaded = json::parse(runCli({"m3u", list}).out);
    EXPECT_EQ(loaded, json::parse(saved.out));
    EXPECT_EQ(loaded["entries"][0]["durationText"], "01:00");
    EXPECT_EQ(runCli({"m3u-save", list}).exitCode, 2);
    EXPECT_EQ(runCli({"m3u-save", dir.file("no/dir.m3u"), mp3}).exitCode, 1);
}

TEST_F(LibraryCliTest, PinyinOfUtf8Text) {
    EXPECT_EQ(runCli({"pinyin", "中国abc"}).out, "zgABC\n");
    EXPECT_EQ(runCli({"pinyin", "中国", "--options", "1"}).out, "zhongguo\n");
    EXPECT_EQ(runCli({"pinyin", "给", "--options", "-1"}).out, "\n");
}

}  // namespace

namespace {

TEST(LibraryCliFolderTest, AFolderIsNoSongAndNothingIsSaved) {
    TempDir dir;
    writeBytes(dir.file("a.mp3"), frames(10));
    std::filesystem::create_directories(dir.file("folder"));
    const CliResult result =
        runCli({"m3u-save", dir.file("out.m3u"), dir.file("a.mp3"), dir.file("folder")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("not a song file"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.m3u")));
}

// A playlist of 512 Ki one-letter songs lists within 256 MB, entry by entry; a playlist bigger
// than the memory allowed ends with a clear message and exit 1, not an abort.
TEST(LibraryCliMemoryTest, HugePlaylistsListWithinBoundsOrFailCleanly) {
    if (kAddressSanitizer) {
        GTEST_SKIP() << "the address sanitizer reserves more address space than the limit";
    }
    TempDir dir;
    constexpr size_t kLimit = 256U << 20U;
    std::string lines;
    for (int i = 0; i < 524288; ++i) {
        lines += "a\n";
    }
    writeBytes(dir.file("big.m3u"), lines);
    const CliResult big = runCliWithin(kLimit, {"m3u", dir.file("big.m3u")});
    ASSERT_EQ(big.exitCode, 0) << big.err;
    EXPECT_EQ(json::parse(big.out)["entries"].size(), 524288U);

    writeBytes(dir.file("huge.m3u"), std::string(kLimit, 'a'));
    const CliResult tooBig = runCliWithin(kLimit, {"m3u", dir.file("huge.m3u")});
    EXPECT_EQ(tooBig.exitCode, 1);
    EXPECT_NE(tooBig.err.find("not enough memory"), std::string::npos) << tooBig.err;
}

}  // namespace
