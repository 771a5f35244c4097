#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "shell/TextCodec.h"
#include "tests/lyrics/SmfWriter.h"
#include "tests/support/TestSupport.h"

namespace {

using nlohmann::json;

class LyricsCliTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string home = dir.file("home/");

    CliResult cli(std::vector<std::string> args) {
        args.insert(args.begin(), {"--home", home});
        return runCli(args);
    }
};

TEST_F(LyricsCliTest, LrcPrintsLinesAndTheCurrentLine) {
    const std::string file = dir.file("a.lrc");
    writeBytes(file, TextCodec::utf8ToGbk("[offset:-300]\r\n[00:01.00]一\r\n[00:02.00]二"));
    const CliResult plain = cli({"lrc", file});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(json::parse(plain.out), json::parse(R"({"offset":-300,"maxTextBytes":4,"lines":[
                  {"start":1000,"end":2000,"text":"一\n"},{"start":2000,"end":2500,"text":"二"}]})"));
    EXPECT_EQ(json::parse(cli({"lrc", file, "--at", "1500", "--offset", "600"}).out)["current"], 1);
    EXPECT_EQ(json::parse(cli({"lrc", file, "--at", "2500", "--previous", "0"}).out)["current"], 0);
    EXPECT_EQ(cli({"lrc", file, "--offset", "5"}).exitCode, 2);
    EXPECT_EQ(cli({"lrc", file, "--at", "x"}).exitCode, 2);
    const CliResult missing = cli({"lrc", dir.file("none.lrc")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("none.lrc"), std::string::npos);
}

TEST_F(LyricsCliTest, LrcPrintsWordTimesAndReadsTheLyricOfAMidiSong) {
    const std::string file = dir.file("w.lrc");
    writeBytes(file, "[00:01.00]<00:01.00>Twin<00:01.40>kle<00:02.00>\n[00:03.00]plain");
    const CliResult words = cli({"lrc", file});
    ASSERT_EQ(words.exitCode, 0) << words.err;
    const json lines = json::parse(words.out)["lines"];
    EXPECT_EQ(lines[0]["words"], json::parse(R"([{"text":"Twin","start":1000,"end":1400},
                                                 {"text":"kle","start":1400,"end":2000}])"));
    EXPECT_FALSE(lines[1].contains("words"));

    SmfWriter smf;
    smf.track().lyric(0, "Hel").lyric(480, "lo\r").lyric(480, "World");
    const std::string kar = dir.file("song.kar");
    writeBytes(kar, smf.bytes());
    const CliResult midi = cli({"lrc", kar, "--at", "1200"});
    ASSERT_EQ(midi.exitCode, 0) << midi.err;
    EXPECT_EQ(json::parse(midi.out), json::parse(R"({"offset":0,"maxTextBytes":5,"current":1,
        "lines":[{"start":0,"end":1000,"text":"Hello","words":[{"text":"Hel","start":0,"end":500},
                 {"text":"lo","start":500,"end":1000}]},
                 {"start":1000,"end":2000,"text":"World","words":[
                 {"text":"World","start":1000,"end":2000}]}]})"));
    writeBytes(dir.file("bad.mid"), "MThd?");
    const CliResult bad = cli({"lrc", dir.file("bad.mid")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("not a MIDI file"), std::string::npos) << bad.err;
}

TEST_F(LyricsCliTest, HeadNamesAndPaths) {
    writeBytes(dir.file("h.lrc"), "[ar: Singer. ][ti:Title]");
    EXPECT_EQ(json::parse(cli({"lrc-head", dir.file("h.lrc")}).out),
              json::parse(R"({"singer":"Singer","title":"Title"})"));
    EXPECT_EQ(cli({"lrc-head", dir.path()}).exitCode, 1);
    EXPECT_EQ(json::parse(cli({"split-name", "王菲 -- 红豆"}).out),
              json::parse(R"({"singer":"王菲","title":"红豆"})"));
    EXPECT_EQ(cli({"lyric-path", "王菲 - 红豆"}).out, home + "MyLyrics/王菲/红豆.lrc\n");
    EXPECT_EQ(cli({"lyric-path", "Solo"}).out, home + "MyLyrics/Solo.lrc\n");
}

TEST_F(LyricsCliTest, AddThenSearchTheLibrary) {
    writeBytes(dir.file("Band - Hit Song.lrc"), "[00:01.00]la");
    const CliResult added = cli({"lyric-add", dir.file("Band - Hit Song.lrc")});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    const std::string stored = home + "MyLyrics/Band/Hit Song.lrc";
    EXPECT_EQ(json::parse(added.out)["path"], stored);
    // Untagged files are not listed; a tagged one in the user's own folder is.
    writeBytes(stored, "[ar:Band][ti:Hit Song]\n[00:01.00]la");
    std::filesystem::create_directories(dir.file("mine/sub"));
    writeBytes(dir.file("mine/sub/Hit.lrc"), "[ar:Me][ti:Hit]");
    const json rows = json::parse(cli({"lyric-search", "Hit", "--custom", dir.file("mine")}).out);
    EXPECT_EQ(rows, json::parse(R"({"rows":[{"singer":"Band","title":"Hit Song","path":")" +
                                stored + R"("},{"singer":"Me","title":"Hit","path":")" +
                                dir.file("mine/sub/Hit.lrc") + R"("}]})"));
    EXPECT_EQ(json::parse(cli({"lyric-search", ""}).out)["rows"].size(), 0u);

    writeBytes(dir.file("NoDash.lrc"), "x");
    const CliResult refused = cli({"lyric-add", dir.file("NoDash.lrc")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(json::parse(refused.out)["path"], "");
    EXPECT_NE(refused.err.find("NoDash.lrc"), std::string::npos);
    EXPECT_EQ(readBytes(dir.file("NoDash.lrc")), "x");
}

}  // namespace
