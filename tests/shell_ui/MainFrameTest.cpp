#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include "playback/MelodeckDoc.h"
#include "resources/CommandIds.h"
#include "shell/IniFile.h"
#include "shell/MainFrame.h"
#include "shell/Settings.h"
#include "shell/TipDialog.h"
#include "shell/TransportSliders.h"
#include "tests/playback/FakeMedia.h"
#include "tests/support/TestSupport.h"
#include "widgets/PaneStatusBar.h"
#include "widgets/ProfileSplitter.h"
#include "widgets/QtTranslations.h"

namespace {

class MainFrame : public ::testing::Test {
protected:
    MainFrame() {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.path() + "config"));
        theSettings.SetFilePath(folder.file("OrvMelodeck.ini").c_str());
        writeSetting(ConfigKey::AppPath, folder.path());
    }
    ~MainFrame() override { theSettings.SetFilePath(nullptr); }

    // A frame with two plain panes, as the player builds it.
    std::unique_ptr<CMainFrame> makeFrame() {
        auto frame = std::make_unique<CMainFrame>(&doc);
        frame->SetViews(new QWidget, new QWidget);
        return frame;
    }
    QString menuTextOf(const CMainFrame& frame, int id) { return frame.Action(id)->text(); }

    TempDir folder;
    FakePlayer player;
    FakeCapture recorder;
    FakeCapture monitor;
    int lyricOffset = 0;
    CMelodeckDoc doc{MediaObjects{&player, &recorder, &monitor, &lyricOffset}};
};

TEST_F(MainFrame, MenusCarryTheirCommandsAndTexts) {
    auto frame = makeFrame();
    QStringList titles;
    for (QAction* menu : frame->menuBar()->actions()) {
        titles << menu->text();
    }
    EXPECT_EQ(titles, (QStringList{"播放(&P)", "消原唱(&R)", "歌词(&L)", "视图(&V)", "工具(&T)",
                                   "帮助(&H)"}));
    const std::pair<int, const char*> expected[] = {
        {kCmdAddMusicFiles, "音乐文件(&A)"},
        {kCmdAddFolder, "添文件夹(&D)"},
        {kCmdOpenM3u, "M3U 清单(&U)"},
        {kCmdVideoFile, "视频文件(&V)"},
        {kCmdExit, "退出(&Q)"},
        {kCmdAccompanimentMaker, "MP3消原唱"},
        {kCmdChannelLeft, "左声道"},
        {kCmdChannelStereo, "立体声"},
        {kCmdChannelRight, "右声道"},
        {kCmdAddLyricToLibrary, "添加歌词入库"},
        {kCmdLyricJukebox, "歌词点唱机"},
        {kCmdViewSongList, "清单栏(&L)"},
        {kCmdOptions, "选项(&P)"},
        {kCmdToolVerslet, "Verslet"},
        {kCmdToolWandel, "Wandel"},
        {kCmdHelp, "帮助文件(&H)"},
        {kCmdTipOfTheDay, "每日一贴(&E)"},
        {kCmdAbout, "关于 Vocalia(&A)"},
        {kCmdHomePage, "主页(&W)"},
    };
    for (const auto& [id, text] : expected) {
        ASSERT_NE(frame->Action(id), nullptr) << id;
        EXPECT_EQ(menuTextOf(*frame, id), QString::fromUtf8(text)) << id;
    }
}

TEST_F(MainFrame, ToolbarButtonsHaveTextsTooltipsAndCheckStyles) {
    auto frame = makeFrame();
    QStringList texts;
    QStringList checkable;
    for (QAction* action : frame->ToolBar()->actions()) {
        if (action->isSeparator()) {
            texts << "|";
            continue;
        }
        texts << action->text();
        if (action->isCheckable()) {
            checkable << action->text();
        }
    }
    EXPECT_EQ(texts, (QStringList{"播放", "停止", "暂停", "上一首(&B)", "下一首(&N)", "|", "演唱",
                                  "选项", "录音", "回放", "合成", "|", "帮助", "主页"}));
    EXPECT_EQ(checkable, (QStringList{"演唱", "录音", "回放"}));
    EXPECT_EQ(frame->Action(kCmdPlay)->toolTip(), QStringLiteral("点击开始播放音乐"));
    EXPECT_EQ(frame->Action(kCmdHomePageButton)->toolTip(),
              QStringLiteral("点击进入软件主页，获得软件最新版本"));
}

