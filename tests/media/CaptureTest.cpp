#include <gtest/gtest.h>

#include <QProcess>
#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

#include <nlohmann/json.hpp>

#include "library/LameTag.h"
#include "library/Mp3Info.h"
#include "media/CaptureFormat.h"
#include "media/MediaProbe.h"
#include "media/MicMonitor.h"
#include "media/ServerLoopback.h"
#include "media/VoiceRecorder.h"
#include "resources/StringTable.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr int kToneHz = 1000;

// Decodes any audio file into a 16-bit stereo 44100 Hz WAV.
void decodeToWav(const std::string& in, const std::string& out) {
    runPipeline("filesrc location=\"" + in +
                "\" ! decodebin ! audioconvert ! audioresample ! "
                "audio/x-raw,format=S16LE,channels=2,rate=44100 ! wavenc ! filesink location=\"" +
                out + "\"");
}

// Frames at which clicks begin in one channel of an interleaved stereo recording.
std::vector<long> clickOnsets(const std::vector<int16_t>& samples, int channel) {
    std::vector<long> onsets;
    long last = -44100;
    for (size_t i = channel; i < samples.size(); i += 2) {
        const auto frame = static_cast<long>(i / 2);
        if (std::abs(samples[i]) < 4000) {
            continue;
        }
        if (frame - last > 44100 / 5) {
            onsets.push_back(frame);
        }
        last = frame;
    }
    return onsets;
}

class CaptureTest : public ::testing::Test {
protected:
    // The virtual microphone hears a steady tone while the test runs.
    void feedMicrophone() {
        makeToneWav(dir.file("feed.wav"), 20, kToneHz);
        feed.emplace(dir.file("feed.wav"), "micfeed");
    }

    TempDir dir;
    std::optional<SinkFeed> feed;
};

TEST(CaptureFormatTest, DerivesBufferSizesAndTheServerBufferTimes) {
    CaptureFormat format;
    EXPECT_EQ(format.BufferBytes(), 8820);
    EXPECT_EQ(format.BlockAlign(), 4);

    format.SetFormat(1, 1, 22050, 6, 0.005F);
    EXPECT_EQ(format.BufferBytes(), 110);  // 110.25 truncated
    EXPECT_EQ(format.LatencyTimeUs(), 5000);
    EXPECT_EQ(format.BufferTimeUs(), 30000);
    ASSERT_NE(format.Caps(), nullptr);

    // Formats no device offers leave the device's own in force.
    format.SetFormat(2, 3, 44100, 10, 0.05F);
    EXPECT_EQ(format.Caps(), nullptr);
    format.SetFormat(2, 2, 441000, 10, 0.05F);
    EXPECT_EQ(format.Caps(), nullptr);

    EXPECT_EQ(CaptureFormat::rateFromSetting(220500), 22050);
    EXPECT_EQ(CaptureFormat::rateFromSetting(441000), 44100);
    EXPECT_EQ(CaptureFormat::rateFromSetting(110250), 11025);
    EXPECT_EQ(CaptureFormat::rateFromSetting(48000), 48000);
}

TEST_F(CaptureTest, MonitorCarriesTheMicrophoneToTheSpeakersAcrossARestart) {
    feedMicrophone();
    MicMonitor monitor;
    monitor.SetFormat(1, 1, 22050, 6, 0.005F);
    ASSERT_EQ(monitor.Build(), 0) << monitor.LastError();
    for (const char* run : {"first run", "after the periodic restart"}) {
        ASSERT_EQ(monitor.Play(), 0) << monitor.LastError();
        SourceRecording heard("out.monitor");
        EXPECT_TRUE(heard.waitFor(
            [](const std::vector<int16_t>& samples) {
                return toneSeconds(samples, 2, kToneHz) >= 0.5;
            },
            10000))
            << run;
        heard.finish();
        EXPECT_EQ(toneSeconds(heard.samples(), 2, kToneHz + 200), 0.0) << run;
        ASSERT_EQ(monitor.Stop(), 0);
    }
}

