#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "mixer/CaptureDevice.h"
#include "mixer/MasterVolumeControl.h"
#include "tests/mixer/SoundServerFixture.h"

namespace {

bool waitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

using MasterVolume = SoundServerFixture;
using CaptureInputs = SoundServerFixture;

TEST_F(MasterVolume, ReadsAndSetsTheDefaultOutputInTheServersUnits) {
    MasterVolumeControl volume;
    ASSERT_TRUE(volume.IsUsable());
    EXPECT_EQ(volume.GetMinimum(), 0);
    EXPECT_EQ(volume.GetMaximum(), 65536);
    EXPECT_GT(volume.GetStepCount(), 0);

    pactl("set-sink-volume out 30000 20000");
    EXPECT_EQ(volume.GetLevel(), 30000);  // the first channel
    volume.SetLevel(25000);
    EXPECT_NE(pactl("get-sink-volume out").find("front-left: 25000"), std::string::npos);
    EXPECT_NE(pactl("get-sink-volume out").find("front-right: 25000"), std::string::npos);

    // Outside the range nothing changes.
    volume.SetLevel(70000);
    volume.SetLevel(-1);
    EXPECT_EQ(volume.GetLevel(), 25000);
}

TEST_F(MasterVolume, MutesAndUnmutesTheOutput) {
    MasterVolumeControl volume;
    volume.Mute();
    EXPECT_EQ(pactl("get-sink-mute out"), "Mute: yes\n");
    EXPECT_TRUE(volume.IsMuted());
    volume.Unmute();
    EXPECT_EQ(pactl("get-sink-mute out"), "Mute: no\n");
    EXPECT_FALSE(volume.IsMuted());
}

TEST_F(MasterVolume, ChangesMadeElsewhereReachTheHandlerOnTheCreatingThread) {
    MasterVolumeControl volume;
    std::vector<int> heard;
    QThread* handlerThread = nullptr;
    volume.SetChangeHandler(
        [&](int level, int user) {
            EXPECT_EQ(user, 7);
            heard.push_back(level);
            handlerThread = QThread::currentThread();
        },
        7);
    pactl("set-sink-volume out 40000");
    ASSERT_TRUE(waitFor([&] { return !heard.empty() && heard.back() == 40000; }));
    EXPECT_EQ(handlerThread, QThread::currentThread());

    // Only the current instance hears: a newer object takes over, and a gone one is left alone.
    heard.clear();
    {
        MasterVolumeControl newer;
        EXPECT_EQ(MasterVolumeControl::current(), &newer);
        pactl("set-sink-volume out 41000");
        waitFor([] { return false; }, 500);
        EXPECT_TRUE(heard.empty());
    }
    EXPECT_EQ(MasterVolumeControl::current(), nullptr);
}

TEST_F(MasterVolume, WithoutAServerItIsUnusableAtOnce) {
    const NoSoundServer none;
    QElapsedTimer timer;
    timer.start();
    MasterVolumeControl volume;
    EXPECT_FALSE(volume.IsUsable());
    EXPECT_EQ(volume.GetLevel(), -1);
    EXPECT_EQ(volume.GetMinimum(), -1);
    EXPECT_EQ(volume.GetMaximum(), -1);
    EXPECT_EQ(volume.GetStepCount(), -1);
    volume.SetLevel(100);
    volume.Mute();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(MasterVolumeControl::current(), nullptr);
}

TEST_F(MasterVolume, AServerThatDoesNotAnswerCostsOneBoundedWait) {
    // A listening socket that never answers: the connection waits for its bound, no more.
    const std::string path = "/tmp/vocalia-mute-" + std::to_string(getpid());
    const std::string listener =
        "python3 -c \"import socket,time,os;s=socket.socket(socket.AF_UNIX);"
        "s.bind('" +
        path + "');s.listen(5);time.sleep(8)\" & sleep 0.5";
    ASSERT_EQ(std::system(listener.c_str()), 0);
    setenv("PULSE_SERVER", ("unix:" + path).c_str(), 1);
    QElapsedTimer timer;
    timer.start();
    {
        MasterVolumeControl volume;
        EXPECT_FALSE(volume.IsUsable());
        EXPECT_EQ(volume.GetLevel(), -1);
    }
    EXPECT_LT(timer.elapsed(), 2 * PulseClient::kWait.count() + 500);
    unsetenv("PULSE_SERVER");
    std::remove(path.c_str());
}

TEST_F(CaptureInputs, APortlessSourceOffersTheServersInputsWithTheirLevels) {
    CaptureDevice device;
    ASSERT_TRUE(device.IsFound());
    EXPECT_EQ(device.DeviceName(), "Microphone");
    // Monitors of outputs are not inputs.
    EXPECT_EQ(device.ListCaptureSources(), (std::vector<std::string>{"Microphone", "Line In"}));
    EXPECT_TRUE(device.IsSourceEnabled("Microphone"));
    EXPECT_FALSE(device.IsSourceEnabled("Line In"));

    pactl("set-source-volume line 21823");  // 0.333 of the normal volume: shown cut, as 33
    EXPECT_EQ(device.GetSourceLevel("Line In"), 33);
    device.SetSourceLevel("Line In", 60);
    EXPECT_NE(pactl("get-source-volume line").find(" 60% "), std::string::npos);
    EXPECT_EQ(device.GetSourceLevel("Line In"), 60);
    EXPECT_EQ(device.GetSourceLevel("line in"), -1);  // names compare in full, with case
}

TEST_F(CaptureInputs, EnablingAnInputMakesItTheDefaultSourceAndOffDoesNothing) {
    CaptureDevice device;
    device.SetSourceEnabled("Line In", true);
    EXPECT_EQ(pactl("get-default-source"), "line\n");
    EXPECT_TRUE(device.IsSourceEnabled("Line In"));
    EXPECT_FALSE(device.IsSourceEnabled("Microphone"));
    device.SetSourceEnabled("Line In", false);
    EXPECT_EQ(pactl("get-default-source"), "line\n");
    device.SetSourceEnabled("Nothing", true);
    EXPECT_EQ(pactl("get-default-source"), "line\n");
}

TEST_F(CaptureInputs, WithoutAServerThereIsNothingToList) {
    const NoSoundServer none;
    CaptureDevice device;
    EXPECT_FALSE(device.IsFound());
    EXPECT_TRUE(device.ListCaptureSources().empty());
    EXPECT_EQ(device.GetSourceLevel("Microphone"), -1);
    EXPECT_FALSE(device.IsSourceEnabled("Microphone"));
}

}  // namespace