TEST_F(MainFrame, StatusBarHasFivePanesWithTextsAndTips) {
    auto frame = makeFrame();
    PaneStatusBar* bar = frame->StatusPanes();
    ASSERT_EQ(bar->PaneCount(), 5);
    EXPECT_EQ(bar->PaneText(0), QStringLiteral("<<<<"));
    EXPECT_EQ(bar->PaneText(1), QStringLiteral(">>>>"));
    EXPECT_EQ(bar->PaneText(2), QStringLiteral("00:00/00:00"));
    EXPECT_EQ(bar->PaneText(3), QStringLiteral("欢迎使用Vocalia"));
    EXPECT_EQ(bar->Pane(2)->toolTip(), QStringLiteral("左键单击提前歌词，右键单击滞后歌词"));
    EXPECT_EQ(bar->Pane(0)->width(), 50);
    EXPECT_EQ(bar->Pane(2)->width(), 80);
}

TEST_F(MainFrame, PaneClicksSeekChangeVolumeAndShiftLyrics) {
    auto frame = makeFrame();
    player.position = 4000;
    frame->OnPaneClicked(CMainFrame::kPaneBack, Qt::LeftButton);
    EXPECT_EQ(player.seeks, std::vector<long long>{-6000});
    frame->OnPaneClicked(CMainFrame::kPaneForward, Qt::LeftButton);
    EXPECT_EQ(player.seeks.back(), 4000);

    player.levels = 0x80008000U;
    frame->OnPaneClicked(CMainFrame::kPaneForward, Qt::RightButton);
    EXPECT_EQ(player.levels, 0xA710A710U);
    player.levels = 0x80008000U;
    frame->OnPaneClicked(CMainFrame::kPaneBack, Qt::RightButton);
    EXPECT_EQ(player.levels, 0x58F058F0U);

    for (int i = 0; i < 3; ++i) {
        frame->OnPaneClicked(CMainFrame::kPaneTime, Qt::LeftButton);
    }
    EXPECT_EQ(lyricOffset, 1500);
    frame->OnPaneClicked(CMainFrame::kPaneTime, Qt::RightButton);
    EXPECT_EQ(lyricOffset, 1000);

    frame->OnPaneClicked(CMainFrame::kPaneSong, Qt::LeftButton);
    EXPECT_TRUE(frame->StatusPanes()->IsScrolling(CMainFrame::kPaneSong));
    frame->OnPaneClicked(CMainFrame::kPaneSong, Qt::LeftButton);
    EXPECT_FALSE(frame->StatusPanes()->IsScrolling(CMainFrame::kPaneSong));
    EXPECT_EQ(frame->StatusPanes()->PaneText(3), QStringLiteral("欢迎使用Vocalia"));
}

TEST_F(MainFrame, TheSongPaneScrollsOnWhileTheStatusTimerRewritesIt) {
    auto frame = makeFrame();
    PaneStatusBar* bar = frame->StatusPanes();
    const QString song = QStringLiteral("正在播放 歌曲列表1:歌手 - 歌名");
    bar->SetPaneText(CMainFrame::kPaneSong, song);
    bar->ToggleScrolling(CMainFrame::kPaneSong);
    const QLabel* label = bar->Pane(CMainFrame::kPaneSong);
    ASSERT_TRUE(QTest::qWaitFor([&] { return label->text() != song; }, 2000));
    const QString scrolled = label->text();
    // Timer 2 sends the same text each second: the marquee must not start over.
    bar->SetPaneText(CMainFrame::kPaneSong, song);
    EXPECT_EQ(label->text(), scrolled);
    EXPECT_EQ(bar->PaneText(CMainFrame::kPaneSong), song);
    // A new text starts from its beginning.
    bar->SetPaneText(CMainFrame::kPaneSong, QStringLiteral("下一首"));
    EXPECT_EQ(label->text(), QStringLiteral("下一首"));
    bar->ToggleScrolling(CMainFrame::kPaneSong);
    EXPECT_EQ(label->text(), QStringLiteral("下一首"));
}

TEST_F(MainFrame, SteppedSettingsAreReadAtEachClick) {
    auto frame = makeFrame();
    writeSetting(ConfigKey::UserTimeOffset, 2500);
    writeSetting(ConfigKey::LyricsTimeOffset, 100);
    frame->OnPaneClicked(CMainFrame::kPaneForward, Qt::LeftButton);
    frame->OnPaneClicked(CMainFrame::kPaneTime, Qt::LeftButton);
    EXPECT_EQ(player.seeks, std::vector<long long>{2500});
    EXPECT_EQ(lyricOffset, 100);
}

