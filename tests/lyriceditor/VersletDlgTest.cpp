#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

#include <memory>

#include "library/Id3v1Tag.h"
#include "lyriceditor/ui/TapPane.h"
#include "lyriceditor/ui/VersletDlg.h"
#include "lyrics/LrcLyric.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TestSupport.h"
#include "tests/views/GuiTestSupport.h"

namespace {

const QString kSameTime = QStringLiteral("同一时间只能添加一句歌词!");
const QString kIncomplete = QStringLiteral("请填写完整的歌词信息!");

// The times a row's tag text stands for, in ms, as the player's reader takes them.
std::vector<int> tagStarts(const std::string& tags) {
    LrcLyric lyric;
    lyric.Parse(tags + "x");
    std::vector<int> starts;
    for (const LyricLine& line : lyric.Lines()) {
        starts.push_back(line.Start);
    }
    return starts;
}

class VersletDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        VersletFileChoosers choosers{
            [this](QWidget*) {
                ++songChoices;
                return songToChoose;
            },
            [this](QWidget*) {
                ++saveChoices;
                return lyricToSave;
            },
        };
        dlg = std::make_unique<CVersletDlg>(std::move(choosers));
        dlg->show();
    }

    // A song whose ID3v1 tag names its artist and title.
    QString taggedSong(double seconds) {
        const std::string path = dir.file("song.mp3");
        makeToneMp3(path, seconds);
        Id3v1Tag tag;
        tag.title = "月亮代表我的心";
        tag.artist = "歌手";
        writeBytes(path, readBytes(path) + tag.toBlock());
        return QString::fromStdString(path);
    }

    template <typename T>
    T* child(const char* name) {
        auto* widget = dlg->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    QString label(const char* name) { return child<QLabel>(name)->text(); }
    QString field(const char* name) { return child<QLineEdit>(name)->text(); }

    // Types the words and presses Enter, which adds the line.
    void addLine(const QString& words) {
        auto* edit = child<QLineEdit>("wordsEdit");
        edit->setFocus();
        edit->insert(words);  // QTest types ASCII only
        QTest::keyClick(edit, Qt::Key_Return);
    }

    std::vector<std::pair<QString, QString>> rows() {
        std::vector<std::pair<QString, QString>> result;
        auto* list = child<QTreeWidget>("lyricList");
        result.reserve(static_cast<size_t>(list->topLevelItemCount()));
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            result.emplace_back(list->topLevelItem(i)->text(0), list->topLevelItem(i)->text(1));
        }
        return result;
    }

    // The open message box's text, closing the box; empty when none is open.
    QString takeMessage() {
        QString message;
        for (auto* box : dlg->findChildren<QMessageBox*>()) {
            if (box->isVisible()) {
                message = box->text();
                box->close();
            }
        }
        QCoreApplication::processEvents();
        return message;
    }

    // Lets the song play until its position passed `ms`.
    void playUntil(int64_t ms) {
        ASSERT_TRUE(pumpUntil([&] { return dlg->Player().GetPositionMs() >= ms; }, 10000));
    }

    // Pastes `lyric` into the tap page of the mode radio `mode` and plays a song.
    QPlainTextEdit* startTapping(const char* mode, const QString& lyric) {
        dlg->ChooseSong(taggedSong(3));
        QTest::mouseClick(child<QRadioButton>(mode), Qt::LeftButton);
        auto* text = child<QPlainTextEdit>("tapTextEdit");
        EXPECT_TRUE(text->isVisible());
        text->setFocus();
        text->insertPlainText(lyric);
        click("playButton");
        EXPECT_EQ(dlg->focusWidget(), text);
        EXPECT_TRUE(text->isReadOnly());
        return text;
    }

    // Presses `key` in the tap text once the song passed `ms`; the range of positions the
    // press could have stamped, cut to hundredths as the file holds them.
    std::pair<int, int> pressAt(int64_t ms, Qt::Key key = Qt::Key_Space) {
        playUntil(ms);
        const auto before = static_cast<int>(dlg->Player().GetPositionMs());
        QTest::keyClick(child<QPlainTextEdit>("tapTextEdit"), key);
        const auto after = static_cast<int>(dlg->Player().GetPositionMs());
        return {before / 10 * 10, after};
    }

    // Saves into `name` and reads the file back in the player's model.
    LrcLyric saveAndLoad(const char* name) {
        lyricToSave = QString::fromStdString(dir.file(name));
        click("saveButton");
        EXPECT_TRUE(takeMessage().isEmpty());
        LrcLyric lyric;
        EXPECT_TRUE(lyric.Load(lyricToSave.toStdString()));
        return lyric;
    }

    TempDir dir;
    QString songToChoose;
    QString lyricToSave;
    int songChoices = 0;
    int saveChoices = 0;
    std::unique_ptr<CVersletDlg> dlg;
};

