#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

#include "mixer/ui/AudioPage.h"
#include "mixer/ui/CapturePage.h"
#include "mixer/ui/InterfacePage.h"
#include "mixer/ui/OptionsCommand.h"
#include "mixer/ui/OptionsDlg.h"
#include "playback/MelodeckDoc.h"
#include "shell/IniFile.h"
#include "shell/Settings.h"
#include "tests/mixer/SoundServerFixture.h"
#include "tests/playback/FakeMedia.h"
#include "tests/support/TestSupport.h"
#include "tests/views/GuiTestSupport.h"
#include "tests/views/ModalAnswers.h"

namespace {

template <typename T>
T* child(QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

void type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

class OptionsDialog : public SoundServerFixture {
protected:
    OptionsDialog() { theSettings.SetFilePath(iniPath().c_str()); }
    ~OptionsDialog() override { theSettings.SetFilePath(nullptr); }

    std::string iniPath() const { return folder.file("OrvMelodeck.ini"); }
    std::string ini(const char* section, const char* key) const {
        return CIniFile(iniPath().c_str()).ReadString(section, key, "<none>");
    }

    // The page of the tree item with this text, after clicking it.
    QWidget* showPage(COptionsDlg& dialog, const QString& item) {
        auto* tree = child<QTreeWidget>(&dialog, "pageTree");
        const auto items = tree->findItems(item, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_EQ(items.size(), 1) << item.toStdString();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(items.constFirst()).center());
        for (QWidget* page : child<QWidget>(&dialog, "pageFrame")
                                 ->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (page->isVisible()) {
                return page;
            }
        }
        return nullptr;
    }

    static QString text(QWidget* page, const char* name) {
        return child<QLineEdit>(page, name)->text();
    }
    static QStringList checked(QWidget* page) {
        QStringList names;
        for (QRadioButton* radio : page->findChildren<QRadioButton*>()) {
            if (radio->isChecked()) {
                names << radio->objectName();
            }
        }
        return names;
    }

    TempDir folder;
    FakePlayer player;
    FakeCapture recorder;
    FakeCapture monitor;
    int lyricOffset = 0;
    CMelodeckDoc doc{MediaObjects{&player, &recorder, &monitor, &lyricOffset}};
};

TEST_F(OptionsDialog, PagesShowTheirDefaultsFromAnEmptyConfiguration) {
    COptionsDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Vocalia  选项");
    auto* tree = child<QTreeWidget>(&dialog, "pageTree");
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "麦克风调节");
    EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), "音频调节");
    EXPECT_EQ(tree->topLevelItem(0)->child(1)->text(0), "录音调节");
    EXPECT_EQ(tree->topLevelItem(1)->text(0), "用户界面");
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());

    QWidget* microphone = showPage(dialog, "麦克风调节");
    ASSERT_NE(qobject_cast<CMicrophonePage*>(microphone), nullptr);
    EXPECT_EQ(child<QLabel>(microphone, "heading")->text(), "麦克风设置");
    EXPECT_EQ(text(microphone, "delayEdit"), "0.005");
    EXPECT_EQ(text(microphone, "bufferCountEdit"), "6");
    EXPECT_EQ(text(microphone, "restartEdit"), "60");
    EXPECT_EQ(checked(microphone), (QStringList{"width8", "rate22", "mono"}));

    QWidget* record = showPage(dialog, "录音调节");
    ASSERT_NE(qobject_cast<CRecordPage*>(record), nullptr);
    EXPECT_FALSE(microphone->isVisible());
    EXPECT_EQ(record->findChild<QLineEdit*>("restartEdit"), nullptr);
    EXPECT_EQ(text(record, "delayEdit"), "0.05");
    EXPECT_EQ(text(record, "bufferCountEdit"), "10");
    EXPECT_EQ(checked(record), (QStringList{"width16", "rate44", "stereo"}));

    QWidget* face = showPage(dialog, "用户界面");
    ASSERT_NE(qobject_cast<CInterfacePage*>(face), nullptr);
    EXPECT_EQ(text(face, "lyricPeriodEdit"), "500");
    EXPECT_EQ(text(face, "seekStepEdit"), "10000");
    EXPECT_EQ(text(face, "lyricStepEdit"), "500");
    EXPECT_EQ(text(face, "folderEdit"), "");
}