TEST_F(MainFrame, ChannelMenuChecksFollowTheOutputLevel) {
    auto frame = makeFrame();
    frame->Action(kCmdChannelLeft)->trigger();
    EXPECT_EQ(player.levels, 0x0000FFFFU);
    EXPECT_TRUE(frame->Action(kCmdChannelLeft)->isChecked());
    EXPECT_FALSE(frame->Action(kCmdChannelStereo)->isChecked());

    frame->OnPaneClicked(CMainFrame::kPaneForward, Qt::RightButton);
    QMenu* channelMenu =
        frame->Action(kCmdChannelLeft)->associatedObjects().isEmpty()
            ? nullptr
            : qobject_cast<QMenu*>(frame->Action(kCmdChannelLeft)->associatedObjects().first());
    ASSERT_NE(channelMenu, nullptr);
    emit channelMenu->aboutToShow();
    EXPECT_TRUE(frame->Action(kCmdChannelStereo)->isChecked());
    EXPECT_FALSE(frame->Action(kCmdChannelLeft)->isChecked());

    frame->Action(kCmdChannelRight)->trigger();
    EXPECT_EQ(player.levels, 0xFFFF0000U);
    frame->Action(kCmdChannelStereo)->trigger();
    EXPECT_EQ(player.levels, 0xFFFFFFFFU);
}

TEST_F(MainFrame, SplitterLayoutPersistsAndTheSongListToggles) {
    const std::string profile = CMainFrame::ProfilePath();
    EXPECT_EQ(profile, folder.path() + "config/Vocalia/Vocalia.ini");
    CIniFile(profile.c_str()).WriteString("SplitterWnd", "Panes_0", "-1 220 -1 400");
    {
        auto frame = makeFrame();
        frame->resize(800, 600);
        frame->show();
        EXPECT_EQ(frame->Splitter()->sizes().value(0), 220);
        EXPECT_TRUE(frame->Action(kCmdViewSongList)->isChecked());
        frame->Action(kCmdViewSongList)->trigger();
        EXPECT_TRUE(frame->Splitter()->IsColumnHidden(0));
        EXPECT_FALSE(frame->Action(kCmdViewSongList)->isChecked());
        frame->close();
    }
    // Hidden at close: the widths from when both showed are kept.
    EXPECT_EQ(CIniFile(profile.c_str()).ReadString("SplitterWnd", "Panes_0").rfind("0 220 -1 ", 0),
              0U);
    {
        auto frame = makeFrame();
        EXPECT_TRUE(frame->Splitter()->IsColumnHidden(0));
        frame->OnToggleSongList();
        EXPECT_FALSE(frame->Splitter()->IsColumnHidden(0));
        EXPECT_TRUE(frame->Action(kCmdViewSongList)->isChecked());
    }
}

TEST(SplitterLayout, ParsesFormatsAndFillsUnsetWidths) {
    const SplitterLayout fallback = SplitterLayout::parse("junk");
    EXPECT_EQ(fallback.format(), "-1 150 -1 150");
    EXPECT_EQ(SplitterLayout::parse("1 30 -1 40").hiddenColumn, 1);
    EXPECT_EQ(SplitterLayout::parse("7 30 -1 40").hiddenColumn, -1);
    SplitterLayout unset;
    unset.width0 = -1;
    EXPECT_EQ(unset.format(), "-1 100 -1 150");
}

TEST_F(MainFrame, ExitClosesLikeTheCloseBox) {
    auto frame = makeFrame();
    frame->show();
    QSignalSpy closing(frame.get(), &CMainFrame::closing);
    frame->Action(kCmdExit)->trigger();
    EXPECT_EQ(closing.count(), 1);
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(MainFrame, ToggleButtonsFollowTheDocument) {
    auto frame = makeFrame();
    recorder.buildError = "创建音频采集设备失败，操作无法进行。";
    frame->Action(kCmdRecord)->trigger();
    EXPECT_FALSE(frame->Action(kCmdRecord)->isChecked());
    auto* box = frame->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().toStdString(), recorder.buildError);
    box->close();
    recorder.buildError.clear();
    frame->Action(kCmdRecord)->trigger();
    EXPECT_TRUE(frame->Action(kCmdRecord)->isChecked());
    EXPECT_EQ(frame->Action(kCmdRecord)->text(), QStringLiteral("停止"));
}

TEST_F(MainFrame, TipOfTheDayCyclesAndStoresItsCheckBox) {
    writeSetting(ConfigKey::EverydayTip, 2);
    CTipDialog tip;
    EXPECT_FALSE(tip.ShowAtStartBox()->isChecked());
    const int first = tip.CurrentTip();
    for (int i = 0; i < CTipDialog::Tips().size(); ++i) {
        tip.ShowNextTip();
    }
    EXPECT_EQ(tip.CurrentTip(), first);
    EXPECT_EQ(tip.TipText()->toPlainText(), CTipDialog::Tips().at(first));
    tip.ShowAtStartBox()->click();
    EXPECT_EQ(readSetting(ConfigKey::EverydayTip), 1);
    tip.ShowAtStartBox()->click();
    EXPECT_EQ(readSetting(ConfigKey::EverydayTip), 0);
}

