#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <functional>

#include "library/Mp3Info.h"
#include "lyrics/ui/LyricCommands.h"
#include "lyrics/ui/LyricJukeboxDlg.h"
#include "lyrics/ui/LyricSearchDlg.h"
#include "playback/MelodeckDoc.h"
#include "shell/TextCodec.h"
#include "tests/media/MediaFixtures.h"
#include "tests/playback/FakeMedia.h"
#include "tests/views/GuiTestSupport.h"
#include "tests/views/ProgramFolderFixture.h"

namespace fs = std::filesystem;

namespace {

template <typename T>
T* child(QWidget& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// Acts once on the next modal dialog when it shows (its exec() blocks the test meanwhile).
class WhenModalShows {
public:
    explicit WhenModalShows(std::function<void(QDialog&)> act) : m_act(std::move(act)) {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                m_poll.stop();
                m_act(*dialog);
            }
        });
        m_poll.start(20);
    }

private:
    std::function<void(QDialog&)> m_act;
    QTimer m_poll;
};

// Types `path` into a file chooser and accepts it (a typed path does not wait for the chooser's
// folder listing).
void typeAndAccept(QDialog& chooser, const std::string& path) {
    auto* name = chooser.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (name == nullptr) {
        ADD_FAILURE() << "no file name field";
        chooser.reject();
        return;
    }
    name->setText(QString::fromStdString(path));
    chooser.accept();
}

QStringList comboTexts(const QComboBox& box) {
    QStringList texts;
    for (int i = 0; i < box.count(); ++i) {
        texts << box.itemText(i);
    }
    return texts;
}

class LyricDialogs : public ProgramFolderFixture {
protected:
    std::string library(const std::string& relative) const {
        return folder.file("MyLyrics/" + relative);
    }
    static std::string write(const std::string& path, const std::string& bytes) {
        fs::create_directories(fs::path(path).parent_path());
        writeBytes(path, bytes);
        return path;
    }
    // A real MP3 without a tag, `seconds` long.
    std::string song(const std::string& name, double seconds = 1) const {
        const std::string path = folder.file("songs/" + name);
        fs::create_directories(fs::path(path).parent_path());
        makeToneMp3(path, seconds);
        return path;
    }

    // The rows the list shows after a click on the start button, once the search ended.
    static QStringList search(QWidget& dialog, const QString& keyword) {
        auto* edit = child<QLineEdit>(dialog, "keywordEdit");
        // Typed text: QTest types only ASCII keys.
        edit->setText(keyword);
        auto* start = child<QPushButton>(dialog, "startButton");
        QTest::mouseClick(start, Qt::LeftButton);
        EXPECT_TRUE(processEventsUntil([start] { return start->isEnabled(); }));
        QStringList rows;
        auto* list = child<QTreeWidget>(dialog, "resultList");
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            rows << item->text(0) + "|" + item->text(1) + "|" + item->text(2);
        }
        return rows;
    }

    static void clickRow(QWidget& dialog, int row) {
        auto* list = child<QTreeWidget>(dialog, "resultList");
        const QRect rect = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    static QString row(const std::string& singer, const std::string& title,
                       const std::string& path) {
        return QString::fromStdString(singer + "|" + title + "|" + path);
    }

    // A document whose current song is `path` named `name`.
    void setCurrentSong(const std::string& path, const std::string& name) {
        doc.m_songs.push_back({path, name, "00:10", 10});
        doc.m_curSong = 0;
    }

    FakePlayer player;
    FakeCapture recorder;
    FakeCapture monitor;
    FakeSongList songList;
    FakeLyrics lyrics;
    int lyricOffset = 0;
    CMelodeckDoc doc{MediaObjects{&player, &recorder, &monitor, &lyricOffset}};
};

