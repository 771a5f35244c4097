#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/media/MediaFixtures.h"
#include "tests/support/TestSupport.h"

namespace {

bool exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

TEST(ToneCliTest, KeyAndTempoOutOfRangeAreRefusedWithTheirRanges) {
    TempDir dir;
    makeToneWav(dir.file("tone.wav"), 0.5);
    const std::string in = dir.file("tone.wav");
    const std::string out = dir.file("out.mp3");
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    const Case cases[] = {
        {{"play", in, "--key", "7"}, "--key must be a whole number of semitones from -6 to 6"},
        {{"play", in, "--key", "-7"}, "from -6 to 6"},
        {{"play", in, "--key", "up"}, "--key"},
        {{"play", in, "--tempo", "75"}, "--tempo must be a percentage from 80 to 120"},
        {{"play", in, "--tempo", "97"}, "in steps of 5"},
        {{"render", in, out, "--tempo", "125"}, "from 80 to 120"},
        {{"render", in, out, "--key", "12"}, "from -6 to 6"},
    };
    for (const Case& c : cases) {
        const CliResult result = runCli(c.args);
        EXPECT_EQ(result.exitCode, 2) << c.args[2] << ' ' << c.args.back();
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    }
    EXPECT_FALSE(exists(out));
}

TEST(ToneCliTest, RenderWritesTheSongInTheNewKeyAndTempo) {
    TempDir dir;
    makeToneWav(dir.file("tone.wav"), 4, 440);
    const CliResult render = runCli(
        {"render", dir.file("tone.wav"), dir.file("low.mp3"), "--key", "-5", "--tempo", "80"});
    ASSERT_EQ(render.exitCode, 0) << render.err;
    const CliResult decode = runCli({"decode", dir.file("low.mp3"), dir.file("low.wav")});
    ASSERT_EQ(decode.exitCode, 0) << decode.err;

    const auto samples = readWavSamples(dir.file("low.wav"));
    // 4 s at 80 % last 5 s (the MP3 frames round it up a little).
    const double seconds = static_cast<double>(samples.size()) / 2 / 44100;
    EXPECT_NEAR(seconds, 5.0, 0.1);
    // Away from the ends, where the shifter fades in and out.
    constexpr std::ptrdiff_t kSecond = std::ptrdiff_t{44100} * 2;
    const std::vector<int16_t> middle(samples.begin() + kSecond, samples.end() - kSecond);
    EXPECT_GT(toneShare(middle, 2, 329.63, 2.0), 0.9);
    EXPECT_LT(toneShare(middle, 2, 440.0, 2.0), 0.05);
}

}  // namespace
