#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "audiotools/WaveFile.h"
#include "tests/audiotools/WaveBuilder.h"
#include "tests/support/TestSupport.h"

namespace {

// What a decoded stereo WAV file holds: its length and where a loud sound starts and ends.
struct Heard {
    double seconds = 0;
    double loudFrom = -1;
    double loudUntil = -1;
    bool channelsAlike = true;
};

Heard listen(const std::string& path) {
    const WaveFile wave(path);
    const uint8_t* format = wave.formatChunk();
    EXPECT_EQ(format[10], 2) << "channels";
    EXPECT_EQ(format[22], 16) << "bits per sample";
    const int rate = format[12] | format[13] << 8 | format[14] << 16;
    const std::vector<int16_t> samples =
        samplesAt(readBytes(path).substr(wave.dataOffset(), wave.sampleBytes()), 0);
    Heard heard;
    heard.seconds = double(samples.size()) / 2 / rate;
    for (size_t i = 0; i + 1 < samples.size(); i += 2) {
        heard.channelsAlike = heard.channelsAlike && std::abs(samples[i] - samples[i + 1]) < 2;
        if (std::abs(samples[i]) > 4000) {
            const double at = double(i) / 2 / rate;
            heard.loudFrom = heard.loudFrom < 0 ? at : heard.loudFrom;
            heard.loudUntil = at;
        }
    }
    return heard;
}

bool isPlainMp3(const std::string& bytes) {
    return bytes.size() > 4 && static_cast<uint8_t>(bytes[0]) == 0xFF &&
           (static_cast<uint8_t>(bytes[1]) & 0xE0) == 0xE0;
}

class TranscodeTest : public ::testing::Test {
protected:
    TempDir dir;