TEST_F(LyricDialogs, SearchListsTaggedLowerCaseLrcFilesWhoseNamesHoldTheKeywordExactly) {
    const std::string exact =
        write(library("张学友/张学友 - 吻别.lrc"), "[ar:张学友]\n[ti:吻别]\n[00:01.00]x");
    write(library("张学友/张学友 - 吻别 upper.LRC"), "[ar:张学友][ti:吻别 upper]");
    write(library("张学友/张学友 - 吻别 late.lrc"), std::string(101, ' ') + "[ar:张学友][ti:late]");
    const std::string dotted =
        write(library("S.H.E/张学友 - 吻别 (S.H.E).lrc"), "[ar:S.H.E][ti:吻别]");
    CLyricSearchDlg dialog("张学友 - 吻别", "/songs/kiss.mp3");
    dialog.show();

    EXPECT_EQ(dialog.windowTitle(), "搜索歌词");
    EXPECT_EQ(child<QLineEdit>(dialog, "keywordEdit")->text(), "张学友 - 吻别");
    EXPECT_EQ(child<QLineEdit>(dialog, "songPathEdit")->text(), "/songs/kiss.mp3");
    EXPECT_TRUE(child<QLineEdit>(dialog, "songPathEdit")->isReadOnly());
    EXPECT_FALSE(child<QCheckBox>(dialog, "customFolderCheck")->isChecked());
    auto* list = child<QTreeWidget>(dialog, "resultList");
    EXPECT_EQ(list->headerItem()->text(0), "歌手名");
    EXPECT_EQ(list->headerItem()->text(1), "歌曲名");
    EXPECT_EQ(list->headerItem()->text(2), "路径");
    EXPECT_EQ(list->columnWidth(0), 100);
    EXPECT_EQ(list->columnWidth(1), 100);
    EXPECT_EQ(list->columnWidth(2), 150);

    // The preset keyword finds the library file named like the song.
    EXPECT_EQ(search(dialog, "张学友 - 吻别"),
              (QStringList{row("S.H.E", "吻别", dotted), row("张学友", "吻别", exact)}));
    EXPECT_EQ(search(dialog, "S.H.E"), QStringList{row("S.H.E", "吻别", dotted)});
    EXPECT_TRUE(search(dialog, "s.h.e").isEmpty());
    // An empty keyword starts nothing and leaves the rows.
    child<QLineEdit>(dialog, "keywordEdit")->clear();
    QTest::mouseClick(child<QPushButton>(dialog, "startButton"), Qt::LeftButton);
    EXPECT_FALSE(dialog.IsSearching());
}

TEST_F(LyricDialogs, TheCustomFolderIsChosenOnceAndSearchedWhenTicked) {
    TempDir own;
    const std::string mine = write(own.file("deep/Hit.lrc"), "[ar:Me][ti:Hit]");
    write(library("Me/Hit.lrc"), "[ar:Me][ti:Hit]");
    CLyricSearchDlg dialog("Hit", {});
    dialog.show();
    auto* box = child<QCheckBox>(dialog, "customFolderCheck");

    // Cancelling the chooser clears the box and writes nothing.
    const WhenModalShows cancelChooser([](QDialog& chooser) { chooser.reject(); });
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(readSetting(ConfigKey::LyricsCustomPath), "");
    EXPECT_EQ(search(dialog, "Hit").size(), 1);

    const WhenModalShows pickFolder([&](QDialog& chooser) {
        EXPECT_EQ(chooser.objectName(), "customFolderChooser");
        typeAndAccept(chooser, fs::path(own.path()).parent_path().string());
    });
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(readSetting(ConfigKey::LyricsCustomPath), own.path());
    EXPECT_EQ(search(dialog, "Hit"),
              (QStringList{row("Me", "Hit", library("Me/Hit.lrc")), row("Me", "Hit", mine)}));

    // Once set, the box only switches the folder on and off.
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_EQ(search(dialog, "Hit").size(), 1);
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(search(dialog, "Hit").size(), 2);
}

TEST_F(LyricDialogs, ClosingDuringASearchEndsItAndNoRowArrivesLater) {
    for (int singer = 0; singer < 20; ++singer) {
        for (int title = 0; title < 50; ++title) {
            write(library("s" + std::to_string(singer) + "/Song " + std::to_string(title) + ".lrc"),
                  "[ar:S][ti:T]");
        }
    }
    auto dialog = std::make_unique<CLyricSearchDlg>("Song", std::string());
    dialog->show();
    auto* start = child<QPushButton>(*dialog, "startButton");
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_FALSE(start->isEnabled());
    // A second start while the search runs is refused.
    QTest::mouseClick(start, Qt::LeftButton);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(dialog->IsSearching());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    auto* list = child<QTreeWidget>(*dialog, "resultList");
    QCoreApplication::processEvents();
    const int shown = list->topLevelItemCount();
    QTest::qWait(100);
    EXPECT_EQ(list->topLevelItemCount(), shown);
    EXPECT_LT(shown, 1000);

    // Nor does the dialog go before a running worker.
    QTest::mouseClick(start, Qt::LeftButton);
    dialog.reset();
    QCoreApplication::processEvents();
}

