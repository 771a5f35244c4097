#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "media/ToneStage.h"
#include "playback/MelodeckDoc.h"
#include "playback/SongKeys.h"
#include "shell/MainFrame.h"
#include "shell/Settings.h"
#include "tests/playback/FakeMedia.h"
#include "tests/support/TestSupport.h"
#include "widgets/PaneStatusBar.h"

namespace {

class ToneCommands : public ::testing::Test {
protected:
    ToneCommands() {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.path() + "config"));
        theSettings.SetFilePath(folder.file("OrvMelodeck.ini").c_str());
        writeSetting(ConfigKey::AppPath, folder.path());
        doc.m_songs = {SongEntry{"/songs/a.mp3", "a", "03:20", 200},
                       SongEntry{"/songs/b.mp3", "b", "02:00", 120}};
        frame = std::make_unique<CMainFrame>(&doc);
        frame->SetViews(new QWidget, new QWidget);
        frame->show();
        QApplication::setActiveWindow(frame.get());
    }
    ~ToneCommands() override {
        frame.reset();
        PlaybackTone::setKey(0);
        PlaybackTone::setTempo(PlaybackTone::kOriginalTempo);
        PlaybackTone::setVocalCut(false);
        theSettings.SetFilePath(nullptr);
    }

    void press(Qt::Key key) { QTest::keyClick(frame.get(), key, Qt::ControlModifier); }
    void playRow(int row) {
        doc.m_curSong = row;
        doc.OnPlay();
    }
    QString rightPane() const { return frame->StatusPanes()->PaneText(CMainFrame::kPaneSpare); }
    std::string keyFile() const { return folder.file(SongKeys::kFileName); }

    TempDir folder;
    FakePlayer player;
    FakeCapture recorder;
    FakeCapture monitor;
    int lyricOffset = 0;
    CMelodeckDoc doc{MediaObjects{&player, &recorder, &monitor, &lyricOffset}};
    std::unique_ptr<CMainFrame> frame;
};

QMenu* menuTitled(QWidget* parent, const QString& title) {
    for (QMenu* menu : parent->findChildren<QMenu*>()) {
        if (menu->title() == title) {
            return menu;
        }
    }
    return nullptr;
}

TEST_F(ToneCommands, PlayMenuOffersKeyAndTempoWithTheirShortcuts) {
    QMenu* key = frame->findChild<QMenu*>("KeyMenu");
    QMenu* tempo = frame->findChild<QMenu*>("TempoMenu");
    ASSERT_NE(key, nullptr);
    ASSERT_NE(tempo, nullptr);
    EXPECT_EQ(key->title(), "变调");
    EXPECT_EQ(tempo->title(), "变速");
    QStringList keyItems;
    for (QAction* action : key->actions()) {
        keyItems << action->text() + ' ' + action->shortcut().toString();
    }
    EXPECT_EQ(keyItems, (QStringList{"升调 Ctrl+Up", "降调 Ctrl+Down", "原调 Ctrl+0"}));
    QMenu* play = menuTitled(frame.get(), "播放(&P)");
    ASSERT_NE(play, nullptr);
    EXPECT_TRUE(play->actions().contains(key->menuAction()));
    EXPECT_TRUE(play->actions().contains(tempo->menuAction()));
    QMenu* vocals = menuTitled(frame.get(), "消原唱(&R)");
    ASSERT_NE(vocals, nullptr);
    QAction* cut = frame->findChild<QAction*>("LiveVocalCut");
    ASSERT_NE(cut, nullptr);
    EXPECT_TRUE(vocals->actions().contains(cut));
    cut->trigger();
    EXPECT_TRUE(PlaybackTone::vocalCut());
    cut->trigger();
    EXPECT_FALSE(PlaybackTone::vocalCut());
}

TEST_F(ToneCommands, ShortcutsShiftKeyAndTempoAndTheRightPaneShowsThem) {
    player.duration = 200000;
    playRow(0);
    EXPECT_EQ(rightPane(), "");
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    EXPECT_EQ(PlaybackTone::key(), -2);
    EXPECT_EQ(rightPane(), "降2调");
    press(Qt::Key_Left);
    EXPECT_EQ(PlaybackTone::tempo(), 95);
    EXPECT_EQ(rightPane(), "降2调 95%");
    // For a look at the window: VOCALIA_SCREENSHOTS names a folder for the pictures.
    if (const QString shots = qEnvironmentVariable("VOCALIA_SCREENSHOTS"); !shots.isEmpty()) {
        frame->grab().save(shots + "/tone-status.png");
        QMenu* key = frame->findChild<QMenu*>("KeyMenu");
        key->popup(frame->mapToGlobal(QPoint(40, 40)));
        key->grab().save(shots + "/tone-key-menu.png");
        key->hide();
    }
    // The time pane counts playing time at the new tempo: 3:20 at 95 % lasts 3:30.
    EXPECT_TRUE(doc.TimePaneText().endsWith("/03:30")) << doc.TimePaneText().toStdString();

    // Held at the ends of the ranges.
    for (int i = 0; i < 12; ++i) {
        press(Qt::Key_Up);
        press(Qt::Key_Right);
    }
    EXPECT_EQ(PlaybackTone::key(), 6);
    EXPECT_EQ(PlaybackTone::tempo(), 120);
    EXPECT_EQ(rightPane(), "升6调 120%");

    press(Qt::Key_0);
    EXPECT_EQ(PlaybackTone::key(), 0);
    EXPECT_EQ(PlaybackTone::tempo(), 100);
    EXPECT_EQ(rightPane(), "");
}

TEST_F(ToneCommands, EachSongComesBackInItsOwnKeyAtTheOriginalTempo) {
    playRow(0);
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Left);
    EXPECT_EQ(readBytes(keyFile()), "-2\t/songs/a.mp3\n");

    playRow(1);
    EXPECT_EQ(PlaybackTone::key(), 0);
    EXPECT_EQ(PlaybackTone::tempo(), 100);
    EXPECT_EQ(rightPane(), "");
    press(Qt::Key_Up);

    // A new run of the player reads the keys back.
    frame.reset();
    PlaybackTone::setKey(0);
    frame = std::make_unique<CMainFrame>(&doc);
    playRow(0);
    EXPECT_EQ(PlaybackTone::key(), -2);
    EXPECT_EQ(PlaybackTone::tempo(), 100);
    EXPECT_EQ(rightPane(), "降2调");
    playRow(1);
    EXPECT_EQ(PlaybackTone::key(), 1);

    // Back in the original key, the song is forgotten.
    frame->findChild<QAction*>("KeyOriginal")->trigger();
    EXPECT_EQ(readBytes(keyFile()), "-2\t/songs/a.mp3\n");
}

}  // namespace
