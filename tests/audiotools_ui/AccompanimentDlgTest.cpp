#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "audiotools/ui/AccompanimentDlg.h"
#include "audiotools/ui/ToolWorker.h"
#include "library/Mp3Info.h"
#include "playback/MelodeckDoc.h"
#include "resources/CommandIds.h"
#include "shell/MainFrame.h"
#include "shell/TextCodec.h"
#include "tests/media/MediaFixtures.h"
#include "tests/playback/FakeMedia.h"
#include "tests/support/TestSupport.h"
#include "tests/views/GuiTestSupport.h"
#include "tests/views/ModalAnswers.h"

namespace {

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class AccompanimentDialog : public ::testing::Test {
protected:
    AccompanimentDialog() { dialog.show(); }

    template <typename Widget>
    Widget* child(const char* name) {
        auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* box(const char* name) { return child<QLineEdit>(name); }
    QString status() { return child<QLabel>("status")->text(); }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }

    // A tone song with a Chinese ID3v1 tag (stored as GBK).
    std::string taggedSong(const std::string& name, double seconds) {
        std::string path = dir.file(name);
        makeToneMp3(path, seconds);
        Mp3Info tag;
        tag.SetTitle("小猫");
        tag.SetArtist("歌手");
        tag.SetAlbum("Album");
        tag.SetYear("2024");
        tag.SetComment("注释");
        EXPECT_TRUE(tag.WriteTag(path, false));
        return path;
    }
    void chooseInput(const std::string& path) {
        ModalAnswers::chooseFile(QString::fromStdString(path));
        click("chooseInput");
    }
    bool waitUntilIdle(int timeoutMs = 60000) {
        return processEventsUntil([this] { return !dialog.IsRunning(); }, timeoutMs);
    }

    TempDir dir;
    CAccompanimentDlg dialog;
    QSignalSpy progress{dialog.findChild<ToolWorker*>("worker"), &ToolWorker::progress};
};

TEST_F(AccompanimentDialog, OpensFromTheVocalsMenu) {
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.file("config")));
    FakePlayer player;
    FakeCapture recorder;
    FakeCapture monitor;
    int lyricOffset = 0;
    CMelodeckDoc doc{MediaObjects{&player, &recorder, &monitor, &lyricOffset}};
    CMainFrame frame(&doc);
    bool opened = false;
    ModalAnswers::whenShown<CAccompanimentDlg>([&opened](CAccompanimentDlg* modal) {
        opened = true;
        modal->close();
    });
    frame.Action(kCmdAccompanimentMaker)->trigger();
    EXPECT_TRUE(opened);
}

TEST_F(AccompanimentDialog, OpensEmptyAndTheChosenInputFillsNamesAndTag) {
    EXPECT_EQ(dialog.windowTitle(), "Vocalia - 制作MP3伴奏");
    EXPECT_EQ(status(), "提示：选择你的MP3，点消原唱按钮，即获得伴奏MP3");
    EXPECT_EQ(box("passes")->text(), "2");
    for (const char* name : {"inputPath", "outputPath", "title", "artist", "comment"}) {
        EXPECT_TRUE(box(name)->text().isEmpty()) << name;
    }
    EXPECT_TRUE(box("inputPath")->isReadOnly());

    const std::string song = taggedSong("song.mp3", 1);
    chooseInput(song);
    EXPECT_EQ(box("inputPath")->text().toStdString(), song);
    EXPECT_EQ(box("outputPath")->text().toStdString(), dir.file("song(music).mp3"));
    EXPECT_EQ(box("title")->text(), "小猫");
    EXPECT_EQ(box("artist")->text(), "歌手");
    EXPECT_EQ(box("album")->text(), "Album");
    EXPECT_EQ(box("year")->text(), "2024");
    EXPECT_EQ(box("comment")->text(), "注释");

    // The output chooser replaces the default name.
    ModalAnswers::chooseFile(QString::fromStdString(dir.file("mine.mp3")));
    click("chooseOutput");
    EXPECT_EQ(box("outputPath")->text().toStdString(), dir.file("mine.mp3"));
}

TEST_F(AccompanimentDialog, PassesThatAreNoNumberKeepTheirValueAndTheRunShowsEachStep) {
    chooseInput(taggedSong("song.mp3", 1));
    box("title")->setText("伴奏");
    box("passes")->setText("abc");
    QStringList messages;
    ModalAnswers::answerBox(&messages);
    click("start");

    EXPECT_EQ(messages, QStringList{"请键入一个整数。"});
    EXPECT_EQ(box("passes")->text(), "2");
    EXPECT_EQ(dialog.Job().passes, 2);
    EXPECT_FALSE(child<QPushButton>("start")->isEnabled()) << "one run at a time";
    click("start");
    ASSERT_TRUE(waitUntilIdle());

    QStringList texts;
    for (const QList<QVariant>& signal : progress) {
        texts << signal.at(0).toString();
    }
    EXPECT_EQ(texts, (QStringList{"正在解压缩MP3文件,不要关闭窗口,请耐心等待...",
                                  "正在处理声音数据,不要关闭窗口,请耐心等待...",
                                  "正在输出伴奏MP3,不要关闭窗口,请耐心等待...",
                                  "正在写入MP3信息,不要关闭窗口,请耐心等待...", "全部工作结束!"}));
    EXPECT_EQ(status(), "全部工作结束!");
    EXPECT_TRUE(child<QPushButton>("start")->isEnabled());
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"song(music).mp3", "song.mp3"}));
    const Mp3Info made(dir.file("song(music).mp3"));
    EXPECT_EQ(TextCodec::decodeStoredText(made.Title()), "伴奏");
    EXPECT_EQ(TextCodec::decodeStoredText(made.Artist()), "歌手");
}

TEST_F(AccompanimentDialog, AFailedRunShowsWhyInsteadOfTheEnd) {
    click("start");
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(status(), "no input song or no output file was given");

    writeBytes(dir.file("broken.mp3"), std::string(4096, 'x'));
    chooseInput(dir.file("broken.mp3"));
    click("start");
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_TRUE(status().startsWith("decoding ")) << status().toStdString();
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"broken.mp3"});
}

TEST_F(AccompanimentDialog, ClosingDuringARunAsksThenCancelsItAndLeavesNoFiles) {
    chooseInput(taggedSong("long.mp3", 240));
    click("start");
    ASSERT_TRUE(processEventsUntil([this] { return progress.size() >= 3; }, 60000))
        << "the run should reach the encoding";

    QStringList questions;
    ModalAnswers::answerBox(&questions, QMessageBox::Yes);
    dialog.close();
    EXPECT_EQ(questions.size(), 1);
    ASSERT_TRUE(processEventsUntil([this] { return !dialog.isVisible(); }, 30000));
    EXPECT_FALSE(dialog.IsRunning());
    EXPECT_NE(progress.last().at(0).toString(), "全部工作结束!");
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"long.mp3"});
}

}  // namespace