TEST_F(LyricDialogs, ChoosingARowCopiesTagsAndReplaysTheCurrentSong) {
    TempDir own;
    writeSetting(ConfigKey::LyricsCustomPath, own.path());
    const std::string found = write(own.file("吻别 new.lrc"), "[ar:张学友][ti:吻别]\n[00:01]new");
    const std::string kept = write(library("张学友/吻别.lrc"), "[ar:张学友][ti:吻别]\n[00:01]old");
    const std::string other = write(own.file("Hit.lrc"), "[ar:Me][ti:Hit]");
    const std::string path = song("kiss.mp3");
    const auto untagged = fs::file_size(path);
    setCurrentSong(path, "吻别");
    doc.AttachViews(&songList, &lyrics);
    QSignalSpy renamed(&doc, &CMelodeckDoc::songRenamed);

    const WhenModalShows chooseFound([&](QDialog& dialog) {
        EXPECT_EQ(search(dialog, "吻别 new"), QStringList{row("张学友", "吻别", found)});
        // Choose without a selected row does nothing.
        QTest::mouseClick(child<QPushButton>(dialog, "chooseButton"), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        clickRow(dialog, 0);
        QTest::mouseClick(child<QPushButton>(dialog, "chooseButton"), Qt::LeftButton);
    });
    LyricCommands::Search(doc, nullptr);

    // The library file that was there stays; the song is tagged and plays with the found file.
    EXPECT_EQ(readBytes(kept), "[ar:张学友][ti:吻别]\n[00:01]old");
    EXPECT_TRUE(fs::exists(found));
    const Mp3Info tag(path);
    EXPECT_EQ(TextCodec::decodeStoredText(tag.Title()), "吻别");
    EXPECT_EQ(TextCodec::decodeStoredText(tag.Artist()), "张学友");
    EXPECT_EQ(tag.Genre(), 255);
    EXPECT_EQ(fs::file_size(path), untagged + 128);
    EXPECT_EQ(player.opened, path);
    EXPECT_EQ(player.state, FakePlayer::State::Running);
    EXPECT_EQ(lyrics.loads, std::vector<std::string>{found});
    EXPECT_EQ(doc.m_songs[0].DisplayName, "张学友 - 吻别");
    EXPECT_EQ(doc.m_playingName, "张学友 - 吻别");
    EXPECT_EQ(renamed.count(), 1);

    // A lyric missing from the library is copied in, under a new singer folder; a double click
    // chooses too, and the tag is replaced, not added.
    const WhenModalShows doubleClickHit([&](QDialog& dialog) {
        EXPECT_EQ(child<QLineEdit>(dialog, "keywordEdit")->text(), "张学友 - 吻别");
        search(dialog, "Hit");
        auto* list = child<QTreeWidget>(dialog, "resultList");
        // A double click's first press is a click.
        clickRow(dialog, 0);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                           list->visualItemRect(list->topLevelItem(0)).center());
    });
    LyricCommands::Search(doc, nullptr);
    EXPECT_EQ(readBytes(library("Me/Hit.lrc")), "[ar:Me][ti:Hit]");
    EXPECT_EQ(TextCodec::decodeStoredText(Mp3Info(path).Title()), "Hit");
    EXPECT_EQ(fs::file_size(path), untagged + 128);
    EXPECT_EQ(lyrics.loads.back(), other);
    EXPECT_EQ(doc.m_playingName, "Me - Hit");
}

TEST_F(LyricDialogs, ClosingTheSearchGivesNoResultAndAnEmptySongPathWritesNothing) {
    write(library("Me/Hit.lrc"), "[ar:Me][ti:Hit]");
    doc.AttachViews(&songList, &lyrics);
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        const WhenModalShows closeSearch([key](QDialog& dialog) {
            search(dialog, "Hit");
            clickRow(dialog, 0);
            QTest::keyClick(child<QLineEdit>(dialog, "keywordEdit"), key);
        });
        LyricCommands::Search(doc, nullptr);
        EXPECT_TRUE(player.attempts.empty()) << key;
    }

    // No current song: the lyric is taken, nothing is tagged, created or played.
    const WhenModalShows chooseWithoutSong([](QDialog& dialog) {
        EXPECT_EQ(child<QLineEdit>(dialog, "songPathEdit")->text(), "");
        search(dialog, "Hit");
        clickRow(dialog, 0);
        QTest::mouseClick(child<QPushButton>(dialog, "chooseButton"), Qt::LeftButton);
    });
    LyricCommands::Search(doc, nullptr);
    EXPECT_TRUE(player.attempts.empty());
    EXPECT_TRUE(lyrics.loads.empty());
    EXPECT_FALSE(fs::exists(folder.file("songs")));
}

