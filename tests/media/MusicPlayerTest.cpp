#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "media/ChannelLevel.h"
#include "media/GstHandles.h"
#include "media/MediaProbe.h"
#include "media/MusicPlayer.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TestSupport.h"

namespace {

class MusicPlayerTest : public ::testing::Test {
protected:
    void TearDown() override { setOutputChannelLevel(kChannelLevelStereo); }

    bool waitForPosition(MusicPlayer& player, int64_t atLeastMs) {
        return pumpUntil([&] { return player.GetPositionMs() >= atLeastMs; }, 10000);
    }

    // A tone MP3 of `seconds` that has played past `ms`.
    std::unique_ptr<MusicPlayer> playingTone(double seconds, int64_t ms) {
        makeToneMp3(dir.file("song.mp3"), seconds);
        auto player = std::make_unique<MusicPlayer>();
        EXPECT_EQ(player->Open(dir.file("song.mp3")), 0);
        EXPECT_EQ(player->Play(), 0);
        EXPECT_TRUE(waitForPosition(*player, ms));
        return player;
    }

    TempDir dir;
};

TEST_F(MusicPlayerTest, PlaysPausesResumesSeeksAndStopsKeepingThePosition) {
    makeToneMp3(dir.file("song.mp3"), 6.5);
    MusicPlayer player;
    EXPECT_EQ(player.GetPositionMs(), 0);
    ASSERT_EQ(player.Open(dir.file("song.mp3")), 0);
    EXPECT_EQ(player.GetDurationSec(), 6);
    EXPECT_EQ(player.State(), GraphState::Stopped);

    ASSERT_EQ(player.Play(), 0);
    ASSERT_TRUE(waitForPosition(player, 300));

    ASSERT_EQ(player.TogglePause(), 0);
    EXPECT_EQ(player.State(), GraphState::Paused);
    const int64_t pausedAt = player.GetPositionMs();
    pumpUntil([] { return false; }, 300);
    EXPECT_NEAR(static_cast<double>(player.GetPositionMs()), static_cast<double>(pausedAt), 60);

    ASSERT_EQ(player.TogglePause(), 0);
    ASSERT_TRUE(waitForPosition(player, pausedAt + 200));

    player.SeekMs(4000);
    ASSERT_TRUE(waitForPosition(player, 4000));
    EXPECT_LT(player.GetPositionMs(), 5500);

    ASSERT_EQ(player.Stop(), 0);
    EXPECT_EQ(player.State(), GraphState::Stopped);
    const int64_t stoppedAt = player.GetPositionMs();
    EXPECT_GE(stoppedAt, 4000);
    EXPECT_EQ(player.GetDurationSec(), 6);
    // Play goes on from where Stop left the song, not from its start.
    ASSERT_EQ(player.Play(), 0);
    pumpUntil([] { return false; }, 200);
    EXPECT_GE(player.GetPositionMs(), 4000);

    // A negative seek goes to the start.
    player.SeekMs(-6000);
    pumpUntil([&] { return player.GetPositionMs() < 1000; }, 3000);
    EXPECT_LT(player.GetPositionMs(), 1000);
}

TEST_F(MusicPlayerTest, ThePositionOfAPlayingSongMovesWithTheClockNotInBlocks) {
    // Past the start, where the sound server takes a moment to begin.
    const std::unique_ptr<MusicPlayer> playing = playingTone(7, 2500);
    MusicPlayer& player = *playing;
    // Two seconds of play read every 2 ms, as a wipe across the words reads it.
    const auto start = std::chrono::steady_clock::now();
    const int64_t from = player.GetPositionMs();
    int64_t last = from;
    auto lastMove = start;
    double longestStill = 0;
    int backwards = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(2)) {
        pumpUntil([] { return false; }, 2);
        const int64_t now = player.GetPositionMs();
        const auto at = std::chrono::steady_clock::now();
        backwards += now < last ? 1 : 0;
        if (now != last) {
            longestStill = std::max(
                longestStill, std::chrono::duration<double, std::milli>(at - lastMove).count());
            lastMove = at;
            last = now;
        }
    }
    EXPECT_EQ(backwards, 0);
    EXPECT_LT(longestStill, 40) << "ms without a move";
    // With the clock: two seconds of song in two seconds.
    EXPECT_GE(last - from, 1800);
    EXPECT_LE(last - from, 2300);
}

