#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "library/ui/LeftForm.h"
#include "library/ui/RenamableTabBar.h"
#include "library/ui/SongListCtrl.h"
#include "media/ServerLoopback.h"
#include "resources/CommandIds.h"
#include "shell/FrameIcons.h"
#include "shell/MainFrame.h"
#include "shell/MelodeckApp.h"
#include "shell/Settings.h"
#include "shell/SplashWindow.h"
#include "shell/TipDialog.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TestSupport.h"
#include "tests/views/GuiTestSupport.h"

namespace {

class StartUp : public ::testing::Test {
protected:
    StartUp() { qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.path() + "config")); }
    ~StartUp() override { theSettings.SetFilePath(nullptr); }

    TempDir folder;
};

TEST_F(StartUp, AKeyPressClosesTheSplashAtOnce) {
    CSplashWindow splash(FrameIcons::splashPicture());
    splash.show();
    QSignalSpy finished(&splash, &CSplashWindow::finished);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QApplication::sendEvent(&splash, &press);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(StartUp, TheMainWindowShowsWhenTheSplashCloses) {
    CMelodeckApp app;
    std::string error;
    ASSERT_TRUE(app.InitInstance({folder.path() + "home", true, false}, error)) << error;
    EXPECT_FALSE(app.MainFrame()->isVisible());
    QSignalSpy shown(&app, &CMelodeckApp::mainWindowShown);
    QTest::mouseClick(app.MainFrame(), Qt::LeftButton);
    ASSERT_TRUE(shown.count() == 1 || shown.wait(1000));
    EXPECT_TRUE(app.MainFrame()->isVisible());
}

TEST_F(StartUp, FirstStartWritesTheProgramFolderAndShowsTheTip) {
    CMelodeckApp app;
    std::string error;
    const std::string home = folder.path() + "home/";
    ASSERT_TRUE(app.InitInstance({home, false, false}, error)) << error;
    EXPECT_EQ(readSetting(ConfigKey::AppPath), home);
    EXPECT_TRUE(app.MainFrame()->isVisible());
    const auto* tip = app.MainFrame()->findChild<CTipDialog*>();
    ASSERT_NE(tip, nullptr);
    const QPoint offCentre = tip->geometry().center() - app.MainFrame()->geometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 4) << "the tip opens over the middle of the window";
    // Both song list columns show whole at first start.
    auto* songList = app.MainFrame()->findChild<CLeftForm*>();
    const QTreeWidget* list = songList->List();
    const int columns = list->header()->sectionSize(0) + list->header()->sectionSize(1);
    EXPECT_LE(columns, list->viewport()->width());
    EXPECT_EQ(list->header()->sectionSize(1), 50);
}

TEST_F(StartUp, TheCategoryTabsShowUnderTheSongList) {
    CMelodeckApp app;
    std::string error;
    ASSERT_TRUE(app.InitInstance({folder.path() + "home/", false, false}, error)) << error;
    auto* songList = app.MainFrame()->findChild<CLeftForm*>();
    ASSERT_NE(songList, nullptr);
    QApplication::processEvents();
    const RenamableTabBar* tabs = songList->Tabs();
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_TRUE(tabs->isVisible());
    EXPECT_GE(tabs->height(), tabs->sizeHint().height());
    EXPECT_GT(tabs->height(), 0);
    EXPECT_LE(songList->List()->geometry().bottom(), tabs->geometry().top());
}

TEST_F(StartUp, ALiveMonitorLeftByARunThatDiedStopsAtTheNextStart) {
    QProcess gone;
    gone.start(QStringLiteral("true"));
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 pid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    const std::string tag = ServerLoopback::ProcessTag();
    const std::string deadTag = tag.substr(0, tag.rfind(':') + 1) + std::to_string(pid);
    // A silent sink of its own feeds the left loopback, so that tests running beside this one
    // on the same server hear nothing of it.
    QProcess sink;
    sink.start(QStringLiteral("pactl"),
               {QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                QStringLiteral("sink_name=leftover")});
    ASSERT_TRUE(sink.waitForFinished());
    const QString sinkModule = QString::fromUtf8(sink.readAllStandardOutput()).trimmed();
    QProcess load;
    load.start(QStringLiteral("pactl"),
               {QStringLiteral("load-module"), QStringLiteral("module-loopback"),
                QStringLiteral("source=leftover.monitor"), QStringLiteral("sink=leftover"),
                QString::fromStdString("sink_input_properties=vocalia.monitor=" + deadTag)});
    ASSERT_TRUE(load.waitForFinished());
    // Monitor tests beside this one may have loopbacks of their own: only this one counts.
    const auto leftOne = [&deadTag] {
        const std::vector<std::string> modules = monitorModules();
        return std::count_if(modules.begin(), modules.end(), [&](const std::string& module) {
            return module.find(deadTag) != std::string::npos;
        });
    };
    ASSERT_EQ(leftOne(), 1);

    CMelodeckApp app;
    std::string error;
    ASSERT_TRUE(app.InitInstance({folder.path() + "home/", false, false}, error)) << error;
    EXPECT_TRUE(processEventsUntil([&] { return leftOne() == 0; }, 5000));
    QProcess::execute(QStringLiteral("pactl"), {QStringLiteral("unload-module"), sinkModule});
}

TEST_F(StartUp, AnyTipSettingOtherThanOneSuppressesTheTip) {
    const std::string home = folder.path() + "home/";
    std::filesystem::create_directories(home);
    writeBytes(home + "OrvMelodeck.ini", "[App]\nEverydayTip=2\n");
    CMelodeckApp app;
    std::string error;
    ASSERT_TRUE(app.InitInstance({home, false, false}, error)) << error;
    EXPECT_EQ(app.MainFrame()->findChild<CTipDialog*>(), nullptr);
}

TEST_F(StartUp, TheLyricsMenuOpensTheCurrentSongsLyricFileInTheEditor) {
    // The "editor" writes down what it was asked to open.
    const std::string editor = folder.file("editor.sh");
    const std::string record = folder.file("opened.txt");
    writeBytes(editor, "#!/bin/sh\nprintf '%s' \"$1\" > '" + record + "'\n");
    std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
    const QByteArray saved = qgetenv("VISUAL");
    qputenv("VISUAL", QByteArray::fromStdString(editor));
    CMelodeckApp app;
    std::string error;
    ASSERT_TRUE(app.InitInstance({folder.path() + "home/", false, false}, error)) << error;
    auto* songList = app.MainFrame()->findChild<CLeftForm*>();
    ASSERT_NE(songList, nullptr);
    ASSERT_GT(songList->List()->topLevelItemCount(), 0);
    songList->List()->setCurrentItem(songList->List()->topLevelItem(0));
    emit songList->List()->listClicked();
    app.MainFrame()->Action(kCmdEditLyric)->trigger();
    const bool opened = QTest::qWaitFor(
        [&] { return std::filesystem::exists(record) && !readBytes(record).empty(); }, 5000);
    saved.isNull() ? qunsetenv("VISUAL") : qputenv("VISUAL", saved);
    ASSERT_TRUE(opened);
    // The demo song's own lyric file in the library.
    const std::string path = readBytes(record);
    EXPECT_NE(path.find("/MyLyrics/"), std::string::npos) << path;
    EXPECT_TRUE(std::filesystem::exists(path)) << path;
}

}  // namespace
