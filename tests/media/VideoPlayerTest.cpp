#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>
#include <thread>

#include "media/video/VideoPlayer.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TestSupport.h"

namespace {

bool processUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

TEST(VideoPlayerTest, DeliversFramesAtTheOwnersSizeOnItsThreadAndFollowsResizes) {
    char name[] = "media_video_tests";
    char* argv[] = {name, nullptr};
    int argc = 1;
    QCoreApplication app(argc, argv);
    TempDir dir;
    makeAviVideo(dir.file("clip.avi"), 3);

    VideoPlayer player;
    EXPECT_FALSE(player.RenderFile(dir.file("clip.avi")));  // no graph yet
    ASSERT_TRUE(player.Create());
    EXPECT_FALSE(player.Create());  // keeps the graph it holds
    ASSERT_TRUE(player.RenderFile(dir.file("clip.avi")));
    ASSERT_TRUE(player.SetOwner(160, 120));
    EXPECT_TRUE(player.Visible());
    EXPECT_NEAR(player.GetDuration(), 3.0, 0.2);

    QSize lastSize;
    std::thread::id deliveredOn;
    QObject::connect(&player, &VideoPlayer::frameReady, [&](const QImage& frame) {
        lastSize = frame.size();
        deliveredOn = std::this_thread::get_id();
    });
    ASSERT_TRUE(player.Run());
    EXPECT_TRUE(player.Run());
    ASSERT_TRUE(processUntil([&] { return lastSize == QSize(160, 120); }));
    EXPECT_EQ(deliveredOn, std::this_thread::get_id());

    player.SetRect(0, 0, 80, 64);
    ASSERT_TRUE(processUntil([&] { return lastSize == QSize(80, 64); }));
    EXPECT_EQ(player.VideoRect(), QRect(0, 0, 80, 64));

    ASSERT_TRUE(player.SaveFrame(dir.file("frame.bmp")));
    EXPECT_EQ(readBytes(dir.file("frame.bmp")).substr(0, 2), "BM");

    std::vector<bool> fullScreen;
    QObject::connect(&player, &VideoPlayer::fullScreenChanged,
                     [&](bool on) { fullScreen.push_back(on); });
    player.SetFullScreen(true);
    player.SetFullScreen(true);
    player.SetFullScreen(false);
    EXPECT_EQ(fullScreen, (std::vector<bool>{true, false}));

    EXPECT_TRUE(player.Pause());
    EXPECT_TRUE(player.Stop());
    EXPECT_TRUE(player.Stop());
    player.Close();
    player.Close();
    EXPECT_FALSE(player.Run());
    EXPECT_TRUE(player.CurrentFrame().isNull());
    EXPECT_TRUE(player.Create());
    writeBytes(dir.file("bad.avi"), "no video here");
    EXPECT_FALSE(player.RenderFile(dir.file("bad.avi")));
}

}  // namespace
