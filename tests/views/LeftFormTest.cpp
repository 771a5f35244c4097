#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QUrl>
#include <filesystem>
#include <memory>

#include "library/M3uPlaylist.h"
#include "library/ui/LeftForm.h"
#include "library/ui/RenamableTabBar.h"
#include "library/ui/SongListCtrl.h"
#include "playback/MelodeckDoc.h"
#include "resources/CommandIds.h"
#include "tests/media/CdgWriter.h"
#include "tests/media/ZipMaker.h"
#include "tests/views/GuiTestSupport.h"
#include "tests/views/ModalAnswers.h"
#include "tests/views/ProgramFolderFixture.h"

namespace {

std::vector<SongEntry> songsNamed(std::initializer_list<const char*> names) {
    std::vector<SongEntry> songs;
    for (const char* name : names) {
        songs.push_back(MakeSongEntry(std::string("/music/") + name + ".mp3", name, 61));
    }
    return songs;
}

std::vector<std::string> namesOf(const std::vector<SongEntry>& songs) {
    std::vector<std::string> names;
    names.reserve(songs.size());
    for (const SongEntry& song : songs) {
        names.push_back(song.DisplayName);
    }
    return names;
}

class LeftFormTest : public ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        writeSetting(ConfigKey::TabNum, 3);
        SaveM3u(categoryFile(0), songsNamed({"甲", "乙", "丙", "丁", "戊"}));
        SaveM3u(categoryFile(1), songsNamed({"one", "two"}));
        SaveM3u(categoryFile(2), songsNamed({"x"}));
        start();
    }

    void start() {
        form.reset();
        doc = std::make_unique<CMelodeckDoc>(MediaObjects{nullptr, nullptr, nullptr, &offset});
        form = std::make_unique<CLeftForm>(doc.get(), MakeDurationProbe());
        form->resize(300, 400);
        form->show();
        form->OnInitialUpdate();
    }

    // Drags the files of the test folder onto the list and drops them, as a file manager does;
    // Qt delivers a drop only where the drag entered first.
    void dropFiles(const std::vector<std::string>& names) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const std::string& name : names) {
            urls << QUrl::fromLocalFile(QString::fromStdString(folder.file(name)));
        }
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(list()->viewport(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list()->viewport(), &drop);
    }

    std::vector<std::string> rowTexts() const {
        std::vector<std::string> texts;
        texts.reserve(static_cast<size_t>(list()->topLevelItemCount()));
        for (int row = 0; row < list()->topLevelItemCount(); ++row) {
            texts.push_back(list()->topLevelItem(row)->text(0).toStdString());
        }
        return texts;
    }
    SongListCtrl* list() const { return form->List(); }
    QPoint rowCenter(int row) const {
        return list()->visualItemRect(list()->topLevelItem(row)).center();
    }
    void sendMouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, list()->viewport()->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(list()->viewport(), &event);
    }
    void select(std::initializer_list<int> rows) {
        list()->clearSelection();
        for (int row : rows) {
            list()->topLevelItem(row)->setSelected(true);
        }
    }

    int offset = 0;
    std::unique_ptr<CMelodeckDoc> doc;
    std::unique_ptr<CLeftForm> form;
};

TEST_F(LeftFormTest, FirstUpdateShowsTheStoredCategoryAndItsTabs) {
    EXPECT_EQ(form->Tabs()->count(), 3);
    EXPECT_EQ(form->Tabs()->tabText(2), "歌曲列表3");
    EXPECT_EQ(rowTexts(), (std::vector<std::string>{"甲", "乙", "丙", "丁", "戊"}));
    EXPECT_EQ(list()->topLevelItem(0)->text(1), "01:01");
    EXPECT_EQ(list()->headerItem()->text(0), "音乐");
    EXPECT_EQ(list()->headerItem()->text(1), "时间");
}

TEST_F(LeftFormTest, AStoredIndexPastTheTabsFallsBackToTheLastCategory) {
    writeSetting(ConfigKey::MusicListCurIndex, 9);
    start();
    EXPECT_EQ(doc->m_curCategory, 2);
    EXPECT_EQ(rowTexts(), (std::vector<std::string>{"x"}));
}