TEST_F(VersletDlgTest, LinesAddedWhileASongPlaysSaveAsALyricThePlayerReadsInTime) {
    songToChoose = taggedSong(8);
    click("chooseButton");
    EXPECT_EQ(songChoices, 1);
    EXPECT_EQ(field("songPathEdit"), songToChoose);
    EXPECT_EQ(field("artistEdit"), QStringLiteral("歌手"));
    EXPECT_EQ(field("titleEdit"), QStringLiteral("月亮代表我的心"));
    EXPECT_EQ(field("makerEdit"), QStringLiteral("Vocalia"));
    EXPECT_EQ(label("positionLabel"), QStringLiteral("这里显示的是播放时间"));

    click("playButton");
    playUntil(600);
    // The position field follows the song as a time tag.
    const QRegularExpression tagPattern(QStringLiteral("^\\[\\d\\d:\\d\\d\\.\\d\\d\\]$"));
    ASSERT_TRUE(processEventsUntil([&] { return label("positionLabel") != "[00:00.00]"; }));
    EXPECT_TRUE(tagPattern.match(label("positionLabel")).hasMatch())
        << label("positionLabel").toStdString();

    click("pauseButton");
    EXPECT_EQ(child<QPushButton>("pauseButton")->text(), QStringLiteral("继续"));
    addLine(QStringLiteral("月亮代表我的心"));
    // The next line will start where the song stood at this add.
    const int first = tagStarts(dlg->Draft().PendingTag()).at(0);
    EXPECT_NEAR(first, dlg->Player().GetPositionMs(), 60);
    EXPECT_TRUE(field("wordsEdit").isEmpty());

    click("pauseButton");
    EXPECT_EQ(child<QPushButton>("pauseButton")->text(), QStringLiteral("暂停"));
    playUntil(first + 700);
    click("pauseButton");
    addLine(QStringLiteral("你问我爱你有多深"));
    const int second = tagStarts(dlg->Draft().PendingTag()).at(0);
    EXPECT_NEAR(second, dlg->Player().GetPositionMs(), 60);
    EXPECT_GE(second, first + 700);
    // The same words again, without playing: they gather on their first row.
    addLine(QStringLiteral("月亮代表我的心"));
    EXPECT_TRUE(takeMessage().isEmpty());
    // A further line at the same moment is refused and changes nothing.
    addLine(QStringLiteral("我爱你有几分"));
    EXPECT_EQ(takeMessage(), kSameTime);
    EXPECT_EQ(field("wordsEdit"), QStringLiteral("我爱你有几分"));

    const auto shown = rows();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].first, QStringLiteral("月亮代表我的心"));
    EXPECT_EQ(tagStarts(shown[0].second.toStdString()), (std::vector<int>{0, second}));
    EXPECT_EQ(tagStarts(shown[1].second.toStdString()), std::vector<int>{first});

    lyricToSave = QString::fromStdString(dir.file("月亮.lrc"));
    click("saveButton");
    EXPECT_TRUE(takeMessage().isEmpty());
    EXPECT_EQ(label("positionLabel"), QStringLiteral("歌词已保存"));
    LrcLyric lyric;
    ASSERT_TRUE(lyric.Load(lyricToSave.toStdString()));
    ASSERT_EQ(lyric.Lines().size(), 3u);
    EXPECT_EQ(lyric.Lines()[0].Start, 0);
    EXPECT_EQ(lyric.Lines()[0].Text, "月亮代表我的心\n");
    EXPECT_EQ(lyric.Lines()[1].Start, first);
    EXPECT_EQ(lyric.Lines()[1].Text, "你问我爱你有多深\n");
    EXPECT_EQ(lyric.Lines()[2].Start, second);
    EXPECT_EQ(lyric.Lines()[2].Text, "月亮代表我的心\n");
    EXPECT_EQ(ReadTagHead(lyricToSave.toStdString()), (SingerTitle{"歌手", "月亮代表我的心"}));

    click("stopButton");
    EXPECT_EQ(dlg->Player().State(), GraphState::Stopped);
}

