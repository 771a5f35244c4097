#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "audiotools/ui/SynthesizerDlg.h"
#include "library/Mp3Info.h"
#include "playback/MelodeckDoc.h"
#include "resources/CommandIds.h"
#include "shell/MainFrame.h"
#include "shell/ProgramFolder.h"
#include "shell/Settings.h"
#include "shell/TextCodec.h"
#include "tests/media/MediaFixtures.h"
#include "tests/playback/FakeMedia.h"
#include "tests/support/TestSupport.h"
#include "tests/views/GuiTestSupport.h"
#include "tests/views/ModalAnswers.h"

namespace {

// What the dialog shows, read from its widgets.
struct Shown {
    QString voice, offset, music, output, title, artist, album, year, comment, status;
};

Shown shownIn(const QWidget& dialog) {
    const auto text = [&dialog](const char* name) {
        auto* box = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
        return box != nullptr ? box->text() : QStringLiteral("<missing>");
    };
    return {text("voicePath"), text("offset"),
            text("musicPath"), text("outputPath"),
            text("title"),     text("artist"),
            text("album"),     text("year"),
            text("comment"),   dialog.findChild<QLabel*>("status")->text()};
}

class SynthesizerDialog : public ::testing::Test {
protected:
    SynthesizerDialog() {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.file("config")));
        EXPECT_TRUE(ProgramFolder::start(dir.file("home"), home));
        writeSetting(ConfigKey::RecordBeginTime, 1500);
    }
    ~SynthesizerDialog() override { theSettings.SetFilePath(nullptr); }

    // What the dialog opened by the toolbar's "合成" shows, with `songs` in the list.
    Shown openedFromToolbar(std::vector<SongEntry> songs, int current) {
        FakePlayer player;
        FakeCapture recorder;
        FakeCapture monitor;
        int lyricOffset = 0;
        CMelodeckDoc doc{MediaObjects{&player, &recorder, &monitor, &lyricOffset}};
        doc.m_songs = std::move(songs);
        doc.m_curSong = current;
        CMainFrame frame(&doc);
        Shown shown;
        bool opened = false;
        ModalAnswers::whenShown<CSynthesizerDlg>([&](CSynthesizerDlg* modal) {
            opened = true;
            shown = shownIn(*modal);
            modal->close();
        });
        frame.Action(kCmdSynthesize)->trigger();
        EXPECT_TRUE(opened);
        return shown;
    }

    QLineEdit* box(CSynthesizerDlg& dialog, const char* name) {
        auto* widget = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QPushButton* button(CSynthesizerDlg& dialog, const char* name) {
        auto* widget = dialog.findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void click(CSynthesizerDlg& dialog, const char* name) {
        QTest::mouseClick(button(dialog, name), Qt::LeftButton);
    }
    QString status(CSynthesizerDlg& dialog) { return dialog.findChild<QLabel*>("status")->text(); }

    TempDir dir;
    std::string home;
};

TEST_F(SynthesizerDialog, OpensWithTheCurrentSongOrWithoutOne) {
    const Shown withSong =
        openedFromToolbar({MakeSongEntry("/songs/a.mp3", "歌手 - 歌名", 200)}, 0);
    EXPECT_EQ(withSong.music, "/songs/a.mp3");
    EXPECT_EQ(withSong.title, "歌手 - 歌名");
    EXPECT_EQ(withSong.voice.toStdString(), home + "temp.mp3");
    EXPECT_EQ(withSong.output.toStdString(), home + "output.mp3");
    EXPECT_EQ(withSong.offset, "1500");
    EXPECT_EQ(withSong.artist, "Artist");
    EXPECT_EQ(withSong.album, "Album");
    EXPECT_EQ(withSong.year, "Year");
    EXPECT_EQ(withSong.comment, "Vocalia，打造个人专辑");
    EXPECT_EQ(withSong.status, "将你的歌声和背景音乐合成有ID信息的MP3");

    const Shown withoutSong =
        openedFromToolbar({MakeSongEntry("/songs/a.mp3", "歌手 - 歌名", 200)}, -1);
    EXPECT_EQ(withoutSong.music, "");
    EXPECT_EQ(withoutSong.title, "Title");
    EXPECT_EQ(openedFromToolbar({}, -1).title, "Title");
}

TEST_F(SynthesizerDialog, TagFieldsStopAtTheirLimits) {
    CSynthesizerDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Vocalia --  MP3 合成器");
    for (const auto& [name, limit] :
         {std::pair{"title", 20}, std::pair{"artist", 20}, std::pair{"album", 20},
          std::pair{"year", 20}, std::pair{"comment", 40}}) {
        QLineEdit* field = box(dialog, name);
        field->clear();
        for (int typed = 0; typed < 50; ++typed) {
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QStringLiteral("歌"),
                                Qt::NoModifier);
        }
        EXPECT_EQ(field->text().size(), limit) << name;
    }
}