TEST_F(LeftFormTest, ClickSetsTheCurrentSong) {
    sendMouse(QEvent::MouseButtonPress, rowCenter(2), Qt::LeftButton);
    sendMouse(QEvent::MouseButtonRelease, rowCenter(2), Qt::NoButton);
    EXPECT_EQ(doc->m_curSong, 2);
    // A click below the rows selects nothing: the first song becomes current.
    const QPoint empty(10, list()->viewport()->height() - 2);
    sendMouse(QEvent::MouseButtonPress, empty, Qt::LeftButton);
    sendMouse(QEvent::MouseButtonRelease, empty, Qt::NoButton);
    EXPECT_EQ(doc->m_curSong, 0);
}

TEST_F(LeftFormTest, RenameKeepsTheOldNameWhenTheNewOneIsEmpty) {
    list()->topLevelItem(1)->setText(0, "新名字");
    EXPECT_EQ(doc->m_songs[1].DisplayName, "新名字");
    list()->topLevelItem(1)->setText(0, "");
    EXPECT_EQ(doc->m_songs[1].DisplayName, "新名字");
    EXPECT_EQ(rowTexts()[1], "新名字");
}

TEST_F(LeftFormTest, RemoveSelectedTakesEverySelectedRow) {
    doc->m_curSong = 4;
    select({0, 2, 3});
    form->OnCommand(kCmdRemoveSelected);
    EXPECT_EQ(rowTexts(), (std::vector<std::string>{"乙", "戊"}));
    EXPECT_EQ(namesOf(doc->m_songs), (std::vector<std::string>{"乙", "戊"}));
    EXPECT_EQ(doc->m_curSong, 1) << "the current song keeps its place in the list";
    form->OnCommand(kCmdClearAll);
    EXPECT_TRUE(doc->m_songs.empty());
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    EXPECT_EQ(doc->m_curSong, -1);
}