TEST_F(OptionsDialog, PagesShowAFullConfigurationAndKeepAnUnknownRateUnchosen) {
    writeBytes(iniPath(),
               "[PhoneSet]\nDelay=0.010000\nBuffernum=4\nRefreshTimer=30\nChannel=2\nByte=2\n"
               "Fren=441000\n[RecordSet]\nDelay=0.100000\nBuffernum=12\nChannel=1\nByte=1\n"
               "Fren=48000\n[Timer]\nLyrics=250\n[User]\nTimeOffset=5000\n[Lyrics]\n"
               "TimeOffset=300\nCustomPath=/srv/lrc/\n");
    COptionsDlg dialog;
    dialog.show();
    QWidget* microphone = showPage(dialog, "麦克风调节");
    EXPECT_EQ(text(microphone, "delayEdit"), "0.01");
    EXPECT_EQ(text(microphone, "bufferCountEdit"), "4");
    EXPECT_EQ(text(microphone, "restartEdit"), "30");
    EXPECT_EQ(checked(microphone), (QStringList{"width16", "rate44", "stereo"}));
    QWidget* record = showPage(dialog, "录音调节");
    EXPECT_EQ(checked(record), (QStringList{"width8", "mono"}));
    QWidget* face = showPage(dialog, "用户界面");
    EXPECT_EQ(text(face, "lyricPeriodEdit"), "250");
    EXPECT_EQ(text(face, "folderEdit"), "/srv/lrc/");
}

TEST_F(OptionsDialog, RestoringDefaultsShowsEachPagesOwn) {
    COptionsDlg dialog;
    dialog.show();
    QWidget* record = showPage(dialog, "录音调节");
    click(child<QRadioButton>(record, "mono"));
    click(child<QPushButton>(record, "restoreDefaults"));
    EXPECT_EQ(text(record, "delayEdit"), "0.05");
    EXPECT_EQ(text(record, "bufferCountEdit"), "6");  // not the 10 of a missing key
    EXPECT_EQ(checked(record), (QStringList{"width16", "rate44", "stereo"}));

    QWidget* microphone = showPage(dialog, "麦克风调节");
    type(child<QLineEdit>(microphone, "restartEdit"), "99");
    click(child<QRadioButton>(microphone, "rate44"));
    click(child<QPushButton>(microphone, "restoreDefaults"));
    EXPECT_EQ(text(microphone, "restartEdit"), "60");
    EXPECT_EQ(checked(microphone), (QStringList{"width8", "rate22", "mono"}));
}

