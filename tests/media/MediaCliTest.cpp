#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>

#include "tests/media/MediaFixtures.h"
#include "tests/support/TestSupport.h"

namespace {

struct FormatCase {
    const char* name;
    const char* file;
    std::function<void(const TempDir&, const std::string&)> make;
    int seconds;  // length the file is made with, whole seconds
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const FormatCase& format, std::ostream* out) {
    *out << format.name;
}

// The last line that vocalia-cli play printed.
nlohmann::json lastJsonLine(const std::string& out) {
    const size_t end = out.find_last_not_of('\n');
    const size_t start = out.rfind('\n', end);
    return nlohmann::json::parse(out.substr(start == std::string::npos ? 0 : start + 1));
}

class MediaFormatTest : public ::testing::TestWithParam<FormatCase> {};

// Each format the player accepts measures its length, seeks and plays to its end.
TEST_P(MediaFormatTest, MeasuresSeeksAndPlaysToTheEnd) {
    const FormatCase& format = GetParam();
    TempDir dir;
    const std::string path = dir.file(format.file);
    format.make(dir, path);

    const CliResult probe = runCli({"probe", path});
    ASSERT_EQ(probe.exitCode, 0) << probe.err;
    const int measured = nlohmann::json::parse(probe.out)["durationSeconds"];
    EXPECT_GE(measured, format.seconds - 1);
    EXPECT_LE(measured, format.seconds);

    const CliResult play = runCli({"play", path, "--seek", "1500"});
    ASSERT_EQ(play.exitCode, 0) << play.err;
    const nlohmann::json summary = lastJsonLine(play.out);
    EXPECT_TRUE(summary["completed"].get<bool>()) << play.out;
    // Started at the seek point: the first position printed is past it.
    const nlohmann::json first = nlohmann::json::parse(play.out.substr(0, play.out.find('\n')));
    EXPECT_GE(first["positionMs"].get<int64_t>(), 1000) << play.out;
}

const FormatCase kFormats[] = {
    {"Wav", "song.wav", [](const TempDir&, const std::string& p) { makeToneWav(p, 3.2); }, 3},
    {"Mp3", "song.mp3", [](const TempDir&, const std::string& p) { makeToneMp3(p, 3.2); }, 3},
    {"Wma", "song.wma", [](const TempDir&, const std::string& p) { makeToneWma(p, 3.2); }, 3},
    {"Midi", "song.mid", [](const TempDir&, const std::string& p) { makeMidi(p, 3.2); }, 3},
    {"Avi", "clip.avi", [](const TempDir&, const std::string& p) { makeAviVideo(p, 3.2); }, 3},
    {"Asf", "clip.asf", [](const TempDir&, const std::string& p) { makeAsfVideo(p, 3.2); }, 3},
    {"Mpeg", "clip.mpg", [](const TempDir&, const std::string& p) { makeMpegVideo(p, 4); }, 4},
    {"VcdDat", "AVSEQ01.DAT",
     [](const TempDir& dir, const std::string& p) {
         makeMpegVideo(dir.file("inner.mpg"), 4);
         makeVcdDat(dir.file("inner.mpg"), p);
     },
     4},
};

INSTANTIATE_TEST_SUITE_P(EachFormat, MediaFormatTest, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MediaCliTest, VcdDatMeasuresLikeTheMpegItHolds) {
    TempDir dir;
    makeMpegVideo(dir.file("inner.mpg"), 5);
    makeVcdDat(dir.file("inner.mpg"), dir.file("video.dat"));
    const CliResult mpeg = runCli({"probe", dir.file("inner.mpg")});
    const CliResult dat = runCli({"probe", dir.file("video.dat")});
    ASSERT_EQ(dat.exitCode, 0) << dat.err;
    EXPECT_EQ(dat.out, mpeg.out);
}

TEST(MediaCliTest, PlayRefusesWhatItCannotPlayAndBadOptions) {
    TempDir dir;
    writeBytes(dir.file("bad.mp3"), "garbage, not audio");
    const CliResult bad = runCli({"play", dir.file("bad.mp3")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("bad.mp3"), std::string::npos);
    EXPECT_EQ(runCli({"probe", dir.file("bad.mp3")}).exitCode, 1);
    EXPECT_EQ(runCli({"probe", dir.file("none.mp3")}).exitCode, 1);

    makeToneWav(dir.file("ok.wav"), 1);
    EXPECT_EQ(runCli({"play", dir.file("ok.wav"), "--channel", "middle"}).exitCode, 2);
    EXPECT_EQ(runCli({"play", dir.file("ok.wav"), "--seconds", "-1"}).exitCode, 2);
    EXPECT_EQ(runCli({"play"}).exitCode, 2);
}

TEST(MediaCliTest, PlayStopsAfterTheGivenSeconds) {
    TempDir dir;
    makeToneWav(dir.file("long.wav"), 20);
    const CliResult play = runCli({"play", dir.file("long.wav"), "--seconds", "1"});
    ASSERT_EQ(play.exitCode, 0) << play.err;
    const nlohmann::json summary = lastJsonLine(play.out);
    EXPECT_FALSE(summary["completed"].get<bool>());
    EXPECT_EQ(summary["durationSeconds"], 20);
    EXPECT_LT(summary["positionMs"].get<int64_t>(), 5000);
}

}  // namespace