TEST_F(LeftFormTest, OnlyAPlayingSongMarksItsRowWhenTheRowsAreRebuilt) {
    doc->m_playingSong = 1;
    doc->m_playingCategory = 0;
    doc->m_playState = kPlaying;
    select({3});
    form->OnCommand(kCmdRemoveSelected);
    EXPECT_EQ(form->MarkedRow(), 1);
    // Stopped: removing a row must not bring the mark back.
    form->ClearRowMarks(1);
    doc->m_playState = kStopped;
    select({3});
    form->OnCommand(kCmdRemoveSelected);
    EXPECT_EQ(form->MarkedRow(), -1);
    // A list that replaces the shown one holds no playing row.
    doc->m_playState = kPlaying;
    form->SongLists().OpenM3u(categoryFile(1));
    EXPECT_EQ(rowTexts(), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(doc->m_playingSong, -1);
    EXPECT_EQ(form->MarkedRow(), -1);
}

TEST_F(LeftFormTest, RemovingRowsAboveThePlayingSongKeepsTheMarkOnIt) {
    doc->m_playState = kPlaying;
    doc->m_playingSong = 3;
    doc->m_playingCategory = 0;
    form->MarkPlayingRow(3);
    select({0, 1});
    form->OnCommand(kCmdRemoveSelected);
    EXPECT_EQ(doc->m_playingSong, 1);
    EXPECT_EQ(form->MarkedRow(), 1);
    EXPECT_EQ(rowTexts()[1], "丁");
    EXPECT_TRUE(list()->topLevelItem(1)->font(0).bold());
    EXPECT_FALSE(list()->topLevelItem(0)->font(0).bold());
    // The playing song's own row removed: it plays on, and no other row takes its mark.
    select({1});
    form->OnCommand(kCmdRemoveSelected);
    EXPECT_EQ(doc->m_playingSong, -1);
    EXPECT_EQ(form->MarkedRow(), -1);
}

TEST_F(LeftFormTest, DraggingThePlayingRowKeepsTheMarkOnIt) {
    doc->m_playState = kPlaying;
    doc->m_playingSong = 0;
    doc->m_playingCategory = 0;
    form->MarkPlayingRow(0);
    sendMouse(QEvent::MouseButtonPress, rowCenter(0), Qt::LeftButton);
    sendMouse(QEvent::MouseMove, rowCenter(1), Qt::LeftButton);
    sendMouse(QEvent::MouseMove, rowCenter(2), Qt::LeftButton);
    sendMouse(QEvent::MouseButtonRelease, rowCenter(2), Qt::NoButton);
    EXPECT_EQ(namesOf(doc->m_songs), (std::vector<std::string>{"乙", "丙", "甲", "丁", "戊"}));
    EXPECT_EQ(rowTexts(), namesOf(doc->m_songs));
    EXPECT_EQ(doc->m_playingSong, 2);
    EXPECT_EQ(form->MarkedRow(), 2);
    // Dragging another row across the playing one moves the mark out of its way.
    sendMouse(QEvent::MouseButtonPress, rowCenter(3), Qt::LeftButton);
    sendMouse(QEvent::MouseMove, rowCenter(2), Qt::LeftButton);
    sendMouse(QEvent::MouseButtonRelease, rowCenter(2), Qt::NoButton);
    EXPECT_EQ(doc->m_playingSong, 3);
    EXPECT_EQ(form->MarkedRow(), 3);
    EXPECT_EQ(doc->m_songs[3].DisplayName, "甲");
}

TEST_F(LeftFormTest, DropsAddOnlyTheTenExtensionsAndRowsArriveOnTheWindowThread) {
    const std::vector<std::string> names = {"a.mp3", "b.Mp3", "c.asf", "d.txt", "e.WAV", "a.mp3"};
    for (const std::string& name : names) {
        writeBytes(folder.file(name), "not really music");
    }
    dropFiles(names);
    ASSERT_TRUE(processEventsUntil([&] { return doc->m_songs.size() == 9; }));
    EXPECT_EQ(rowTexts(),
              (std::vector<std::string>{"甲", "乙", "丙", "丁", "戊", "a", "c", "e", "a"}));
    EXPECT_EQ(doc->m_songs[6].DurationText, "00:00");
}

TEST_F(LeftFormTest, DroppedMp3gPairsJoinUnderTheirAudioFiles) {
    // Three seconds of silent MPEG-1 layer III frames (128 kbit/s, 44.1 kHz).
    std::string mp3;
    for (int frame = 0; frame < 115; ++frame) {
        mp3 += std::string("\xFF\xFB\x90\x00", 4) + std::string(413, '\0');
    }
    const std::string graphics = CdgWriter().memoryPreset(1).bytes();
    writeBytes(folder.file("Pair.mp3"), mp3);
    writeBytes(folder.file("PAIR.CDG"), graphics);
    writeBytes(folder.file("Orphan.cdg"), graphics);
    writeBytes(folder.file("Both.mp3"), mp3);
    writeBytes(folder.file("Both.cdg"), graphics);
    ASSERT_TRUE(writeZip(folder.file("Zipped.ZIP"),
                         {{"Singer - Song.mp3", mp3}, {"singer - song.cdg", graphics}}));
    const std::vector<std::string> before = rowTexts();
    dropFiles({"PAIR.CDG", "Zipped.ZIP", "Orphan.cdg", "Both.mp3", "Both.cdg"});
    ASSERT_TRUE(processEventsUntil([&] { return form->SongLists().Adder().Pending() == 0; }));
    ASSERT_EQ(doc->m_songs.size(), before.size() + 3);
    const auto added = [&](size_t i) { return doc->m_songs[before.size() + i]; };
    EXPECT_EQ(added(0).Path, folder.file("Pair.mp3"));
    EXPECT_EQ(added(0).DisplayName, "Pair");
    EXPECT_EQ(added(1).Path, folder.file("Zipped.ZIP"));
    EXPECT_EQ(added(1).DisplayName, "Singer - Song");
    EXPECT_EQ(added(1).DurationText, "00:03");
    EXPECT_EQ(added(2).Path, folder.file("Both.mp3"));
}

TEST_F(LeftFormTest, ReplacingTheListDropsSongsStillBeingAdded) {
    std::vector<std::string> paths;
    for (int i = 0; i < 200; ++i) {
        paths.push_back(folder.file("s" + std::to_string(i) + ".mp3"));
        writeBytes(paths.back(), "x");
    }
    form->SongLists().AddSongFiles(paths);
    form->OnCommand(kCmdClearAll);
    processEventsUntil([&] { return form->SongLists().Adder().Pending() == 0; }, 2000);
    QCoreApplication::processEvents();
    EXPECT_TRUE(doc->m_songs.empty());
}

TEST_F(LeftFormTest, SongsStillBeingAddedReachTheirOwnCategoryAfterASwitchOrADelete) {
    const auto musicFiles = [&](const std::string& stem) {
        std::vector<std::string> paths;
        for (int i = 0; i < 20; ++i) {
            paths.push_back(folder.file(stem + std::to_string(i) + ".mp3"));
            writeBytes(paths.back(), "x");
        }
        return paths;
    };
    form->SongLists().AddSongFiles(musicFiles("s"));
    form->Tabs()->setCurrentIndex(1);
    ASSERT_TRUE(processEventsUntil([&] { return form->SongLists().Adder().Pending() == 0; }));
    EXPECT_EQ(rowTexts(), (std::vector<std::string>{"one", "two"}));
    form->Tabs()->setCurrentIndex(0);
    ASSERT_EQ(doc->m_songs.size(), 25U);
    EXPECT_EQ(rowTexts().back(), "s19");

    // Category 2 moves to position 1 while its files are still being probed.
    form->Tabs()->setCurrentIndex(2);
    form->SongLists().AddSongFiles(musicFiles("t"));
    form->Tabs()->setCurrentIndex(1);
    form->OnCommand(kCmdDeleteCategory);
    ASSERT_TRUE(processEventsUntil([&] { return form->SongLists().Adder().Pending() == 0; }));
    ASSERT_EQ(doc->m_songs.size(), 21U);
    EXPECT_EQ(rowTexts().front(), "x");
    EXPECT_EQ(rowTexts().back(), "t19");
    EXPECT_EQ(LoadM3u(categoryFile(0)).size(), 25U);
}

TEST_F(LeftFormTest, AddFolderReplacesTheListWithItsMp3FilesInAnyCase) {
    const std::string music = folder.path() + "music/";
    std::filesystem::create_directories(music + "sub");
    for (const char* name : {"b.mp3", "A.MP3", "c.wav", "sub/d.mp3"}) {
        writeBytes(music + name, "x");
    }
    form->SongLists().AddFolder(music);
    ASSERT_TRUE(processEventsUntil([&] { return form->SongLists().Adder().Pending() == 0; }));
    EXPECT_EQ(rowTexts(), (std::vector<std::string>{"A", "b"}));

    std::filesystem::create_directories(music + "empty");
    form->SongLists().AddFolder(music + "empty");
    EXPECT_TRUE(doc->m_songs.empty());
}

TEST_F(LeftFormTest, SwitchingCategoriesSavesTheShownListAndKeepsTheCurrentNumber) {
    doc->m_curSong = 4;
    doc->m_playState = kPlaying;
    doc->m_playingSong = 1;
    doc->m_playingCategory = 0;
    form->MarkPlayingRow(1);
    list()->topLevelItem(0)->setText(0, "改过");
    form->Tabs()->setCurrentIndex(1);
    EXPECT_EQ(doc->m_curCategory, 1);
    EXPECT_EQ(rowTexts(), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(doc->m_curSong, 4);
    EXPECT_EQ(form->MarkedRow(), -1);
    EXPECT_EQ(LoadM3u(categoryFile(0))[0].DisplayName, "改过");
    form->Tabs()->setCurrentIndex(0);
    EXPECT_EQ(rowTexts()[0], "改过");
    EXPECT_EQ(form->MarkedRow(), 1);
}

TEST_F(LeftFormTest, DeletingACategoryRenumbersTheFilesSoEveryTabKeepsItsList) {
    form->Tabs()->setCurrentIndex(1);
    form->OnCommand(kCmdDeleteCategory);
    EXPECT_EQ(form->Tabs()->count(), 2);
    EXPECT_EQ(form->Tabs()->currentIndex(), 1);
    EXPECT_EQ(doc->m_curCategory, 1);
    EXPECT_EQ(form->Tabs()->tabText(1), "歌曲列表3");
    EXPECT_EQ(rowTexts(), (std::vector<std::string>{"x"}));
    form->Tabs()->setCurrentIndex(0);
    EXPECT_EQ(rowTexts().size(), 5U);

    form->OnCommand(kCmdDeleteCategory);
    form->OnCommand(kCmdDeleteCategory);  // the only one left stays
    EXPECT_EQ(form->Tabs()->count(), 1);
    EXPECT_EQ(rowTexts(), (std::vector<std::string>{"x"}));
}

// A crash right after a deletion (nothing saved at exit) still shows every list under its
// own name.
TEST_F(LeftFormTest, ADeletionStoresTheNamesWithTheRenumberedFiles) {
    form->Tabs()->BeginRename();
    form->Tabs()->Editor()->setText("老歌");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(form->Tabs()->Editor(), &enter);
    form->Tabs()->setCurrentIndex(1);
    form->OnCommand(kCmdDeleteCategory);
    form.reset();  // no OnCloseDocument: as after a crash
    start();
    ASSERT_EQ(form->Tabs()->count(), 2);
    EXPECT_EQ(form->Tabs()->tabText(0), "老歌");
    EXPECT_EQ(form->Tabs()->tabText(1), "歌曲列表3");
    form->Tabs()->setCurrentIndex(1);
    EXPECT_EQ(rowTexts(), (std::vector<std::string>{"x"}));
    EXPECT_EQ(theSettings.ReadString("Tab", "Cat2", "gone"), "gone");
}

TEST_F(LeftFormTest, AListThatCannotBeSavedIsReported) {
    QSignalSpy failures(&form->SongLists(), &SongListDocument::saveFailed);
    // A folder where category 0's playlist should be written.
    std::filesystem::remove(categoryFile(0));
    std::filesystem::create_directories(categoryFile(0) + "/blocked");
    form->Tabs()->setCurrentIndex(1);
    ASSERT_EQ(failures.count(), 1);
    EXPECT_EQ(failures[0][0].toString().toStdString(), categoryFile(0));
    EXPECT_NE(form->findChild<QMessageBox*>(), nullptr) << "the user is told";
}

TEST_F(LeftFormTest, AnExportedPlaylistGetsItsSuffix) {
    ModalAnswers::chooseFile(QString::fromStdString(folder.file("导出")));
    form->OnCommand(kCmdSaveM3u);
    EXPECT_EQ(namesOf(LoadM3u(folder.file("导出.m3u"))).size(), 5U);
}

TEST_F(LeftFormTest, NewAndRenamedCategoriesComeBackAtTheNextStart) {
    form->OnCommand(kCmdNewCategory);
    EXPECT_EQ(form->Tabs()->count(), 4);
    EXPECT_EQ(form->Tabs()->tabText(3), "歌曲列表4");
    EXPECT_EQ(form->Tabs()->currentIndex(), 0);

    form->Tabs()->BeginRename();
    QLineEdit* editor = form->Tabs()->Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->maxLength(), 30);
    editor->setText("经典老歌");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    EXPECT_EQ(form->Tabs()->tabText(0), "经典老歌");

    form->Tabs()->BeginRename();
    form->Tabs()->Editor()->setText("作废");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form->Tabs()->Editor(), &escape);
    EXPECT_EQ(form->Tabs()->tabText(0), "经典老歌");

    list()->topLevelItem(0)->setText(0, "存盘");
    form->OnCloseDocument();
    start();
    EXPECT_EQ(form->Tabs()->count(), 4);
    EXPECT_EQ(form->Tabs()->tabText(0), "经典老歌");
    EXPECT_EQ(rowTexts()[0], "存盘");
}