    void run(const std::vector<std::string>& args) {
        const CliResult result = runCli(args);
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    // Encodes `samples` (44.1 kHz) into an MP3 file named `name`.
    std::string mp3Of(const std::string& name, const std::vector<int16_t>& samples,
                      int channels = 2) {
        writeBytes(dir.file(name + ".wav"), wavFile(samples, channels));
        run({"encode", dir.file(name + ".wav"), dir.file(name)});
        return dir.file(name);
    }
};

// MP3 coding delays the sound by a few dozen milliseconds.
constexpr double kCodingSlack = 0.08;

TEST_F(TranscodeTest, EncodeAndDecodeRoundTrip) {
    const std::string mp3 = mp3Of("song.mp3", tone(2.0, 440, 12000));
    const std::string bytes = readBytes(mp3);
    EXPECT_TRUE(isPlainMp3(bytes)) << "no RIFF wrapper, no tag in front";
    EXPECT_NEAR(double(bytes.size()), 2.0 * 128000 / 8, 4000) << "128 kbit/s";

    // An existing file at the output path is replaced.
    writeBytes(dir.file("out.wav"), "old contents");
    run({"decode", mp3, dir.file("out.wav")});
    EXPECT_EQ(runCli({"wav-info", dir.file("out.wav")}).out,
              "{\"dataBytes\":" + std::to_string(readBytes(dir.file("out.wav")).size() - 44) +
                  ",\"dataOffset\":44}\n");
    const Heard heard = listen(dir.file("out.wav"));
    EXPECT_NEAR(heard.seconds, 2.0, kCodingSlack);
    EXPECT_NEAR(heard.loudFrom, 0.0, kCodingSlack);
    EXPECT_NEAR(heard.loudUntil, 2.0, kCodingSlack);
}

// Silence of `seconds` (stereo, 44.1 kHz) with a one-sample click at each of `at`.
std::vector<int16_t> clicks(double seconds, const std::vector<size_t>& at) {
    std::vector<int16_t> samples = tone(seconds, 440, 0);
    for (const size_t frame : at) {
        samples[2 * frame] = samples[2 * frame + 1] = 24000;
    }
    return samples;
}

// The stereo frame within `window` frames of `near` where the left channel is loudest.
long loudestNear(const std::vector<int16_t>& samples, long near, long window = 2000) {
    long loudest = -1;
    const long frames = static_cast<long>(samples.size() / 2);
    for (long frame = std::max(0L, near - window); frame < std::min(frames, near + window);
         ++frame) {
        if (loudest < 0 || std::abs(samples[2 * frame]) > std::abs(samples[2 * loudest])) {
            loudest = frame;
        }
    }
    return loudest;
}

std::vector<int16_t> decodedSamples(const std::string& wavPath) {
    const WaveFile wave(wavPath);
    return samplesAt(readBytes(wavPath).substr(wave.dataOffset(), wave.sampleBytes()), 0);
}

TEST_F(TranscodeTest, AnEncodedFileDecodesInStepWithItsSourceAndAsLong) {
    const std::vector<size_t> at{0, 11025, 60000, 88199};
    const std::vector<int16_t> source = clicks(2.0, at);
    const std::string mp3 = mp3Of("clicks.mp3", source);
    run({"decode", mp3, dir.file("clicks.wav")});
    const std::vector<int16_t> decoded = decodedSamples(dir.file("clicks.wav"));
    for (const size_t frame : at) {
        EXPECT_EQ(loudestNear(decoded, static_cast<long>(frame)), static_cast<long>(frame));
    }
    EXPECT_NEAR(double(decoded.size()) / 2, double(source.size()) / 2, 1152);
}

TEST_F(TranscodeTest, MonoIsDecodedAsStereo) {
    const std::string mp3 = mp3Of("mono.mp3", tone(1.0, 440, 12000, 1), 1);
    run({"decode", mp3, dir.file("mono.wav")});
    const Heard heard = listen(dir.file("mono.wav"));
    EXPECT_NEAR(heard.seconds, 1.0, kCodingSlack);
    EXPECT_TRUE(heard.channelsAlike);
}

TEST_F(TranscodeTest, FailuresNameTheFileAndLeaveNoOutput) {
    writeBytes(dir.file("text.mp3"), "this is not audio at all, just some words\n");
    const CliResult notAudio = runCli({"decode", dir.file("text.mp3"), dir.file("o.wav")});
    EXPECT_EQ(notAudio.exitCode, 1);
    EXPECT_NE(notAudio.err.find(dir.file("text.mp3")), std::string::npos);
    const CliResult missing = runCli({"encode", dir.file("none.wav"), dir.file("o.mp3")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find(dir.file("none.wav")), std::string::npos);
    writeBytes(dir.file("a.wav"), wavFile(tone(0.2, 440, 1000)));
    const CliResult noFolder = runCli({"encode", dir.file("a.wav"), dir.file("no/o.mp3")});
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_NE(noFolder.err.find(dir.file("no/o.mp3")), std::string::npos);
    // No output and no temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);
}

TEST_F(TranscodeTest, MixPlacesTheVoiceAtItsOffset) {
    writeBytes(dir.file("voice.wav"), wavFile(tone(1.0, 440, 12000)));
    writeBytes(dir.file("music.wav"), wavFile(tone(3.0, 220, 0)));
    struct Case {
        int offsetMs;
        double seconds, loudFrom, loudUntil;
    };
    // The mix lasts until the later clip ends; a negative offset cuts the voice's start.
    for (const Case& c :
         {Case{1500, 3.0, 1.5, 2.5}, Case{2500, 3.5, 2.5, 3.5}, Case{-400, 3.0, 0.0, 0.6}}) {
        const std::string out = dir.file("mix" + std::to_string(c.offsetMs) + ".mp3");
        run({"mix", "--voice", dir.file("voice.wav"), "--offset", std::to_string(c.offsetMs),
             "--music", dir.file("music.wav"), "-o", out});
        EXPECT_TRUE(isPlainMp3(readBytes(out)));
        run({"decode", out, out + ".wav"});
        const Heard heard = listen(out + ".wav");
        EXPECT_NEAR(heard.seconds, c.seconds, kCodingSlack) << c.offsetMs;
        EXPECT_NEAR(heard.loudFrom, c.loudFrom, kCodingSlack) << c.offsetMs;
        EXPECT_NEAR(heard.loudUntil, c.loudUntil, kCodingSlack) << c.offsetMs;
    }
}

TEST_F(TranscodeTest, MixPutsTheMusicAtZeroAndTheVoiceAtItsOffsetToTheMillisecond) {
    writeBytes(dir.file("music.wav"), wavFile(clicks(3.0, {0, 44100})));
    const std::string voice = mp3Of("voice.mp3", clicks(1.0, {0, 22050}));
    run({"mix", "--voice", voice, "--offset", "1500", "--music", dir.file("music.wav"), "-o",
         dir.file("mix.mp3")});
    run({"decode", dir.file("mix.mp3"), dir.file("mix.wav")});
    const std::vector<int16_t> decoded = decodedSamples(dir.file("mix.wav"));
    constexpr long kMillisecond = 44;
    for (const long frame : {0L, 44100L, 66150L, 88200L}) {
        EXPECT_NEAR(loudestNear(decoded, frame, 400), frame, kMillisecond);
    }
}

TEST_F(TranscodeTest, MixWithAFiveMinuteOffset) {
    writeBytes(dir.file("voice.wav"), wavFile(tone(0.5, 440, 12000)));
    run({"mix", "--voice", dir.file("voice.wav"), "--offset", "300000", "-o",
         dir.file("late.mp3")});
    run({"decode", dir.file("late.mp3"), dir.file("late.wav")});
    const Heard heard = listen(dir.file("late.wav"));
    EXPECT_NEAR(heard.seconds, 300.5, kCodingSlack);
    EXPECT_NEAR(heard.loudFrom, 300.0, kCodingSlack);
}

TEST_F(TranscodeTest, MixUsageAndUnreadableClips) {
    EXPECT_EQ(runCli({"mix", "-o", dir.file("o.mp3")}).exitCode, 2);
    EXPECT_EQ(runCli({"mix", "--voice", dir.file("v.wav")}).exitCode, 2);
    writeBytes(dir.file("v.wav"), "no sound in here");
    const CliResult bad = runCli({"mix", "--voice", dir.file("v.wav"), "-o", dir.file("o.mp3")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find(dir.file("v.wav")), std::string::npos);

    // An offset past what 64-bit nanoseconds hold must not wrap around to a small one.
    writeBytes(dir.file("tone.wav"), wavFile(tone(0.2, 440, 12000)));
    for (const char* offset : {"18446744073711", "-9223372036854775808"}) {
        const CliResult huge = runCli({"mix", "--voice", dir.file("tone.wav"), "--offset", offset,
                                       "-o", dir.file("huge.mp3")});
        EXPECT_EQ(huge.exitCode, 1) << offset;
        EXPECT_NE(huge.err.find("out of range"), std::string::npos) << huge.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("huge.mp3")));
    }
}

}  // namespace