TEST_F(LyricDialogs, TheJukeboxListsSingersAndTitlesInTheLocalesOrder) {
    // Chinese names go by their pinyin in a Chinese locale, letters regardless of case.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    for (const char* singer : {"周杰伦", "beta", "阿杜", "Alpha", "charlie", "Bravo", "S.H.E"}) {
        fs::create_directories(library(singer));
    }
    for (const char* file :
         {"zoo.lrc", "Song 10.lrc", "Apple.lrc", "Song 2.lrc", "Upper.LRC", "notes.txt"}) {
        write(library(std::string("S.H.E/") + file), "[ar:S.H.E]");
    }
    fs::create_directories(library("S.H.E/folder.lrc"));
    write(library("loose.lrc"), "");
    CLyricJukeboxDlg dialog({});
    dialog.show();

    EXPECT_EQ(dialog.windowTitle(), "点唱机");
    auto* singers = child<QComboBox>(dialog, "singerCombo");
    auto* titles = child<QComboBox>(dialog, "titleCombo");
    EXPECT_EQ(comboTexts(*singers),
              (QStringList{"阿杜", "周杰伦", "Alpha", "beta", "Bravo", "charlie", "S.H.E"}));
    EXPECT_EQ(singers->currentIndex(), -1);
    EXPECT_FALSE(titles->isEnabled());
    singers->setCurrentIndex(6);
    EXPECT_TRUE(titles->isEnabled());
    EXPECT_EQ(comboTexts(*titles), (QStringList{"Apple", "Song 2", "Song 10", "zoo"}));
    singers->setCurrentIndex(0);
    EXPECT_EQ(titles->count(), 0);
    QLocale::setDefault(before);
}

TEST_F(LyricDialogs, JukeboxOkWaitsForSingerTitleAndSongThenHandsOutThePaths) {
    write(library("S.H.E/Super Star.lrc"), "[ar:S.H.E][ti:Super Star]");
    const std::string path = song("star.mp3");
    CLyricJukeboxDlg dialog({});
    dialog.show();
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    auto* ok = child<QPushButton>(dialog, "okButton");

    QTest::mouseClick(ok, Qt::LeftButton);
    child<QComboBox>(dialog, "singerCombo")->setCurrentIndex(0);
    QTest::mouseClick(ok, Qt::LeftButton);
    child<QComboBox>(dialog, "titleCombo")->setCurrentIndex(0);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_TRUE(dialog.isVisible());

    const WhenModalShows pickSong([&](QDialog& chooser) {
        EXPECT_EQ(chooser.objectName(), "songChooser");
        EXPECT_EQ(dynamic_cast<QFileDialog&>(chooser).nameFilters(),
                  QStringList{"MP3音乐文件(*.mp3)"});
        typeAndAccept(chooser, path);
    });
    QTest::mouseClick(child<QPushButton>(dialog, "choosePathButton"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(dialog, "songPathEdit")->text(), QString::fromStdString(path));
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_EQ(accepted.count(), 1);
    EXPECT_EQ(dialog.Result().names, (SingerTitle{"S.H.E", "Super Star"}));
    EXPECT_EQ(dialog.Result().lyricPath, library("S.H.E/Super Star.lrc"));
    EXPECT_EQ(dialog.Result().songPath, path);
}

TEST_F(LyricDialogs, ManualMatchPlaysTheCurrentSongWithThePickedLyricAndKeepsItsName) {
    const std::string lyric = write(library("S.H.E/Super Star.lrc"), "[ar:S.H.E][ti:Super Star]");
    const std::string path = song("track01.mp3", 3);
    setCurrentSong(path, "track01");
    doc.AttachViews(&songList, &lyrics);

    // Cancel plays nothing.
    const WhenModalShows cancelMatch([](QDialog& dialog) {
        QTest::mouseClick(child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
    });
    LyricCommands::Jukebox(doc, nullptr, true);
    EXPECT_TRUE(player.attempts.empty());

    const WhenModalShows pickLyric([&](QDialog& dialog) {
        EXPECT_EQ(child<QLineEdit>(dialog, "songPathEdit")->text(), QString::fromStdString(path));
        child<QComboBox>(dialog, "singerCombo")->setCurrentIndex(0);
        child<QComboBox>(dialog, "titleCombo")->setCurrentIndex(0);
        QTest::mouseClick(child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    });
    LyricCommands::Jukebox(doc, nullptr, true);
    EXPECT_EQ(player.opened, path);
    EXPECT_EQ(player.state, FakePlayer::State::Running);
    EXPECT_EQ(lyrics.loads, std::vector<std::string>{lyric});
    EXPECT_EQ(doc.m_playingName, "S.H.E - Super Star");
    EXPECT_EQ(doc.m_playingDuration, "00:03");
    EXPECT_EQ(doc.m_songs[0].DisplayName, "track01");

    // The jukebox starts without a song.
    const WhenModalShows closeJukebox([](QDialog& dialog) {
        EXPECT_EQ(child<QLineEdit>(dialog, "songPathEdit")->text(), "");
        dialog.reject();
    });
    LyricCommands::Jukebox(doc, nullptr, false);
}

}  // namespace
