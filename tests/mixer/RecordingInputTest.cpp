#include <gtest/gtest.h>

#include "media/VoiceRecorder.h"
#include "mixer/CaptureDevice.h"
#include "playback/MediaPorts.h"
#include "shell/ConfigKeys.h"
#include "shell/Settings.h"
#include "tests/media/MediaFixtures.h"
#include "tests/mixer/SoundServerFixture.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr int kToneHz = 1000;

class RecordingInput : public SoundServerFixture {
protected:
    void SetUp() override { theSettings.SetFilePath(dir.file("OrvMelodeck.ini").c_str()); }
    void TearDown() override {
        theSettings.SetFilePath(nullptr);
        SoundServerFixture::TearDown();
    }

    // Picks the input as the options page does, records a second in the given format and
    // gives the seconds of tone heard.
    double recordFrom(const std::string& input, const CaptureSettings& format = {2, 2, 44100}) {
        CaptureDevice device;
        device.SetSourceEnabled(input, true);
        writeSetting(ConfigKey::RecordDeviceName, input);
        const std::string take = dir.file(input + std::to_string(++m_takes) + ".mp3");
        VoiceRecorder recorder;
        recorder.SetFormat(format.channels, format.bytesPerSample, format.rateChoice, 10, 0.05F);
        std::string error;
        EXPECT_EQ(recorder.Build(take, error), 0) << error;
        recorder.Play();
        pumpUntil([] { return false; }, 1500);
        recorder.Stop();
        runPipeline("filesrc location=\"" + take +
                    "\" ! decodebin ! audioconvert ! audioresample ! "
                    "audio/x-raw,format=S16LE,channels=2,rate=44100 ! wavenc ! filesink "
                    "location=\"" +
                    take + ".wav\"");
        return toneSeconds(readWavSamples(take + ".wav"), 2, kToneHz);
    }

    TempDir dir;

private:
    int m_takes = 0;
};

TEST_F(RecordingInput, TheRecorderTakesItsSoundFromTheChosenInput) {
    makeToneWav(dir.file("tone.wav"), 20, kToneHz);
    const SinkFeed lineHearsTheTone(dir.file("tone.wav"), "linefeed");
    EXPECT_GT(recordFrom("Line In"), 0.5);
    EXPECT_EQ(readSetting(ConfigKey::RecordDeviceName), "Line In");
    EXPECT_EQ(recordFrom("Microphone"), 0.0);
}

// Every width, rate and channel count the options pages offer opens on the server.
TEST_F(RecordingInput, TheFormatsTheOptionsOfferAllRecord) {
    makeToneWav(dir.file("tone.wav"), 20, kToneHz);
    const SinkFeed lineHearsTheTone(dir.file("tone.wav"), "linefeed");
    for (const CaptureSettings& format :
         {CaptureSettings{1, 1, 11025}, CaptureSettings{2, 1, 22050},
          CaptureSettings{1, 2, 44100}}) {
        EXPECT_GT(recordFrom("Line In", format), 0.5)
            << format.channels << " channels, " << format.bytesPerSample << " bytes, "
            << format.rateChoice;
    }
}

}  // namespace
