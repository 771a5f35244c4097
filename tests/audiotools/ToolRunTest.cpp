#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "audiotools/AccompanimentRun.h"
#include "audiotools/SynthesizerRun.h"
#include "audiotools/WaveFile.h"
#include "library/Mp3Info.h"
#include "media/DecodeGraph.h"
#include "media/EncodeGraph.h"
#include "shell/ProgramFolder.h"
#include "shell/Settings.h"
#include "shell/TextCodec.h"
#include "tests/audiotools/WaveBuilder.h"
#include "tests/support/TestSupport.h"

namespace {

class RecordingObserver : public RunObserver {
public:
    std::vector<int> ids;
    void onProgress(int stringId, const std::string&) override { ids.push_back(stringId); }
};

// The loudest sample of a decoded MP3 file in each channel, and whether the channels agree.
struct Loudness {
    int left = 0;
    int right = 0;
};

Loudness loudness(const std::string& mp3) {
    const std::string wav = mp3 + ".check.wav";
    DecodeGraph graph;
    EXPECT_EQ(graph.Build(mp3, wav), 0);
    EXPECT_EQ(graph.Play(), 0) << graph.LastError();
    Loudness result;
    {
        const WaveFile wave(wav);
        const std::vector<int16_t> samples =
            samplesAt(readBytes(wav).substr(wave.dataOffset(), wave.sampleBytes()), 0);
        for (size_t i = 0; i + 1 < samples.size(); i += 2) {
            result.left = std::max(result.left, std::abs(int(samples[i])));
            result.right = std::max(result.right, std::abs(int(samples[i + 1])));
        }
    }
    std::remove(wav.c_str());
    return result;
}

size_t filesIn(const std::string& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                             std::filesystem::directory_iterator()));
}

class ToolRunTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordingObserver observer;

    // A song whose centre holds a loud 440 Hz "voice" and whose left channel alone holds a
    // softer 220 Hz "guitar".
    std::string song(const std::string& name, double seconds = 1.0) {
        std::vector<int16_t> samples = tone(seconds, 440, 12000);
        const std::vector<int16_t> guitar = tone(seconds, 220, 6000);
        for (size_t i = 0; i < samples.size(); i += 2) {
            samples[i] = static_cast<int16_t>(samples[i] + guitar[i]);
        }
        return encoded(name, wavFile(samples));
    }
    std::string encoded(const std::string& name, const std::string& wavBytes) {
        writeBytes(dir.file(name + ".src.wav"), wavBytes);
        EncodeGraph graph;
        EXPECT_EQ(graph.Build(dir.file(name + ".src.wav"), dir.file(name)), 0);
        EXPECT_EQ(graph.Play(), 0) << graph.LastError();
        std::remove(dir.file(name + ".src.wav").c_str());
        return dir.file(name);
    }
};

TEST_F(ToolRunTest, AccompanimentRemovesTheCentreAndTagsAPlainMp3) {
    AccompanimentJob job = accompanimentJobFor(song("song.mp3"));
    EXPECT_EQ(job.output, dir.file("song(music).mp3"));
    // GBK of 小猫 is well-formed UTF-8, GBK of 小星 is not: both must be converted once.
    job.tag = {"小猫", "小星", "专辑", "2024", "注释"};
    const std::string input = readBytes(job.input);

    const RunOutcome outcome = AccompanimentRun(observer).Run(job);
    ASSERT_TRUE(outcome.ok()) << outcome.error;
    EXPECT_EQ(observer.ids, (std::vector<int>{52, 53, 54, 55, 56}));
    EXPECT_EQ(readBytes(job.input), input);
    EXPECT_EQ(filesIn(dir.path()), 2u) << "nothing but the output is written";

    const std::string output = readBytes(job.output);
    EXPECT_EQ(static_cast<uint8_t>(output[0]), 0xFF) << "frames from the first byte";
    const Mp3Info info(job.output);
    EXPECT_EQ(info.Title(), TextCodec::utf8ToGbk("小猫"));
    EXPECT_EQ(info.Artist(), TextCodec::utf8ToGbk("小星"));
    EXPECT_EQ(TextCodec::decodeStoredText(info.Title()), "小猫");
    EXPECT_EQ(info.Year(), "2024");
    EXPECT_EQ(info.Bitrate(), 128);

    // The voice cancels, the guitar stays (in both channels, one inverted).
    const Loudness loud = loudness(job.output);
    EXPECT_GT(loud.left, 3000);
    EXPECT_LT(loud.left, 8000);
    EXPECT_GT(loud.right, 3000);
    EXPECT_LT(loud.right, 8000);

    // The next run takes the tag texts of its input.
    EXPECT_EQ(accompanimentJobFor(job.output).tag.title, "小猫");
    EXPECT_EQ(accompanimentJobFor(job.output).tag.artist, "小星");
}