TEST_F(VersletDlgTest, TheCommandLineSongIsChosenWithoutAskingAndPlaysFromTheTimer) {
    dlg->ChooseSong(taggedSong(3));
    EXPECT_EQ(songChoices, 0);
    EXPECT_EQ(field("titleEdit"), QStringLiteral("月亮代表我的心"));
    click("playButton");
    playUntil(300);
    ASSERT_TRUE(processEventsUntil([&] { return label("positionLabel").startsWith("[00:00."); }));
    click("stopButton");
    const QString stoppedAt = label("positionLabel");
    pumpUntil([] { return false; }, 100);
    EXPECT_EQ(label("positionLabel"), stoppedAt);
    EXPECT_EQ(child<QPushButton>("pauseButton")->text(), QStringLiteral("暂停"));
}

TEST_F(VersletDlgTest, ASongThatCannotBePlayedSaysSoInThePositionField) {
    click("playButton");  // nothing chosen yet
    EXPECT_EQ(label("positionLabel"), QStringLiteral("无法播放这首歌曲"));
    writeBytes(dir.file("broken.mp3"), "not a song");
    dlg->ChooseSong(QString::fromStdString(dir.file("broken.mp3")));
    EXPECT_TRUE(field("artistEdit").isEmpty());
    click("playButton");
    EXPECT_EQ(label("positionLabel"), QStringLiteral("无法播放这首歌曲"));
    EXPECT_TRUE(takeMessage().isEmpty());
}

TEST_F(VersletDlgTest, SaveNeedsAllThreeFieldsAndAnEmptyListWritesOnlyTheHeader) {
    lyricToSave = QString::fromStdString(dir.file("empty.lrc"));
    click("saveButton");
    EXPECT_EQ(takeMessage(), kIncomplete);
    EXPECT_EQ(saveChoices, 0);

    child<QLineEdit>("artistEdit")->insert(QStringLiteral("歌手"));
    child<QLineEdit>("titleEdit")->insert(QStringLiteral("歌名"));
    click("saveButton");
    EXPECT_EQ(takeMessage(), kIncomplete);
    QTest::keyClicks(child<QLineEdit>("makerEdit"), "me");
    QTest::keyClick(child<QLineEdit>("makerEdit"), Qt::Key_Return);
    EXPECT_TRUE(rows().empty());
    click("saveButton");
    EXPECT_EQ(saveChoices, 1);
    EXPECT_TRUE(takeMessage().isEmpty());
    EXPECT_EQ(readBytes(lyricToSave.toStdString()), "[ti:歌名]\r\n[ar:歌手]\r\n[by:me]\r\n");

    // Cancelling the file chooser writes nothing.
    lyricToSave.clear();
    click("saveButton");
    EXPECT_EQ(saveChoices, 2);
    EXPECT_TRUE(takeMessage().isEmpty());
}

