#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "shell/FrameIcons.h"
#include "shell/MainFrame.h"
#include "shell/MelodeckApp.h"
#include "shell/Settings.h"
#include "shell/SplashWindow.h"
#include "shell/TipDialog.h"
#include "tests/support/TestSupport.h"

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
    EXPECT_NE(app.MainFrame()->findChild<CTipDialog*>(), nullptr);
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

}  // namespace