TEST_F(ToolRunTest, MonoSongIsProcessedAsTheStereoItDecodesTo) {
    AccompanimentJob job =
        accompanimentJobFor(encoded("mono.mp3", wavFile(tone(1.0, 440, 12000, 1), 1)));
    ASSERT_TRUE(AccompanimentRun(observer).Run(job).ok());
    const Loudness loud = loudness(job.output);
    EXPECT_LT(loud.left, 200);
    EXPECT_LT(loud.right, 200);
}

TEST_F(ToolRunTest, AFailedStepEndsTheRunAndKeepsTheFiles) {
    writeBytes(dir.file("words.mp3"), "just words, no sound");
    writeBytes(dir.file("old.mp3"), "an earlier accompaniment");
    AccompanimentJob job = accompanimentJobFor(dir.file("words.mp3"));
    job.output = dir.file("old.mp3");
    const RunOutcome outcome = AccompanimentRun(observer).Run(job);
    EXPECT_FALSE(outcome.ok());
    EXPECT_NE(outcome.error.find("decoding " + job.input), std::string::npos) << outcome.error;
    EXPECT_EQ(observer.ids, (std::vector<int>{52}));
    EXPECT_EQ(readBytes(dir.file("words.mp3")), "just words, no sound");
    EXPECT_EQ(readBytes(dir.file("old.mp3")), "an earlier accompaniment");
    EXPECT_EQ(filesIn(dir.path()), 2u) << "no partial output";

    job = accompanimentJobFor(song("song.mp3", 0.3));
    job.output = dir.file("missing/out.mp3");
    const RunOutcome noFolder = AccompanimentRun(observer).Run(job);
    EXPECT_NE(noFolder.error.find(job.output), std::string::npos) << noFolder.error;
    EXPECT_EQ(filesIn(dir.path()), 3u);
}

TEST_F(ToolRunTest, ACancelledRunEndsAtItsNextStepAndLeavesOnlyTheInput) {
    // Cancelled as the voice removal begins: the encoding never starts.
    class CancellingObserver : public RunObserver {
    public:
        AccompanimentRun* run = nullptr;
        std::vector<int> ids;
        void onProgress(int stringId, const std::string&) override {
            ids.push_back(stringId);
            if (stringId == 53) {
                run->Cancel();
            }
        }
    } cancelling;
    const AccompanimentJob job = accompanimentJobFor(song("song.mp3", 0.3));
    AccompanimentRun run(cancelling);
    cancelling.run = &run;
    EXPECT_EQ(run.Run(job).error, AccompanimentRun::kCancelledText);
    EXPECT_EQ(cancelling.ids, (std::vector<int>{52, 53}));
    EXPECT_EQ(filesIn(dir.path()), 1u);
    EXPECT_EQ(run.Run(job).error, AccompanimentRun::kCancelledText) << "stays cancelled";
}

TEST_F(ToolRunTest, TheStreamedAccompanimentKeepsTheSongsLengthAndTrimsTheEncoderGap) {
    const double seconds = 2.5;
    AccompanimentJob job = accompanimentJobFor(song("song.mp3", seconds));
    ASSERT_TRUE(AccompanimentRun(observer).Run(job).ok());
    const std::string wav = dir.file("check.wav");
    DecodeGraph graph;
    ASSERT_EQ(graph.Build(job.output, wav), 0);
    ASSERT_EQ(graph.Play(), 0) << graph.LastError();
    const WaveFile wave(wav);
    EXPECT_EQ(wave.sampleBytes() / 4, static_cast<uint32_t>(seconds * 44100))
        << "the LAME tag trims the lead-in and the padding";
}