TEST_F(VersletDlgTest, AFailedSaveKeepsTheOldFileAndShowsWhy) {
    dlg->ChooseSong(taggedSong(1));
    addLine(QStringLiteral("新的一句"));
    // A name so long that no temporary file fits beside it: the write fails even for root.
    const std::string path = dir.file(std::string(250, 'n') + ".lrc");
    writeBytes(path, "[ti:old]\r\n[00:01.00]old\r\n");
    lyricToSave = QString::fromStdString(path);
    click("saveButton");
    EXPECT_TRUE(takeMessage().startsWith(QStringLiteral("保存歌词失败")));
    EXPECT_EQ(readBytes(path), "[ti:old]\r\n[00:01.00]old\r\n");
    EXPECT_TRUE(dlg->Draft().Modified());
    if (geteuid() == 0) {
        return;  // root writes into read-only folders
    }
    const std::string folder = dir.file("locked/");
    ::mkdir(folder.c_str(), 0755);
    writeBytes(folder + "a.lrc", "[ti:old]\r\n");
    ::chmod(folder.c_str(), 0555);
    lyricToSave = QString::fromStdString(folder + "a.lrc");
    click("saveButton");
    ::chmod(folder.c_str(), 0755);
    EXPECT_TRUE(takeMessage().startsWith(QStringLiteral("保存歌词失败")));
    EXPECT_EQ(readBytes(folder + "a.lrc"), "[ti:old]\r\n");
}

TEST_F(VersletDlgTest, RenamingInPlaceChangesTheWordsUnlessTheEditIsEmpty) {
    addLine(QStringLiteral("错字"));
    auto* list = child<QTreeWidget>("lyricList");
    const auto rename = [&](const QString& words) {
        const QRect cell = list->visualItemRect(list->topLevelItem(0));
        // A double click as the desktop delivers it: a click, then the double-click event.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QLineEdit* editor = nullptr;
        ASSERT_TRUE(processEventsUntil([&] {
            editor = list->viewport()->findChild<QLineEdit*>();
            return editor != nullptr && editor->isVisible();
        }));
        editor->selectAll();
        if (words.isEmpty()) {
            QTest::keyClick(editor, Qt::Key_Delete);
        } else {
            editor->insert(words);
        }
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    };
    rename(QStringLiteral("正字"));
    EXPECT_EQ(rows().at(0).first, QStringLiteral("正字"));
    EXPECT_EQ(dlg->Draft().Rows().at(0).words, "正字");
    rename({});
    EXPECT_EQ(rows().at(0).first, QStringLiteral("正字"));
    EXPECT_EQ(rows().at(0).second, QStringLiteral("[00:00.00]"));
}

TEST_F(VersletDlgTest, ClosingWithUnsavedLinesAsksFirst) {
    addLine(QStringLiteral("一句"));
    dlg->close();
    EXPECT_TRUE(dlg->isVisible());
    auto* box = dlg->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    EXPECT_TRUE(dlg->isVisible());

    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_TRUE(dlg->isVisible());
    box = dlg->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(VersletDlgTest, SavedLinesCloseWithoutAskingAndTheAboutBoxNamesTheVersion) {
    click("aboutButton");
    auto* about = dlg->findChild<QDialog*>(QStringLiteral("aboutDialog"));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("关于 Verslet"));
    EXPECT_NE(about->findChild<QLabel*>(), nullptr);
    EXPECT_EQ(about->findChild<QLabel*>()->text(), QStringLiteral("Verslet V1.0"));
    about->accept();

    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Vocalia - Verslet  为自己喜爱的歌制作LRC歌词"));
    dlg->ChooseSong(taggedSong(1));
    addLine(QStringLiteral("一句"));
    lyricToSave = QString::fromStdString(dir.file("a.lrc"));
    click("saveButton");
    dlg->close();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(takeMessage(), QString());
}

bool within(int ms, std::pair<int, int> range) {
    return ms >= range.first && ms <= range.second;
}

