#include <gtest/gtest.h>

#include "audiotools/WaveFile.h"
#include "media/DecodeGraph.h"
#include "media/MixTimeline.h"
#include "tests/audiotools/WaveBuilder.h"
#include "tests/support/TestSupport.h"

namespace {

class MixTimelineTest : public ::testing::Test {
protected:
    TempDir dir;

    // Decodes a saved mix and returns its length in seconds and its loudest left sample.
    std::pair<double, int> decoded(const std::string& mp3) {
        const std::string wav = mp3 + ".wav";
        DecodeGraph graph;
        EXPECT_EQ(graph.Build(mp3, wav), 0);
        EXPECT_EQ(graph.Play(), 0) << graph.LastError();
        const WaveFile wave(wav);
        const std::vector<int16_t> samples =
            samplesAt(readBytes(wav).substr(wave.dataOffset(), wave.sampleBytes()), 0);
        int loudest = 0;
        for (size_t i = 0; i < samples.size(); i += 2) {
            loudest = std::max(loudest, std::abs(int(samples[i])));
        }
        return {double(samples.size()) / 2 / 44100, loudest};
    }
};

TEST_F(MixTimelineTest, SaveRightAfterPreviewStopsThePreviewFirst) {
    writeBytes(dir.file("music.wav"), wavFile(tone(2.0, 440, 6000)));
    MixTimeline timeline;
    ASSERT_EQ(timeline.AddMusic(dir.file("music.wav")), 0);
    ASSERT_EQ(timeline.Preview(), 0) << timeline.LastError();
    ASSERT_EQ(timeline.SaveMp3(dir.file("mix.mp3")), 0) << timeline.LastError();
    const auto [seconds, loudest] = decoded(dir.file("mix.mp3"));
    EXPECT_NEAR(seconds, 2.0, 0.08);
    EXPECT_NEAR(loudest, 6000, 600);
    // Stopping a preview that has already been stopped is harmless.
    timeline.StopPreview();
}

TEST_F(MixTimelineTest, ClipsAccumulateAndAreSummedAtTheirOwnLevel) {
    writeBytes(dir.file("music.wav"), wavFile(tone(1.0, 440, 6000)));
    MixTimeline timeline;
    ASSERT_EQ(timeline.AddMusic(dir.file("music.wav")), 0);
    ASSERT_EQ(timeline.AddVoice(dir.file("music.wav"), 0), 0);
    EXPECT_EQ(timeline.DurationMs(), 1000);
    ASSERT_EQ(timeline.SaveMp3(dir.file("twice.mp3")), 0) << timeline.LastError();
    EXPECT_NEAR(decoded(dir.file("twice.mp3")).second, 12000, 1200);

    // A file recorded again under the same name is read again.
    writeBytes(dir.file("music.wav"), wavFile(tone(2.5, 440, 6000)));
    MixTimeline next;
    ASSERT_EQ(next.AddVoice(dir.file("music.wav"), 0), 0);
    EXPECT_EQ(next.DurationMs(), 2500);
}

TEST_F(MixTimelineTest, AVoiceCutAwayByItsOffsetOrUnreadableIsNoMix) {
    writeBytes(dir.file("voice.wav"), wavFile(tone(1.0, 440, 6000)));
    MixTimeline cutAway;
    ASSERT_EQ(cutAway.AddVoice(dir.file("voice.wav"), -1500), 0);
    EXPECT_LT(cutAway.SaveMp3(dir.file("cut.mp3")), 0);
    EXPECT_EQ(cutAway.LastError(), "there is nothing to mix");

    writeBytes(dir.file("noise.wav"), "no sound in here");
    MixTimeline unreadable;
    ASSERT_EQ(unreadable.AddMusic(dir.file("voice.wav")), 0);
    ASSERT_EQ(unreadable.AddVoice(dir.file("noise.wav"), 0), 0);
    EXPECT_LT(unreadable.SaveMp3(dir.file("noise.mp3")), 0);
    EXPECT_EQ(unreadable.LastError().rfind(dir.file("noise.wav") + ": cannot read the file", 0), 0u)
        << unreadable.LastError();
}

}  // namespace