TEST_F(ToolRunTest, ARunCancelledWhileEncodingLeavesOnlyTheInput) {
    const AccompanimentJob job = accompanimentJobFor(song("song.mp3", 20));
    class CancelLater : public RunObserver {
    public:
        AccompanimentRun* run = nullptr;
        std::thread canceller;
        void onProgress(int stringId, const std::string&) override {
            if (stringId == 54) {
                canceller = std::thread([this] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(30));
                    run->Cancel();
                });
            }
        }
    } cancelling;
    AccompanimentRun run(cancelling);
    cancelling.run = &run;
    EXPECT_EQ(run.Run(job).error, AccompanimentRun::kCancelledText);
    cancelling.canceller.join();
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

TEST_F(ToolRunTest, ASecondRunOnTheSameFilesIsRefused) {
    const AccompanimentJob job = accompanimentJobFor(song("song.mp3", 0.3));
    {
        const RunClaim running({job.output});
        const RunOutcome outcome = AccompanimentRun(observer).Run(job);
        EXPECT_NE(outcome.error.find("another run"), std::string::npos) << outcome.error;
    }
    EXPECT_TRUE(observer.ids.empty());
    EXPECT_TRUE(AccompanimentRun(observer).Run(job).ok());
}

TEST_F(ToolRunTest, SynthesizerDefaultsComeFromTheProgramFolder) {
    std::string folder;
    ASSERT_TRUE(ProgramFolder::start(dir.file("home"), folder));
    writeSetting(ConfigKey::RecordBeginTime, 1500);
    const SynthesisJob job = synthesisDefaults("/songs/a.mp3", "歌手-歌名");
    EXPECT_EQ(job.voice, folder + "temp.mp3");
    EXPECT_EQ(job.output, folder + "output.mp3");
    EXPECT_EQ(job.music, "/songs/a.mp3");
    EXPECT_EQ(job.offsetMs, 1500);
    EXPECT_EQ(job.tag.title, "歌手-歌名");
    EXPECT_EQ(synthesisDefaults().tag.title, "Title");
    EXPECT_EQ(job.tag.comment, "Vocalia，打造个人专辑");
}

TEST_F(ToolRunTest, SynthesizerMixesAndTags) {
    SynthesisJob job;
    job.voice = encoded("voice.mp3", wavFile(tone(0.5, 440, 10000)));
    job.music = encoded("music.mp3", wavFile(tone(1.0, 220, 5000)));
    job.offsetMs = 300;
    job.output = dir.file("mix.mp3");
    job.tag = {"小猫", "Artist", "Album", "Year", "Vocalia，打造个人专辑"};
    const RunOutcome outcome = SynthesizerRun(observer).Run(job);
    ASSERT_TRUE(outcome.ok()) << outcome.error;
    EXPECT_EQ(observer.ids, (std::vector<int>{66, 56}));
    const Mp3Info info(job.output);
    EXPECT_EQ(TextCodec::decodeStoredText(info.Title()), "小猫");
    EXPECT_EQ(info.Artist(), "Artist");
    EXPECT_EQ(TextCodec::gbkToUtf8(info.Comment()), "Vocalia，打造个人专辑");
    EXPECT_GT(loudness(job.output).left, 12000) << "voice and music overlap and add up";
}

TEST_F(ToolRunTest, SynthesizerWithNothingToMixOrAMissingVoice) {
    SynthesisJob job;
    job.output = dir.file("mix.mp3");
    EXPECT_FALSE(SynthesizerRun(observer).Run(job).ok());
    EXPECT_EQ(observer.ids, (std::vector<int>{66}));

    job.voice = dir.file("temp.mp3");
    const RunOutcome outcome = SynthesizerRun(observer).Run(job);
    EXPECT_NE(outcome.error.find(job.voice), std::string::npos) << outcome.error;
    EXPECT_EQ(filesIn(dir.path()), 0u);
}

}  // namespace
