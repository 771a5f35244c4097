#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QProcess>
#include <memory>

#include "lyrics/ui/LyricsView.h"
#include "lyrics/ui/VideoSurface.h"
#include "playback/MelodeckDoc.h"
#include "resources/CommandIds.h"
#include "tests/views/GuiTestSupport.h"
#include "tests/views/ProgramFolderFixture.h"

namespace {

class VideoViewTest : public ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        doc = std::make_unique<CMelodeckDoc>(MediaObjects{nullptr, nullptr, nullptr, &offset});
        view = std::make_unique<CLyricsView>();
        view->AttachDocument(doc.get());
        view->resize(320, 240);
        view->show();
    }

    // Two seconds of test picture with a tone, as an AVI file.
    std::string makeVideo() {
        std::string path = folder.file("clip.avi");
        const int rc = QProcess::execute(
            "gst-launch-1.0",
            {"-q", "videotestsrc", "num-buffers=50", "!",
             "video/x-raw,width=160,height=120,framerate=25/1", "!", "jpegenc", "!", "avimux",
             "name=mux", "!", "filesink", QString::fromStdString("location=" + path),
             "audiotestsrc", "num-buffers=86", "!", "audioconvert", "!", "mux."});
        EXPECT_EQ(rc, 0);
        return path;
    }

    int offset = 0;
    std::unique_ptr<CMelodeckDoc> doc;
    std::unique_ptr<CLyricsView> view;
};

TEST_F(VideoViewTest, AVideoPlaysInTheViewGoesFullScreenAndStops) {
    view->PlayVideo(makeVideo());
    ASSERT_EQ(view->CurrentState(), CLyricsView::ShowVideo);
    ASSERT_NE(view->Surface(), nullptr);
    EXPECT_EQ(view->Surface()->geometry(), view->rect());
    EXPECT_TRUE(processEventsUntil([&] { return !view->Surface()->Frame().isNull(); }));

    auto menu = view->CreateContextMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->data().toInt(), kCmdFullScreen);
    EXPECT_EQ(menu->actions()[1]->data().toInt(), kCmdNormalScreen);

    view->OnCommand(kCmdFullScreen);
    EXPECT_TRUE(view->IsFullScreen());
    EXPECT_TRUE(view->Surface()->isWindow());
    view->OnCommand(kCmdNormalScreen);
    EXPECT_FALSE(view->IsFullScreen());
    EXPECT_EQ(view->Surface()->parentWidget(), view.get());

    view->resize(400, 300);
    EXPECT_EQ(view->Surface()->geometry(), view->rect());

    view->StopVideo();
    EXPECT_EQ(view->CurrentState(), CLyricsView::ShowEmpty);
    EXPECT_EQ(view->Surface(), nullptr);
    // Without a video the screen commands do nothing.
    view->OnCommand(kCmdFullScreen);
    EXPECT_FALSE(view->IsFullScreen());
}

TEST_F(VideoViewTest, AVideoThatCannotBeOpenedLeavesTheStateAlone) {
    const std::string bad = folder.file("bad.avi");
    writeBytes(bad, "not a video at all");
    EXPECT_FALSE(view->LoadLyrics(folder.file("none.lrc")));
    view->PlayVideo(bad);
    EXPECT_EQ(view->CurrentState(), CLyricsView::ShowNoLyrics);
    EXPECT_EQ(view->Surface(), nullptr);
    view->StopVideo();
    EXPECT_EQ(view->CurrentState(), CLyricsView::ShowNoLyrics);
}

}  // namespace