TEST_F(VersletDlgTest, LineTapsStampEachLineAndStepBackAndReplayWorkAsTheHintSays) {
    auto* text = startTapping("lineTapRadio", QStringLiteral("第一句\n\n  Second line \n第三句\n"));
    const auto first = pressAt(300);
    // The text is shown as it is tapped: trimmed lines, blank lines gone, nothing typed.
    EXPECT_EQ(text->toPlainText(), QStringLiteral("第一句\nSecond line\n第三句"));
    EXPECT_FALSE(child<QRadioButton>("typeModeRadio")->isEnabled());
    pressAt(900);
    ASSERT_EQ(dlg->findChild<TapPane*>()->Draft().Stamps(), 2u);

    // Backspace takes the second line back and starts the song a little before it.
    QTest::keyClick(text, Qt::Key_Backspace);
    EXPECT_EQ(dlg->findChild<TapPane*>()->Draft().Stamps(), 1u);
    ASSERT_TRUE(pumpUntil([&] { return dlg->Player().GetPositionMs() < 800; }, 3000));
    const auto second = pressAt(1200);
    const auto third = pressAt(1800);
    // Left goes back five seconds and changes no stamp; taps before the last one are refused.
    QTest::keyClick(text, Qt::Key_Left);
    ASSERT_TRUE(pumpUntil([&] { return dlg->Player().GetPositionMs() < 1000; }, 3000));
    QTest::keyClick(text, Qt::Key_Space);
    EXPECT_EQ(dlg->findChild<TapPane*>()->Draft().Stamps(), 3u);
    EXPECT_EQ(text->extraSelections().size(), 3);

    const LrcLyric lyric = saveAndLoad("lines.lrc");
    ASSERT_EQ(lyric.Lines().size(), 3u);
    EXPECT_PRED2(within, lyric.Lines()[0].Start, first);
    EXPECT_PRED2(within, lyric.Lines()[1].Start, second);
    EXPECT_PRED2(within, lyric.Lines()[2].Start, third);
    EXPECT_EQ(lyric.Lines()[1].Text, "Second line\n");
    EXPECT_TRUE(lyric.Lines()[1].Words.empty());
    EXPECT_EQ(ReadTagHead(lyricToSave.toStdString()), (SingerTitle{"歌手", "月亮代表我的心"}));
    click("stopButton");
    dlg->close();
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(VersletDlgTest, WordTapsStampLatinWordsAndChineseCharactersAndSaveWhatIsTapped) {
    startTapping("wordTapRadio", QStringLiteral("Twinkle twinkle\n一闪"));
    std::vector<std::pair<int, int>> taps;
    taps.push_back(pressAt(200));
    taps.push_back(pressAt(500));
    taps.push_back(pressAt(800));
    // A save in the middle holds the lines reached so far, the rest of a line after its last
    // stamp.
    LrcLyric partial = saveAndLoad("partial.lrc");
    ASSERT_EQ(partial.Lines().size(), 2u);
    EXPECT_EQ(partial.Lines()[1].ShownText(), "一闪");
    ASSERT_EQ(partial.Lines()[1].Words.size(), 1u);
    EXPECT_PRED2(within, partial.Lines()[1].Words[0].Start, taps[2]);
    // Keys go back to the text after the save, so Space taps on instead of saving again.
    EXPECT_EQ(dlg->focusWidget(), child<QPlainTextEdit>("tapTextEdit"));

    taps.push_back(pressAt(1100));
    const LrcLyric lyric = saveAndLoad("words.lrc");
    ASSERT_EQ(lyric.Lines().size(), 2u);
    const std::vector<std::pair<int, std::string>> expected[] = {
        {{0, "Twinkle"}, {1, "twinkle"}},
        {{2, "一"}, {3, "闪"}},
    };
    for (size_t row = 0; row < 2; ++row) {
        const LyricLine& line = lyric.Lines()[row];
        ASSERT_EQ(line.Words.size(), expected[row].size()) << row;
        EXPECT_PRED2(within, line.Start, taps[static_cast<size_t>(expected[row][0].first)]);
        for (size_t w = 0; w < line.Words.size(); ++w) {
            const LyricWord& word = line.Words[w];
            EXPECT_PRED2(within, word.Start, taps[static_cast<size_t>(expected[row][w].first)]);
            std::string shown = line.ShownText().substr(static_cast<size_t>(word.Begin),
                                                        static_cast<size_t>(word.Length));
            EXPECT_EQ(shown.substr(0, shown.find(' ')), expected[row][w].second);
        }
    }
    // Every word is stamped: a further Space changes nothing.
    QTest::keyClick(child<QPlainTextEdit>("tapTextEdit"), Qt::Key_Space);
    EXPECT_EQ(dlg->findChild<TapPane*>()->Draft().Stamps(), 4u);
    click("stopButton");
    EXPECT_TRUE(child<QPlainTextEdit>("tapTextEdit")->isReadOnly());
}

}  // namespace