// What the speakers play is the whole song in one piece, and the position stays near the moment
// being heard, so that the words light up with the singing. The sound server here takes up to a
// second to begin a stream, as a real one can take a while to wake its card; against the clock
// the position would then run that far ahead, and skipping sound to catch up cuts the song.
TEST_F(MusicPlayerTest,
       TheSpeakersPlayTheSongFromItsStartWithoutSkipsAndThePositionKeepsNearWhatIsHeard) {
    makeSweepWav(dir.file("sweep.wav"), 7);
    MusicPlayer player;
    ASSERT_EQ(player.Open(dir.file("sweep.wav")), 0);
    SourceRecording recording("out.monitor");
    ASSERT_EQ(player.Play(), 0);
    ASSERT_TRUE(
        recording.waitFor([](const auto& s) { return sweepTimeAtEnd(s).has_value(); }, 5000));
    const double firstHeard = sweepTimeAtEnd(recording.samples()).value_or(-1);
    EXPECT_LT(firstHeard, 0.15) << "the start of the song was cut";

    std::vector<double> heard;  // every 100 ms
    std::vector<double> leads;  // position less what is heard, ms
    for (int i = 0; i < 30; ++i) {
        pumpUntil([] { return false; }, 100);
        const std::optional<double> now = sweepTimeAtEnd(recording.samples());
        ASSERT_TRUE(now.has_value());
        heard.push_back(*now);
        leads.push_back(static_cast<double>(player.GetPositionMs()) - *now * 1000);
    }
    recording.finish();
    // Each 100 ms of listening moves the song by the same (a late recording buffer shifts one
    // reading, but the song itself never jumps).
    int jumps = 0;
    for (size_t i = 1; i < heard.size(); ++i) {
        jumps += std::abs(heard[i] - heard[i - 1] - 0.1) > 0.03 ? 1 : 0;
    }
    EXPECT_LE(jumps, 3);
    EXPECT_NEAR(heard.back() - heard.front(), 2.9, 0.1);
    std::nth_element(leads.begin(), leads.begin() + 15, leads.end());
    // Ahead by no more than the sound that the server holds.
    EXPECT_NEAR(leads[15], 0, 300) << "ms between the position and what is heard";
}

TEST_F(MusicPlayerTest, EndOfSongIsQueuedAndAnnouncedOnTheOwningThread) {
    makeToneWav(dir.file("short.wav"), 0.5);
    MusicPlayer player;
    ASSERT_EQ(player.Open(dir.file("short.wav")), 0);
    player.SetNotify(true);
    int notifications = 0;
    std::thread::id notifiedOn;
    QObject::connect(&player, &MusicPlayer::eventsQueued, [&] {
        ++notifications;
        notifiedOn = std::this_thread::get_id();
    });
    ASSERT_EQ(player.Play(), 0);
    ASSERT_TRUE(pumpUntil([&] { return notifications > 0; }, 15000));
    EXPECT_EQ(notifiedOn, std::this_thread::get_id());

    MediaEvent event;
    ASSERT_TRUE(player.GetEvent(event));
    EXPECT_EQ(event.code, MediaEvent::Complete);
    EXPECT_FALSE(player.GetEvent(event));
}