TEST_F(CaptureTest, MonitorPassesEachClickSoonAndItsRestartKeepsTheOneLoopback) {
    // 10 ms clicks, 0.4 s apart, for 2 s.
    runPipeline(
        "audiotestsrc wave=ticks freq=1000 volume=0.8 tick-interval=400000000 "
        "samplesperbuffer=4410 num-buffers=20 ! "
        "audio/x-raw,format=S16LE,rate=44100,channels=2 ! wavenc ! filesink location=\"" +
        dir.file("clicks.wav") + "\"");
    // Started before the monitor, so that both channels keep one timeline.
    SourceRecording both("micfeed.monitor", "out.monitor");
    MicMonitor monitor;
    monitor.SetFormat(1, 1, 22050, 6, 0.005F);
    ASSERT_EQ(monitor.Build(), 0) << monitor.LastError();
    ASSERT_EQ(monitor.Play(), 0) << monitor.LastError();
    // The periodic restart leaves a running loopback as it is.
    ASSERT_EQ(monitor.Restart(), 0) << monitor.LastError();
    ASSERT_EQ(monitorModules().size(), 1u);
    EXPECT_NE(monitorModules()[0].find("latency_msec=18"), std::string::npos)
        << monitorModules()[0];
    pumpUntil([] { return false; }, 300);
    {
        const SinkFeed clicks(dir.file("clicks.wav"), "micfeed");
        EXPECT_TRUE(both.waitFor(
            [](const std::vector<int16_t>& samples) { return clickOnsets(samples, 1).size() >= 4; },
            10000));
    }
    both.finish();
    const std::vector<long> fed = clickOnsets(both.samples(), 0);
    const std::vector<long> heard = clickOnsets(both.samples(), 1);
    // Correctness, not speed: every click heard is one fed in shortly before, well within a
    // beat, and nothing else comes out.
    ASSERT_GE(heard.size(), 4u);
    EXPECT_LE(heard.size(), fed.size());
    for (const long out : heard) {
        const auto in = std::find_if(fed.rbegin(), fed.rend(), [out](long f) { return f < out; });
        ASSERT_NE(in, fed.rend()) << out;
        EXPECT_LT(out - *in, 44100 * 15 / 100) << out;
    }
    ASSERT_EQ(monitor.Stop(), 0);
    EXPECT_TRUE(monitorModules().empty());
}

TEST_F(CaptureTest, MonitorCommandTakesItsLoopbackAlongAndALeftOneGoesAtTheNextStart) {
    const auto startCommand = [this](QProcess& process) {
        startCli(process, {"--home", dir.path(), "monitor", "--seconds", "60"});
        return pumpUntil([] { return monitorModules().size() == 1; }, 15000);
    };
    // Ended by a signal it can answer, the command unloads its loopback itself.
    QProcess stopped;
    ASSERT_TRUE(startCommand(stopped));
    kill(static_cast<pid_t>(stopped.processId()), SIGTERM);
    ASSERT_TRUE(stopped.waitForFinished(10000));
    EXPECT_EQ(stopped.exitCode(), 0) << stopped.readAllStandardError().toStdString();
    EXPECT_TRUE(monitorModules().empty());

    // Killed outright, it leaves the loopback playing; the next start of a monitor unloads it.
    QProcess killed;
    ASSERT_TRUE(startCommand(killed));
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(10000));
    ASSERT_EQ(monitorModules().size(), 1u);
    MicMonitor monitor;
    monitor.SetFormat(1, 1, 22050, 6, 0.005F);
    ASSERT_EQ(monitor.Build(), 0) << monitor.LastError();
    ASSERT_EQ(monitor.Play(), 0) << monitor.LastError();
    const std::vector<std::string> left = monitorModules();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_NE(left[0].find(ServerLoopback::ProcessTag()), std::string::npos) << left[0];
    monitor.Stop();
    EXPECT_TRUE(monitorModules().empty());
}

TEST(MicMonitorLatencyTest, AsksForTheMiddleOfTheCaptureQueue) {
    MicMonitor monitor;
    EXPECT_EQ(monitor.LatencyMs(), 175);  // 6 buffers of 50 ms: 3.5 buffers
    monitor.SetFormat(1, 1, 22050, 6, 0.005F);
    EXPECT_EQ(monitor.LatencyMs(), 18);
    monitor.SetFormat(1, 1, 22050, 0, 0.0F);  // nonsense from a hand-edited file
    EXPECT_EQ(monitor.LatencyMs(), 1);
    monitor.SetFormat(1, 1, 22050, 1000000, 1000.0F);
    EXPECT_EQ(monitor.LatencyMs(), 10000);
}