// Sends a press or the double click that a second quick press becomes.
void pressPane(QWidget* pane, QEvent::Type type, Qt::MouseButton button) {
    QMouseEvent event(type, QPointF(5, 5), pane->mapToGlobal(QPointF(5, 5)), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(pane, &event);
}

TEST_F(MainFrame, EveryQuickClickOnAPaneCounts) {
    auto frame = makeFrame();
    frame->show();
    QWidget* lyricPane = frame->StatusPanes()->Pane(CMainFrame::kPaneTime);
    for (int i = 0; i < 6; ++i) {
        pressPane(lyricPane, QEvent::MouseButtonPress, Qt::LeftButton);
        pressPane(lyricPane, QEvent::MouseButtonDblClick, Qt::LeftButton);
    }
    EXPECT_EQ(lyricOffset, 6000) << "twelve clicks of 500 ms";
    player.position = 60000;
    QWidget* forward = frame->StatusPanes()->Pane(CMainFrame::kPaneForward);
    pressPane(forward, QEvent::MouseButtonPress, Qt::LeftButton);
    pressPane(forward, QEvent::MouseButtonDblClick, Qt::LeftButton);
    EXPECT_EQ(player.seeks.size(), 2U);
}

TEST_F(MainFrame, TheViewMenuShowsAndHidesTheStatusBar) {
    auto frame = makeFrame();
    frame->show();
    QAction* toggle = frame->Action(kCmdViewStatusBar);
    toggle->trigger();
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_FALSE(frame->StatusPanes()->isVisible());
    toggle->trigger();
    EXPECT_TRUE(frame->StatusPanes()->isVisible());
}

TEST_F(MainFrame, SlidersSeekAndSetTheSameVolumeAsThePaneClicks) {
    auto frame = makeFrame();
    frame->show();
    doc.m_songs.push_back(MakeSongEntry(folder.file("a.mp3"), "a", 180));
    doc.OnPlay();
    CTransportSliders* sliders = frame->Sliders();
    ASSERT_NE(sliders, nullptr);
    QSlider* position = frame->findChild<QSlider*>(QStringLiteral("PositionSlider"));
    QSlider* volume = frame->findChild<QSlider*>(QStringLiteral("VolumeSlider"));
    ASSERT_NE(position, nullptr);
    ASSERT_NE(volume, nullptr);
    player.position = 30000;
    sliders->Refresh();
    EXPECT_EQ(position->maximum(), 180000);
    EXPECT_EQ(position->value(), 30000);
    position->setFocus();
    QTest::keyClick(position, Qt::Key_PageUp);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player.seeks.empty(); }, 1000));
    EXPECT_EQ(player.seeks.back(), 40000);

    // The volume slider and the status bar's volume clicks move the same levels.
    volume->setFocus();
    QTest::keyClick(volume, Qt::Key_Home);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.levels == 0U; }, 1000));
    frame->OnPaneClicked(CMainFrame::kPaneForward, Qt::RightButton);
    sliders->Refresh();
    EXPECT_EQ(volume->value(), 10000);
}

TEST_F(MainFrame, NextAndPreviousAreInThePlayMenuAndOnTheToolbar) {
    auto frame = makeFrame();
    doc.m_songs.push_back(MakeSongEntry(folder.file("a.mp3"), "a", 61));
    doc.m_songs.push_back(MakeSongEntry(folder.file("b.mp3"), "b", 61));
    EXPECT_TRUE(frame->ToolBar()->actions().contains(frame->Action(kCmdNextSong)));
    EXPECT_EQ(frame->Action(kCmdNextSong)->shortcut(), QKeySequence(Qt::Key_MediaNext));
    frame->Action(kCmdNextSong)->trigger();
    frame->Action(kCmdNextSong)->trigger();
    EXPECT_EQ(player.opened, folder.file("b.mp3"));
    frame->Action(kCmdPreviousSong)->trigger();
    EXPECT_EQ(player.opened, folder.file("a.mp3"));
}

TEST_F(MainFrame, AToolThatCannotBeStartedIsNamedInTheStatusBar) {
    auto frame = makeFrame();
    frame->Action(kCmdToolWandel)->trigger();
    EXPECT_EQ(frame->StatusPanes()->PaneText(CMainFrame::kPaneSong),
              QStringLiteral("无法启动 Wandel：找不到该工具"));
    // The status timer leaves the notice standing for a while.
    emit doc.statusTick(QStringLiteral("00:01/01:00"), QStringLiteral("正在播放 x"));
    EXPECT_EQ(frame->StatusPanes()->PaneText(CMainFrame::kPaneSong),
              QStringLiteral("无法启动 Wandel：找不到该工具"));
}

TEST_F(MainFrame, QtsOwnTextsSpeakChinese) {
    ASSERT_TRUE(installQtTranslations(*QCoreApplication::instance()))
        << "qt6-translations-l10n is missing";
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Vocalia"), QStringLiteral("x"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
}

}  // namespace
