#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "media/MusicPlayer.h"
#include "media/ToneStage.h"
#include "tests/audiotools/WaveBuilder.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr int kRate = 44100;

class ToneStageTest : public ::testing::Test {
protected:
    void TearDown() override {
        PlaybackTone::setKey(0);
        PlaybackTone::setTempo(PlaybackTone::kOriginalTempo);
        PlaybackTone::setVocalCut(false);
    }

    TempDir dir;
};

double leftShare(const std::vector<int16_t>& samples, double frequency, double seconds) {
    return toneShare(samples, 2, frequency, seconds);
}

TEST_F(ToneStageTest, KeyShiftIsHeardAtTheShiftedFrequencyAndChangesWhilePlaying) {
    makeToneWav(dir.file("tone.wav"), 6);
    PlaybackTone::setKey(-5);
    MusicPlayer player;
    ASSERT_EQ(player.Open(dir.file("tone.wav")), 0);
    SourceRecording recording("out.monitor");
    ASSERT_EQ(player.Play(), 0);
    const auto heardAt = [](double frequency) {
        return [frequency](const std::vector<int16_t>& samples) {
            return leftShare(samples, frequency, 0.5) > 0.8;
        };
    };
    EXPECT_TRUE(recording.waitFor(heardAt(329.63), 5000));
    EXPECT_LT(leftShare(recording.samples(), 440.0, 0.5), 0.1);

    PlaybackTone::setKey(3);
    EXPECT_TRUE(recording.waitFor(heardAt(523.25), 3000));
    EXPECT_EQ(player.State(), GraphState::Running);
    recording.finish();
}

// The typical rate of y against x: the median of the rates over spans of `span` points, so
// that a late buffer and the catch-up after it on a busy machine do not move it.
double medianRate(const std::vector<std::pair<double, double>>& points, size_t span) {
    std::vector<double> rates;
    for (size_t i = 0; i + span < points.size(); ++i) {
        rates.push_back((points[i + span].second - points[i].second) /
                        (points[i + span].first - points[i].first));
    }
    std::nth_element(rates.begin(), rates.begin() + static_cast<std::ptrdiff_t>(rates.size() / 2),
                     rates.end());
    return rates[rates.size() / 2];
}

TEST_F(ToneStageTest, TempoChangeWhilePlayingMovesThePositionAtTheNewRateWithoutAJump) {
    makeToneMp3(dir.file("song.mp3"), 8);
    MusicPlayer player;
    ASSERT_EQ(player.Open(dir.file("song.mp3")), 0);
    ASSERT_EQ(player.Play(), 0);
    ASSERT_TRUE(pumpUntil([&] { return player.GetPositionMs() >= 1000; }, 10000));

    const int64_t before = player.GetPositionMs();
    PlaybackTone::setTempo(80);
    const int64_t after = player.GetPositionMs();
    EXPECT_NEAR(static_cast<double>(after), static_cast<double>(before), 60);

    // Once the sound already on its way to the speakers (still at the old rate) has played,
    // the song moves 0.8 s a second against the clock.
    pumpUntil([] { return false; }, 1000);
    std::vector<std::pair<double, double>> samples;  // wall ms, position ms
    const gint64 from = g_get_monotonic_time();
    for (int i = 0; i < 50; ++i) {
        pumpUntil([] { return false; }, 50);
        samples.emplace_back(static_cast<double>(g_get_monotonic_time() - from) / 1000.0,
                             static_cast<double>(player.GetPositionMs()));
    }
    EXPECT_NEAR(medianRate(samples, 4), 0.8, 0.1);
    // The length stays the song's; the song takes longer to play.
    EXPECT_EQ(player.GetDurationSec(), 8);

    // A seek goes to song time at any tempo.
    player.SeekMs(5000);
    ASSERT_TRUE(pumpUntil([&] { return player.GetPositionMs() >= 5000; }, 5000));
    EXPECT_LT(player.GetPositionMs(), 5800);
}

// A tone that only the left channel carries stays under the cut, so the output must never go
// quiet while the cut is switched.
void writeLeftToneOverCentreWav(const std::string& path, double seconds) {
    const auto frames = static_cast<uint32_t>(seconds * kRate);
    std::vector<int16_t> samples;
    samples.reserve(2 * static_cast<size_t>(frames));
    for (uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double centre = 8000 * std::sin(2 * M_PI * 1000 * t);
        const double left = 8000 * std::sin(2 * M_PI * 700 * t);
        samples.push_back(static_cast<int16_t>(centre + left));
        samples.push_back(static_cast<int16_t>(centre));
    }
    writeBytes(path, wavFile(samples));
}

// Longest run of 10 ms blocks of the left channel below a quiet level between two loud ones
// (the silence before the song starts and after it ends is no gap).
double longestGapMs(const std::vector<int16_t>& samples) {
    constexpr size_t kBlock = kRate / 100;
    const size_t frames = samples.size() / 2;
    bool started = false;
    int run = 0;
    int longest = 0;
    for (size_t first = 0; first + kBlock <= frames; first += kBlock) {
        double sum = 0;
        for (size_t n = 0; n < kBlock; ++n) {
            const double x = samples[2 * (first + n)];
            sum += x * x;
        }
        if (std::sqrt(sum / kBlock) < 500) {
            run += started ? 1 : 0;
            continue;
        }
        longest = std::max(longest, run);
        started = true;
        run = 0;
    }
    return longest * 10.0;
}

// Plays the mix while switching the cut on and off every 200 ms, ending with it on; returns the
// longest gap heard.
double switchWhilePlaying(const std::string& mix) {
    MusicPlayer player;
    EXPECT_EQ(player.Open(mix), 0);
    SourceRecording recording("out.monitor");
    EXPECT_EQ(player.Play(), 0);
    EXPECT_TRUE(
        recording.waitFor([](const auto& s) { return leftShare(s, 1000, 0.3) > 0.3; }, 5000));
    for (int i = 0; i < 6; ++i) {
        PlaybackTone::setVocalCut(i % 2 == 0);
        pumpUntil([] { return false; }, 200);
    }
    PlaybackTone::setVocalCut(true);
    // With the cut on, the centre's 1 kHz is gone and the left channel's 700 Hz remains. Only
    // the last setting lasts longer than the 200 ms of the switching.
    EXPECT_TRUE(
        recording.waitFor([](const auto& s) { return leftShare(s, 700, 0.5) > 0.9; }, 3000));
    EXPECT_LT(leftShare(recording.samples(), 1000, 0.4), 0.05);
    recording.finish();
    EXPECT_EQ(player.State(), GraphState::Running);
    return longestGapMs(recording.samples());
}

TEST_F(ToneStageTest, VocalCutSwitchesWhilePlayingWithoutAGap) {
    writeLeftToneOverCentreWav(dir.file("mix.wav"), 8);
    // A machine too busy to feed the sound server in time leaves a gap now and then; a gap the
    // switching made would come back in the second run.
    double gap = switchWhilePlaying(dir.file("mix.wav"));
    if (gap > 50.0) {
        PlaybackTone::setVocalCut(false);
        gap = switchWhilePlaying(dir.file("mix.wav"));
    }
    EXPECT_LE(gap, 50.0);
}

}  // namespace
