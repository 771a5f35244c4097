#include <gtest/gtest.h>

#include <cmath>

#include "library/Mp3Info.h"
#include "media/EncodeGraph.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TestSupport.h"

namespace {

// Stereo frames a decoder makes of the file, at the file's own rate.
double decodedFrames(const std::string& path, const std::string& wavPath) {
    runPipeline("filesrc location=\"" + path +
                "\" ! decodebin ! audioconvert ! audio/x-raw,format=S16LE,channels=2 ! wavenc ! "
                "filesink location=\"" +
                wavPath + "\"");
    return static_cast<double>(readWavSamples(wavPath).size()) / 2;
}

struct Encoding {
    const char* name;
    int rate;
    int channels;
    const char* encoder;
    bool header;  // a Xing frame in front
    int frameSamples;
};

// Half a minute, where timing frames by their bytes comes out a few frames short.
TEST(Mp3DurationTest, ConstantAndVariableBitratesOfEveryVersionReadAsLongAsTheyDecode) {
    const TempDir dir;
    constexpr int kBuffers = 30 * 10;
    for (const Encoding& e : {
             Encoding{"cbr", 44100, 2, "target=bitrate cbr=true bitrate=128", false, 1152},
             Encoding{"vbr-xing", 44100, 2, "target=quality quality=4", true, 1152},
             Encoding{"vbr", 44100, 2, "target=quality quality=4", false, 1152},
             Encoding{"mpeg2", 22050, 1, "target=quality quality=4", true, 576},
             Encoding{"mpeg25", 11025, 2, "target=quality quality=6", false, 576},
         }) {
        const std::string mp3 = dir.file(std::string(e.name) + ".mp3");
        runPipeline("audiotestsrc num-buffers=" + std::to_string(kBuffers) + " samplesperbuffer=" +
                    std::to_string(e.rate / 10) + " ! audio/x-raw,rate=" + std::to_string(e.rate) +
                    ",channels=" + std::to_string(e.channels) + " ! lamemp3enc " + e.encoder +
                    (e.header ? " ! xingmux" : "") + " ! filesink location=\"" + mp3 + "\"");
        const Mp3Info info(mp3);
        const double frames = decodedFrames(mp3, dir.file("decoded.wav"));
        EXPECT_EQ(info.SampleRate(), e.rate) << e.name;
        EXPECT_NEAR(info.PlayTime() * e.rate, frames, e.frameSamples) << e.name;
        EXPECT_EQ(info.Duration(), static_cast<int>(frames / e.rate)) << e.name;
    }
}

TEST(Mp3DurationTest, AnEncodedFileReadsAsLongAsItsSource) {
    const TempDir dir;
    makeToneWav(dir.file("tone.wav"), 3.0);
    EncodeGraph graph;
    ASSERT_EQ(graph.Build(dir.file("tone.wav"), dir.file("tone.mp3")), 0) << graph.LastError();
    ASSERT_EQ(graph.Play(), 0) << graph.LastError();
    EXPECT_NEAR(Mp3Info(dir.file("tone.mp3")).PlayTime(), 3.0, 1.0 / 44100);
}

}  // namespace