TEST_F(OptionsDialog, OkWritesEveryKeyInItsFormAndRebuildsTheMonitor) {
    ModalAnswers::whenShown<COptionsDlg>([this](COptionsDlg* dialog) {
        QWidget* microphone = showPage(*dialog, "麦克风调节");
        type(child<QLineEdit>(microphone, "delayEdit"), "0.02");
        type(child<QLineEdit>(microphone, "bufferCountEdit"), "3");
        type(child<QLineEdit>(microphone, "restartEdit"), "20");
        click(child<QRadioButton>(microphone, "width16"));
        click(child<QRadioButton>(microphone, "rate11"));
        click(child<QRadioButton>(microphone, "stereo"));
        QWidget* record = showPage(*dialog, "录音调节");
        click(child<QRadioButton>(record, "width8"));
        click(child<QRadioButton>(record, "rate22"));
        click(child<QRadioButton>(record, "mono"));
        QWidget* face = showPage(*dialog, "用户界面");
        type(child<QLineEdit>(face, "lyricPeriodEdit"), "300");
        type(child<QLineEdit>(face, "seekStepEdit"), "8000");
        type(child<QLineEdit>(face, "lyricStepEdit"), "250");
        click(child<QPushButton>(dialog, "okButton"));
    });
    doc.OnSing();
    const int playsBefore = monitor.plays;
    const int resetsBefore = monitor.resets;
    OptionsCommand::run(doc, nullptr);

    const std::pair<const char*, const char*> phone[] = {
        {"Delay", "0.020000"}, {"Buffernum", "3"}, {"RefreshTimer", "20"},
        {"Channel", "2"},      {"Byte", "2"},      {"Fren", "110250"}};
    for (const auto& [key, value] : phone) {
        EXPECT_EQ(ini("PhoneSet", key), value) << key;
    }
    const std::pair<const char*, const char*> record[] = {{"Delay", "0.050000"},
                                                          {"Buffernum", "10"},
                                                          {"Channel", "1"},
                                                          {"Byte", "1"},
                                                          {"Fren", "220500"}};
    for (const auto& [key, value] : record) {
        EXPECT_EQ(ini("RecordSet", key), value) << key;
    }
    EXPECT_EQ(ini("RecordSet", "RefreshTimer"), "<none>");
    EXPECT_EQ(ini("Timer", "Lyrics"), "300");
    EXPECT_EQ(ini("User", "TimeOffset"), "8000");
    EXPECT_EQ(ini("Lyrics", "TimeOffset"), "250");
    EXPECT_EQ(ini("Lyrics", "CustomPath"), "");

    // The running monitor is built again with the new values and goes on playing.
    EXPECT_EQ(monitor.resets, resetsBefore + 1);
    EXPECT_EQ(monitor.plays, playsBefore + 1);
    EXPECT_TRUE(monitor.running);
    EXPECT_EQ(monitor.lastSettings.channels, 2);
    EXPECT_EQ(monitor.lastSettings.bytesPerSample, 2);
    EXPECT_EQ(monitor.lastSettings.rateChoice, 110250);
    EXPECT_EQ(monitor.lastSettings.bufferCount, 3);
    EXPECT_FLOAT_EQ(monitor.lastSettings.bufferSeconds, 0.02F);
    EXPECT_TRUE(doc.IsTimerRunning(3));
}

TEST_F(OptionsDialog, OkWhileNotSingingBuildsTheMonitorStopped) {
    ModalAnswers::whenShown<COptionsDlg>([](COptionsDlg* dialog) { dialog->accept(); });
    OptionsCommand::run(doc, nullptr);
    EXPECT_EQ(monitor.resets, 1);
    EXPECT_FALSE(monitor.running);
    EXPECT_FALSE(doc.IsTimerRunning(3));
}

TEST_F(OptionsDialog, LettersInANumberFieldShowTheMessageAndKeepThePreviousValue) {
    writeBytes(iniPath(), "[PhoneSet]\nRefreshTimer=45\n");
    QString message;
    ModalAnswers::whenShown<COptionsDlg>([&message, this](COptionsDlg* dialog) {
        QWidget* microphone = showPage(*dialog, "麦克风调节");
        type(child<QLineEdit>(microphone, "restartEdit"), "abc");
        ModalAnswers::whenShown<QMessageBox>([&message](QMessageBox* box) {
            message = box->text();
            box->accept();
        });
        click(child<QPushButton>(dialog, "okButton"));
    });
    OptionsCommand::run(doc, nullptr);
    EXPECT_EQ(message, "请键入一个整数。");
    EXPECT_EQ(ini("PhoneSet", "RefreshTimer"), "45");  // closed with OK, value kept
    EXPECT_EQ(ini("PhoneSet", "Buffernum"), "6");
}

TEST_F(OptionsDialog, CancelWritesNothing) {
    writeBytes(iniPath(), "[PhoneSet]\nChannel=1\n");
    ModalAnswers::whenShown<COptionsDlg>([this](COptionsDlg* dialog) {
        click(child<QRadioButton>(showPage(*dialog, "麦克风调节"), "stereo"));
        click(child<QPushButton>(dialog, "cancelButton"));
    });
    OptionsCommand::run(doc, nullptr);
    EXPECT_EQ(readBytes(iniPath()), "[PhoneSet]\nChannel=1\n");
    EXPECT_EQ(monitor.resets, 0);
}