TEST_F(SynthesizerDialog, TheOffsetIsCheckedAtEveryKeystroke) {
    CSynthesizerDlg dialog;
    dialog.show();
    QLineEdit* offset = box(dialog, "offset");
    offset->setFocus();
    QTest::keyClick(offset, Qt::Key_End);

    struct Case {
        const char* keys;
        QString shown;
        int messages;
    };
    // From "1500": digits join; a letter, or deleting the last digit, is refused with the
    // framework's message and the box goes back to the number it held.
    for (const Case& step : {Case{"2", "15002", 0}, Case{"x", "15002", 1}, Case{"-", "15002", 1}}) {
        QStringList messages;
        if (step.messages > 0) {
            ModalAnswers::answerBox(&messages);
        }
        QTest::keyClicks(offset, QString::fromLatin1(step.keys));
        EXPECT_EQ(offset->text(), step.shown) << step.keys;
        EXPECT_EQ(messages.size(), step.messages) << step.keys;
        if (!messages.isEmpty()) {
            EXPECT_EQ(messages.front(), "请键入一个整数。");
        }
    }
    offset->setText("0");
    QTest::keyClick(offset, Qt::Key_End);
    QTest::keyClicks(offset, "7");
    EXPECT_EQ(offset->text(), "7") << "shown in its plain form";

    QStringList messages;
    ModalAnswers::answerBox(&messages);
    QTest::keyClick(offset, Qt::Key_Backspace);
    EXPECT_EQ(offset->text(), "7");
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(dialog.Job().offsetMs, 7);
}

TEST_F(SynthesizerDialog, SavesOnlyTheVoiceOverAnExistingOutputAndWaitsOnClose) {
    makeToneMp3(home + "temp.mp3", 2.0, 880);
    writeBytes(home + "output.mp3", "an older mix");
    CSynthesizerDlg dialog;
    dialog.show();
    box(dialog, "title")->setText("小猫");
    box(dialog, "artist")->setText("我");

    click(dialog, "save");
    EXPECT_TRUE(dialog.IsSaving());
    for (const char* refused : {"preview", "stop", "save"}) {
        EXPECT_FALSE(button(dialog, refused)->isEnabled()) << refused;
    }
    dialog.close();
    EXPECT_TRUE(dialog.isVisible()) << "closing waits for the save";
    ASSERT_TRUE(processEventsUntil([&] { return !dialog.isVisible(); }, 60000));
    EXPECT_EQ(status(dialog), "全部工作结束!");

    const Mp3Info mix(home + "output.mp3");
    EXPECT_EQ(TextCodec::decodeStoredText(mix.Title()), "小猫");
    EXPECT_EQ(TextCodec::decodeStoredText(mix.Artist()), "我");
    EXPECT_EQ(TextCodec::decodeStoredText(mix.Comment()), "Vocalia，打造个人专辑");
    // The voice alone, starting 1.5 s in.
    EXPECT_NEAR(mix.Duration(), 3, 1);
}

TEST_F(SynthesizerDialog, MixesVoiceAndMusicAfterAPreviewWithoutDoublingThem) {
    makeToneMp3(home + "temp.mp3", 1.0, 880);
    const std::string music = dir.file("music.mp3");
    makeToneMp3(music, 4.0, 220);
    CSynthesizerDlg dialog(nullptr, QString::fromStdString(music), "歌手 - 歌名");
    dialog.show();

    // A preview with the voice 5 s in lasts 6 s; pressed again with the voice at 0 the mix
    // lasts as long as the music, unless the first preview's clips were still there.
    QLineEdit* offset = box(dialog, "offset");
    offset->setText("5000");
    click(dialog, "preview");
    EXPECT_NEAR(dialog.PreviewLengthMs(), 6000, 200);
    offset->setText("0");
    click(dialog, "preview");
    EXPECT_NEAR(dialog.PreviewLengthMs(), 4000, 200) << "a second preview starts afresh";
    click(dialog, "stop");
    EXPECT_EQ(dialog.PreviewLengthMs(), 0);
    click(dialog, "preview");

    click(dialog, "save");
    EXPECT_EQ(dialog.PreviewLengthMs(), 0) << "the save stops the preview";
    ASSERT_TRUE(processEventsUntil([&] { return !dialog.IsSaving(); }, 60000));
    EXPECT_EQ(status(dialog), "全部工作结束!");
    const Mp3Info mix(home + "output.mp3");
    EXPECT_NEAR(mix.Duration(), 4, 1) << "the voice at 0 under the 4 s song";
    EXPECT_EQ(TextCodec::decodeStoredText(mix.Title()), "歌手 - 歌名");
    EXPECT_TRUE(button(dialog, "preview")->isEnabled());
}

TEST_F(SynthesizerDialog, ACopyOfTheVoiceIsMadeOrItsFailureShown) {
    CSynthesizerDlg dialog;
    dialog.show();
    QStringList messages;
    ModalAnswers::chooseFile(QString::fromStdString(dir.file("copy.mp3")));
    ModalAnswers::answerBox(&messages);
    click(dialog, "saveVoice");
    ASSERT_EQ(messages.size(), 1) << "there is no recording yet";
    EXPECT_TRUE(messages.front().startsWith("另存歌声失败")) << messages.front().toStdString();
    EXPECT_FALSE(std::filesystem::exists(dir.file("copy.mp3")));

    writeBytes(home + "temp.mp3", "the recording");
    writeBytes(dir.file("copy.mp3"), "an older copy");
    ModalAnswers::chooseFile(QString::fromStdString(dir.file("copy.mp3")));
    QStringList overwriteQuestions;
    ModalAnswers::answerBox(&overwriteQuestions, QMessageBox::Yes);
    click(dialog, "saveVoice");
    EXPECT_EQ(overwriteQuestions.size(), 1) << "the chooser asks before replacing a file";
    EXPECT_EQ(readBytes(dir.file("copy.mp3")), "the recording");
}

}  // namespace