TEST_F(CaptureTest, RecorderWritesAPlainMp3HoldingTheToneAndReplacesTheLastOne) {
    const std::string target = dir.file("temp.mp3");
    // A silent take, then one of the tone: what is left must be the tone.
    for (int take = 0; take < 2; ++take) {
        if (take == 1) {
            feedMicrophone();
        }
        VoiceRecorder recorder;
        recorder.SetFormat(2, 2, 44100, 10, 0.05F);
        std::string error;
        ASSERT_EQ(recorder.Build(target, error), 0) << error << recorder.LastError();
        EXPECT_TRUE(error.empty());
        ASSERT_EQ(recorder.Play(), 0);
        pumpUntil([] { return false; }, 2000);
        ASSERT_EQ(recorder.Stop(), 0) << recorder.LastError();
    }
    EXPECT_FALSE(std::filesystem::exists(target + ".part"));
    const std::string bytes = readBytes(target);
    ASSERT_GT(bytes.size(), 4u);
    // Plain MPEG audio: a frame sync at the very start, no RIFF container around it.
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]) & 0xE0, 0xE0);
    EXPECT_GE(probeDurationSeconds(target), 1);

    // The header frame records the encoder's lead-in and padding, which decoders trim.
    const auto gap = LameTag::readGap(std::string_view(bytes).substr(0, 2000));
    ASSERT_TRUE(gap);
    EXPECT_EQ(gap->delay, LameTag::kEncoderDelay);

    decodeToWav(target, dir.file("decoded.wav"));
    const std::vector<int16_t> decoded = readWavSamples(dir.file("decoded.wav"));
    EXPECT_GT(toneSeconds(decoded, 2, kToneHz), 0.8);
    EXPECT_NEAR(Mp3Info(target).PlayTime() * 44100, double(decoded.size()) / 2, 1152);
}

TEST_F(CaptureTest, WithoutACaptureDeviceNothingIsBuiltAndNoFileMade) {
    const NoSoundServer none;
    VoiceRecorder recorder;
    std::string error;
    EXPECT_LT(recorder.Build(dir.file("temp.mp3"), error), 0);
    EXPECT_EQ(error, loadString(78));
    EXPECT_EQ(error, "创建音频采集设备失败，操作无法进行。");
    recorder.Play();  // runs the empty graph a failed build leaves
    EXPECT_EQ(recorder.Stop(), 0) << recorder.LastError();  // nothing to wait for
    EXPECT_FALSE(std::filesystem::exists(dir.file("temp.mp3")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("temp.mp3.part")));

    MicMonitor monitor;
    EXPECT_LT(monitor.Build(), 0);
}

TEST_F(CaptureTest, RecordCommandWritesAPlainMp3AndReportsBuildErrors) {
    feedMicrophone();
    const CliResult ok =
        runCli({"--home", dir.path(), "record", dir.file("take.mp3"), "--seconds", "1"});
    ASSERT_EQ(ok.exitCode, 0) << ok.err;
    const std::string bytes = readBytes(dir.file("take.mp3"));
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_NE(bytes.substr(0, 4), "RIFF");

    const NoSoundServer none;
    const CliResult failed =
        runCli({"--home", dir.path(), "record", dir.file("none.mp3"), "--seconds", "1"});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(failed.err.find("创建音频采集设备失败"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.mp3")));
}

TEST_F(CaptureTest, MonitorCommandRunsWithThePhoneSettingsAndRestarts) {
    writeBytes(dir.file("OrvMelodeck.ini"), "[PhoneSet]\r\nRefreshTimer=1\r\n");
    const CliResult result = runCli({"--home", dir.path(), "monitor", "--seconds", "2"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto summary = nlohmann::json::parse(result.out);
    EXPECT_GE(summary["restarts"].get<int>(), 1);
    EXPECT_EQ(summary["sampleRate"], 22050);
    EXPECT_EQ(summary["latencyTimeUs"], 5000);
}

}  // namespace