TEST_F(LeftFormTest, LetterKeysJumpByPinyinInitialAndWrapRound) {
    const std::string playlist = folder.file("singers.m3u");
    SaveM3u(playlist,
            songsNamed({"周杰伦 - 晴天", "Beyond - 海阔天空", "张学友 - 吻别", "王菲 - 红豆"}));
    form->SongLists().OpenM3u(playlist);
    const auto press = [&](Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(list(), &event);
        return list()->SelectedRows();
    };
    EXPECT_EQ(press(Qt::Key_Z), std::vector<int>{0});
    EXPECT_EQ(press(Qt::Key_Z), std::vector<int>{2});
    EXPECT_EQ(press(Qt::Key_Z), std::vector<int>{0});
    EXPECT_EQ(press(Qt::Key_W), std::vector<int>{3});
    EXPECT_EQ(press(Qt::Key_B), std::vector<int>{1});
    EXPECT_TRUE(press(Qt::Key_Q).empty());
}

TEST_F(LeftFormTest, ListColoursAreStoredAndApplied) {
    form->ApplyColor(CLeftForm::BackRole, 0x102030);
    form->ApplyColor(CLeftForm::TextRole, 0x0000FF);
    EXPECT_EQ(readSetting(ConfigKey::MusicListBkColor), 0x102030);
    EXPECT_EQ(readSetting(ConfigKey::MusicListTeColor), 255);
    EXPECT_EQ(list()->palette().color(QPalette::Base), QColor(0x30, 0x20, 0x10));
    EXPECT_EQ(list()->palette().color(QPalette::Text), QColor(255, 0, 0));
}

}  // namespace
