#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "lyrics/ui/LyricsView.h"
#include "resources/CommandIds.h"
#include "shell/MainFrame.h"
#include "shell/MelodeckApp.h"
#include "shell/ProgramFolder.h"
#include "shell/Settings.h"
#include "tests/support/TestSupport.h"

namespace {

// The title of the modal dialog that `command` opens; the dialog is closed with Escape.
QString dialogTitleOf(const std::function<void()>& command) {
    QString title;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            poll.stop();
            title = dialog->windowTitle();
            QTest::keyClick(dialog, Qt::Key_Escape);
        }
    });
    poll.start(20);
    command();
    return title;
}

TEST(LyricCommands, TheLyricMenusAndTheViewsMenuOpenTheirDialogs) {
    TempDir folder;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.path() + "config"));
    // A known user: no demo song, no tip of the day.
    const std::string home = folder.path() + "home/";
    std::filesystem::create_directories(home);
    writeBytes(home + ProgramFolder::categoryFileName(0), "");
    writeBytes(home + ProgramFolder::ConfigFileName, "[App]\nEverydayTip=0\n");
    CMelodeckApp app;
    std::string error;
    ASSERT_TRUE(app.InitInstance({home, false, false}, error)) << error;
    auto* view = app.MainFrame()->findChild<CLyricsView*>();
    ASSERT_NE(view, nullptr);

    EXPECT_EQ(dialogTitleOf([view] { view->OnCommand(kCmdSearchLyric); }), "搜索歌词");
    EXPECT_EQ(dialogTitleOf([view] { view->OnCommand(kCmdManualMatch); }), "点唱机");
    EXPECT_EQ(dialogTitleOf([&app] { app.MainFrame()->Action(kCmdLyricJukebox)->trigger(); }),
              "点唱机");
    theSettings.SetFilePath(nullptr);
}

}  // namespace