TEST_F(MusicPlayerTest, ResetDropsQueuedEventsAndSilencesTheOldSong) {
    makeToneWav(dir.file("short.wav"), 0.3);
    MusicPlayer player;
    ASSERT_EQ(player.Open(dir.file("short.wav")), 0);
    int notifications = 0;
    QObject::connect(&player, &MusicPlayer::eventsQueued, [&] { ++notifications; });
    player.SetNotify(true);
    ASSERT_EQ(player.Play(), 0);
    // Let the song end without serving the main loop, then reset before the end is delivered.
    for (int i = 0; i < 250 && player.GetPositionMs() < 300; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    player.Reset();
    pumpUntil([] { return false; }, 300);
    EXPECT_EQ(notifications, 0);
    MediaEvent event;
    EXPECT_FALSE(player.GetEvent(event));
    EXPECT_EQ(player.GetPositionMs(), 0);
    EXPECT_EQ(player.GetDurationSec(), 0);
}

TEST_F(MusicPlayerTest, AFileThatCannotPlayFailsToOpenWithAReason) {
    writeBytes(dir.file("text.mp3"), "this is no song");
    MusicPlayer player;
    EXPECT_LT(player.Open(dir.file("text.mp3")), 0);
    EXPECT_FALSE(player.LastError().empty());
    EXPECT_LT(player.Open(dir.file("missing.wma")), 0);
    // A pipe would keep the reader waiting for a writer that never comes; a folder holds no
    // media.
    ASSERT_EQ(mkfifo(dir.file("pipe.mp3").c_str(), 0600), 0);
    EXPECT_LT(player.Open(dir.file("pipe.mp3")), 0);
    EXPECT_EQ(probeDurationSeconds(dir.file("pipe.mp3")), std::nullopt);
    EXPECT_LT(player.Open(dir.path()), 0);
    // The player is usable again after a reset.
    makeToneWav(dir.file("ok.wav"), 1.2);
    player.Reset();
    EXPECT_EQ(player.Open(dir.file("ok.wav")), 0);
    EXPECT_EQ(player.GetDurationSec(), 1);
}

TEST_F(MusicPlayerTest, LeftOnlyLevelSilencesTheRightChannelAtTheSpeakers) {
    makeToneWav(dir.file("tone.wav"), 4);
    setOutputChannelLevel(kChannelLevelLeftOnly);
    MusicPlayer player;
    ASSERT_EQ(player.Open(dir.file("tone.wav")), 0);
    SourceRecording recording("out.monitor");
    ASSERT_EQ(player.Play(), 0);
    ASSERT_TRUE(waitForPosition(player, 1500));
    recording.finish();
    player.Stop();

    const auto samples = recording.samples();
    ASSERT_GT(samples.size(), 2u * 44100 / 2);
    EXPECT_GT(channelRms(samples, 0, 2), 1000.0);
    EXPECT_LT(channelRms(samples, 1, 2), 5.0);
}

}  // namespace

namespace {

// Holds the sound on its way to the speakers while the sink plays: the output stalls, without
// an error and without reaching the end, as it does when the sound server's clock breaks. A
// sink that is set up again (READY, then PAUSED) takes the sound again.
GstPadProbeReturn holdWhilePlaying(GstPad* pad, GstPadProbeInfo*, gpointer) {
    const GstRef<GstElement> sink(gst_pad_get_parent_element(pad));
    return GST_STATE(sink.get()) == GST_STATE_PLAYING ? GST_PAD_PROBE_OK : GST_PAD_PROBE_REMOVE;
}

}  // namespace

TEST_F(MusicPlayerTest, ASongWhoseOutputStallsWhilePlayingGoesOnFromWhereItStood) {
    const std::unique_ptr<MusicPlayer> playing = playingTone(8, 500);
    MusicPlayer& player = *playing;
    GstElement* sinkElement = nullptr;
    g_object_get(player.Pipeline(), "audio-sink", &sinkElement, nullptr);
    const GstRef<GstElement> sink(sinkElement);
    ASSERT_TRUE(sink);
    const GstRef<GstPad> pad(gst_element_get_static_pad(sink.get(), "sink"));
    gst_pad_add_probe(
        pad.get(),
        static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BLOCK | GST_PAD_PROBE_TYPE_BUFFER),
        holdWhilePlaying, nullptr, nullptr);
    const int64_t stalledAt = player.GetPositionMs();
    // Without a fresh output the song would stand a few hundred ms further on for ever.
    EXPECT_TRUE(pumpUntil([&] { return player.GetPositionMs() >= stalledAt + 1000; }, 15000));
}