TEST_F(OptionsDialog, TheFolderChooserPutsTheFolderWithATrailingSlash) {
    TempDir lyrics;
    COptionsDlg dialog;
    dialog.show();
    QWidget* face = showPage(dialog, "用户界面");
    QString title;
    ModalAnswers::whenShown<QFileDialog>([&](QFileDialog* chooser) {
        title = chooser->windowTitle();
        chooser->setDirectory(QString::fromStdString(lyrics.path()));
        QMetaObject::invokeMethod(chooser, "accept");
    });
    click(child<QPushButton>(face, "browseButton"));
    EXPECT_EQ(title, "请选择您自己的存放LRC歌词的文件夹:");
    EXPECT_EQ(text(face, "folderEdit").toStdString(), lyrics.path());
    EXPECT_EQ(CInterfacePage::folderField("/"), "/");
    EXPECT_EQ(CInterfacePage::folderField("/srv/lrc"), "/srv/lrc/");

    ModalAnswers::whenShown<QFileDialog>([](QFileDialog* chooser) { chooser->reject(); });
    click(child<QPushButton>(face, "browseButton"));
    EXPECT_EQ(text(face, "folderEdit").toStdString(), lyrics.path());
}

TEST_F(OptionsDialog, TheAudioPageActsOnTheServerAtOnce) {
    COptionsDlg dialog;
    dialog.show();
    QWidget* audio = showPage(dialog, "音频调节");
    ASSERT_NE(qobject_cast<CAudioPage*>(audio), nullptr);
    EXPECT_EQ(child<QLabel>(audio, "hint")->text(), "提示：\n若要从麦克风录音请选择Microphone。");

    auto* slider = child<QSlider>(audio, "volumeSlider");
    EXPECT_EQ(slider->maximum(), 65536);
    EXPECT_EQ(slider->value(), 65536);
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageDown);
    const std::string expected = std::to_string(slider->value());
    EXPECT_LT(slider->value(), 65536);
    EXPECT_NE(pactl("get-sink-volume out").find("front-left: " + expected), std::string::npos);
    // A change made elsewhere moves the slider.
    pactl("set-sink-volume out 20000");
    EXPECT_TRUE(processEventsUntil([slider] { return slider->value() == 20000; }, 5000));

    auto* mute = child<QCheckBox>(audio, "muteBox");
    EXPECT_FALSE(mute->isChecked());
    click(mute);
    EXPECT_EQ(pactl("get-sink-mute out"), "Mute: yes\n");
    click(mute);
    EXPECT_EQ(pactl("get-sink-mute out"), "Mute: no\n");

    EXPECT_EQ(text(audio, "deviceNameEdit"), "Microphone");
    auto* sources = child<QListWidget>(audio, "sourceList");
    ASSERT_EQ(sources->count(), 2);
    EXPECT_EQ(sources->item(1)->text(), "Line In");
    EXPECT_TRUE(sources->selectedItems().isEmpty());
    auto* select = child<QCheckBox>(audio, "selectBox");
    auto* level = child<QSlider>(audio, "levelSlider");
    pactl("set-source-volume line 49152");
    QTest::mouseClick(sources->viewport(), Qt::LeftButton, {},
                      sources->visualItemRect(sources->item(1)).center());
    EXPECT_FALSE(select->isChecked());
    EXPECT_EQ(level->value(), 75);
    click(select);
    EXPECT_TRUE(select->isChecked());
    EXPECT_EQ(pactl("get-default-source"), "line\n");
    EXPECT_EQ(ini("Record", "DeviceName"), "Line In");
    level->setFocus();
    QTest::keyClick(level, Qt::Key_Down);
    EXPECT_EQ(level->value(), 74);
    EXPECT_NE(pactl("get-source-volume line").find(" 74% "), std::string::npos);
}

TEST_F(OptionsDialog, WithoutAServerTheAudioPageSaysSoAndStaysUnusable) {
    const NoSoundServer none;
    QElapsedTimer timer;
    timer.start();
    COptionsDlg dialog;
    dialog.show();
    EXPECT_LT(timer.elapsed(), 2000);
    QWidget* audio = showPage(dialog, "音频调节");
    EXPECT_EQ(child<QLabel>(audio, "hint")->text(),
              "提示：\n无法连接声音服务器，系统音量和录音设备现在无法调节。");
    EXPECT_FALSE(child<QGroupBox>(audio, "systemVolumeGroup")->isEnabled());
    EXPECT_FALSE(child<QGroupBox>(audio, "inputGroup")->isEnabled());
    EXPECT_EQ(child<QListWidget>(audio, "sourceList")->count(), 0);
    // The other pages work as ever.
    click(child<QPushButton>(&dialog, "okButton"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
