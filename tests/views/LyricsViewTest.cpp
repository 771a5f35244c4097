#include <gtest/gtest.h>

#include <QAction>
#include <QFontInfo>
#include <QMenu>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "lyrics/ui/LyricsLayout.h"
#include "lyrics/ui/LyricsView.h"
#include "playback/MelodeckDoc.h"
#include "resources/CommandIds.h"
#include "tests/lyrics/SmfWriter.h"
#include "tests/views/GuiTestSupport.h"
#include "tests/views/ProgramFolderFixture.h"

namespace {

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kGreenBand = qRgb(0, 128, 0);
constexpr QRgb kBlack = qRgb(0, 0, 0);

// Ids of every action of a menu and its submenus, in menu order.
std::vector<int> menuIds(const QMenu& menu) {
    std::vector<int> ids;
    for (QAction* action : menu.actions()) {
        if (action->menu() != nullptr) {
            const std::vector<int> inner = menuIds(*action->menu());
            ids.insert(ids.end(), inner.begin(), inner.end());
        } else if (!action->isSeparator()) {
            ids.push_back(action->data().toInt());
        }
    }
    return ids;
}

class LyricsViewTest : public ProgramFolderFixture {
protected:
    void SetUp() override {
        ProgramFolderFixture::SetUp();
        writeSetting(ConfigKey::LyricsTeColor, 255);           // red
        writeSetting(ConfigKey::LyricsHighTeColor, 0xFF0000);  // blue
        writeSetting(ConfigKey::LyricsBkColor, 0);             // black
        writeSetting(ConfigKey::LyricsHighBkColor, 128 << 8);  // green band
        writeSetting(ConfigKey::LyricsFontHeight, 24);
        writeSetting(ConfigKey::LyricsBold, 700);
        doc = std::make_unique<CMelodeckDoc>(MediaObjects{nullptr, nullptr, nullptr, &offset});
        doc->m_songs.push_back(SongEntry{"/x/a.mp3", "歌手 - 歌名", "03:00", 180});
        makeView();
    }

    void makeView() {
        view = std::make_unique<CLyricsView>();
        view->AttachDocument(doc.get());
        view->resize(400, 300);
        view->show();
    }

    // Lines at 0, 10000, 20000, 30000 ms.
    std::string writeLyric(const std::string& extra = "") {
        std::string path = folder.file("song.lrc");
        writeBytes(path, "[ti:歌名]\r\n[ar:歌手]\r\n" + extra +
                             "[00:00.00]第一行\r\n[00:10.00]第二行\r\n[00:20.00]第三行\r\n"
                             "[00:30.00]最后一行\r\n");
        return path;
    }

    QImage render() { return view->grab().toImage(); }

    int offset = 0;
    std::unique_ptr<CMelodeckDoc> doc;
    std::unique_ptr<CLyricsView> view;
};

TEST_F(LyricsViewTest, ConstructionReadsColoursFontAndMode) {
    EXPECT_EQ(view->Color(CLyricsView::TextRole), QColor(kRed));
    EXPECT_EQ(view->Color(CLyricsView::HighBackRole), QColor(kGreenBand));
    EXPECT_EQ(view->LyricFont().pixelSize(), 24);
    EXPECT_TRUE(view->LyricFont().bold());
    EXPECT_EQ(view->DisplayMode(), CLyricsView::MultiLine);
    EXPECT_EQ(view->CurrentState(), CLyricsView::ShowEmpty);
    EXPECT_EQ(view->CurrentLine(), -1);
}

TEST_F(LyricsViewTest, MultiLineModePaintsTheBandAtTheCurrentLine) {
    ASSERT_TRUE(view->LoadLyrics(writeLyric()));
    EXPECT_EQ(view->CurrentState(), CLyricsView::ShowLyrics);
    view->UpdatePosition(15000);
    const int th = view->TextHeight();
    EXPECT_EQ(view->CurrentLine(), 1);
    EXPECT_EQ(view->ScrollY(), LyricsLayout::multiLineScrollY(300, th, 1, 10000, 20000, 15000));

    const QImage image = render();
    const int bandTop = view->ScrollY() + LyricsLayout::linePitch(th);
    // The band spans the whole width: its colour at the left edge, where no text reaches.
    EXPECT_EQ(image.pixel(1, bandTop + th / 2), kGreenBand);
    EXPECT_EQ(image.pixel(1, bandTop - 2), kBlack);
    EXPECT_EQ(image.pixel(1, bandTop + th + 1), kBlack);
    // Highlighted words in the band, the other lines in the normal colour.
    EXPECT_GT(countPixels(image, bandTop, th, kBlue), 10);
    EXPECT_EQ(countPixels(image, bandTop, th, kRed), 0);
    EXPECT_GT(countPixels(image, bandTop + LyricsLayout::linePitch(th), th, kRed), 10);
}

TEST_F(LyricsViewTest, MultiLineRepaintsOnlyWhenTheScrollMoves) {
    ASSERT_TRUE(view->LoadLyrics(writeLyric()));
    view->UpdatePosition(12000);
    const int y = view->ScrollY();
    // Past the last line the text keeps moving up.
    view->UpdatePosition(31000);
    EXPECT_EQ(view->CurrentLine(), 3);
    view->UpdatePosition(40000);
    EXPECT_EQ(view->CurrentLine(), 3);
    EXPECT_LT(view->ScrollY(), y);
}

TEST_F(LyricsViewTest, TwoLineModeAlternatesRowsAndLeavesTheOtherRowEmptyOnTheLastLine) {
    view->OnCommand(kCmdModeAlternate);
    ASSERT_TRUE(view->LoadLyrics(writeLyric()));
    const int th = view->TextHeight();
    const int lower = LyricsLayout::twoLineRowY(300, th, 0);
    const int upper = LyricsLayout::twoLineRowY(300, th, 1);

    view->UpdatePosition(1000);  // line 0: current below, line 1 above
    QImage image = render();
    EXPECT_GT(countPixels(image, lower, th, kBlue), 10);
    EXPECT_EQ(countPixels(image, lower, th, kRed), 0);
    EXPECT_GT(countPixels(image, upper, th, kRed), 10);
    EXPECT_EQ(countPixels(image, 0, 300, kGreenBand), 0);

    view->UpdatePosition(11000);  // line 1: current above, line 2 below
    image = render();
    EXPECT_GT(countPixels(image, upper, th, kBlue), 10);
    EXPECT_GT(countPixels(image, lower, th, kRed), 10);

    view->UpdatePosition(35000);  // the last line (odd): only it is drawn
    EXPECT_EQ(view->CurrentLine(), 3);
    image = render();
    EXPECT_GT(countPixels(image, upper, th, kBlue), 10);
    EXPECT_EQ(countPixels(image, 0, 300, kRed), 0);
}

TEST_F(LyricsViewTest, TheFileOffsetTagAddsToTheGlobalOffset) {
    ASSERT_TRUE(view->LoadLyrics(writeLyric("[offset:1000]\r\n")));
    view->UpdatePosition(8999);
    EXPECT_EQ(view->CurrentLine(), 0);
    view->UpdatePosition(9000);
    EXPECT_EQ(view->CurrentLine(), 1);
    offset = 500;
    view->UpdatePosition(18500);
    EXPECT_EQ(view->CurrentLine(), 2);
    offset = -1500;
    view->UpdatePosition(18500);
    EXPECT_EQ(view->CurrentLine(), 1);
}

// A line too long for the view ends in an ellipsis instead of losing both of its ends.
TEST_F(LyricsViewTest, ALineWiderThanTheViewIsElidedNotCutAtBothEdges) {
    writeSetting(ConfigKey::LyricsFontHeight, 48);
    makeView();
    const std::string longLine(40, 'W');
    const std::string path = folder.file("long.lrc");
    writeBytes(path, "[00:00.00]" + longLine + "\r\n[00:10.00]" + longLine + "\r\n");
    for (const int mode : {kCmdModeScroll, kCmdModeAlternate}) {
        view->OnCommand(mode);
        ASSERT_TRUE(view->LoadLyrics(path));
        view->UpdatePosition(1000);
        const QImage image = render();
        int edgePixels = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (const int x : {0, 1, image.width() - 2, image.width() - 1}) {
                const QRgb pixel = image.pixel(x, y);
                edgePixels += pixel == kRed || pixel == kBlue ? 1 : 0;
            }
        }
        EXPECT_EQ(edgePixels, 0) << mode;
        EXPECT_GT(countPixels(image, 0, 300, kBlue), 10) << mode;
    }
}

TEST_F(LyricsViewTest, AnAbsurdOffsetTagIsHeldAtTheLimitInsteadOfOverflowing) {
    ASSERT_TRUE(view->LoadLyrics(writeLyric("[offset:2147483647]\r\n")));
    offset = 1000;
    view->UpdatePosition(1000);
    EXPECT_EQ(view->CurrentLine(), 3) << "the last line, as for any huge shift forward";
}

TEST_F(LyricsViewTest, AnEmptySongListStillMovesTheLyricButALyricWithoutLinesStaysBlank) {
    // A jukebox song plays while the list is empty.
    ASSERT_TRUE(view->LoadLyrics(writeLyric()));
    doc->m_songs.clear();
    view->UpdatePosition(25000);
    EXPECT_EQ(view->CurrentLine(), 2);

    const std::string plain = folder.file("plain.txt");
    writeBytes(plain, "just words\n");
    ASSERT_TRUE(view->LoadLyrics(plain));
    view->UpdatePosition(25000);
    EXPECT_EQ(view->CurrentState(), CLyricsView::ShowLyrics);
    EXPECT_EQ(countPixels(render(), 0, 300, kBlack), 400 * 300);
}

TEST_F(LyricsViewTest, AMissingLyricShowsBothHintLines) {
    EXPECT_FALSE(view->LoadLyrics(folder.file("missing.lrc")));
    EXPECT_EQ(view->CurrentState(), CLyricsView::ShowNoLyrics);
    const int th = view->TextHeight();
    const QImage image = render();
    EXPECT_GT(countPixels(image, 150 - 2 * th, th, kRed), 10);
    EXPECT_GT(countPixels(image, 150 - th + 5, th, kRed), 10);
    EXPECT_EQ(countPixels(image, 0, 150 - 2 * th, kRed), 0);
}

TEST_F(LyricsViewTest, ContextMenusFollowTheState) {
    EXPECT_EQ(view->CreateContextMenu(), nullptr);

    ASSERT_TRUE(view->LoadLyrics(writeLyric()));
    auto menu = view->CreateContextMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menuIds(*menu),
              (std::vector<int>{kCmdModeScroll, kCmdModeAlternate, kCmdTextColor, kCmdHighTextColor,
                                kCmdBackColor, kCmdHighBackColor, kCmdThemeMatrix,
                                kCmdThemeSunshine, kCmdThemeMint, kCmdLyricFont, kCmdEditLyric}));

    view->LoadLyrics(folder.file("missing.lrc"));
    menu = view->CreateContextMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menuIds(*menu), (std::vector<int>{kCmdSearchLyric, kCmdManualMatch,
                                                kCmdAddLyricToLibrary, kCmdMakeLyric}));
}

TEST_F(LyricsViewTest, ThemesAndColoursAreWrittenAtOnce) {
    view->ApplyTheme(kCmdThemeSunshine);
    EXPECT_EQ(readSetting(ConfigKey::LyricsTeColor), 33023);
    EXPECT_EQ(readSetting(ConfigKey::LyricsBkColor), 0);
    EXPECT_EQ(readSetting(ConfigKey::LyricsHighTeColor), 65535);
    EXPECT_EQ(readSetting(ConfigKey::LyricsHighBkColor), 16744448);
    EXPECT_EQ(view->Color(CLyricsView::HighBackRole), QColor(0, 128, 255));

    view->ApplyTheme(kCmdThemeMint);
    EXPECT_EQ(readSetting(ConfigKey::LyricsTeColor), 16744576);
    EXPECT_EQ(readSetting(ConfigKey::LyricsHighBkColor), 8421440);

    // While nothing is shown a background change repaints in the new colour.
    view->ApplyColor(CLyricsView::BackRole, 0x0000FF);
    EXPECT_EQ(readSetting(ConfigKey::LyricsBkColor), 255);
    EXPECT_EQ(render().pixel(5, 5), kRed);

    // The next view starts with what was stored.
    makeView();
    EXPECT_EQ(view->Color(CLyricsView::TextRole), QColor(128, 128, 255));
}

TEST_F(LyricsViewTest, TheFontIsWrittenAndUsed) {
    ASSERT_TRUE(view->LoadLyrics(writeLyric()));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(32);
    font.setWeight(QFont::Normal);
    font.setItalic(true);
    view->ApplyFont(font);
    EXPECT_EQ(readSetting(ConfigKey::LyricsFontHeight), 32);
    EXPECT_EQ(readSetting(ConfigKey::LyricsBold), 400);
    EXPECT_EQ(readSetting(ConfigKey::LyricsItalic), 1);
    EXPECT_EQ(readSetting(ConfigKey::LyricsCharSet), 134);
    EXPECT_EQ(readSetting(ConfigKey::LyricsFontName), "DejaVu Sans");
    EXPECT_EQ(view->LyricFont().pixelSize(), 32);
    EXPECT_TRUE(view->LyricFont().italic());
}

TEST_F(LyricsViewTest, AFontChosenByPointsKeepsItsSizeAcrossVisitsOfTheChooser) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(18);
    view->ApplyFont(font);
    const int stored = readSetting(ConfigKey::LyricsFontHeight);
    EXPECT_EQ(stored, QFontInfo(font).pixelSize());
    // The chooser opens with the stored font and returns it in points again.
    QFont again = view->LyricFont();
    again.setPointSizeF(QFontInfo(view->LyricFont()).pointSizeF());
    view->ApplyFont(again);
    EXPECT_EQ(readSetting(ConfigKey::LyricsFontHeight), stored);
}

TEST_F(LyricsViewTest, EditLyricOpensTheCurrentSongsLibraryFileInTheUsersEditor) {
    // The "editor" writes down what it was asked to open.
    const std::string editor = folder.file("editor.sh");
    const std::string record = folder.file("opened.txt");
    writeBytes(editor, "#!/bin/sh\nprintf '%s' \"$1\" > '" + record + "'\n");
    std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
    const char* old = std::getenv("VISUAL");
    const std::string saved = old != nullptr ? old : "";
    setenv("VISUAL", editor.c_str(), 1);
    doc->m_curSong = 0;
    ASSERT_TRUE(view->LoadLyrics(writeLyric()));
    view->OnCommand(kCmdEditLyric);
    const bool opened = processEventsUntil([&] { return std::filesystem::exists(record); });
    old != nullptr ? setenv("VISUAL", saved.c_str(), 1) : unsetenv("VISUAL");
    ASSERT_TRUE(opened);
    processEventsUntil([&] { return !readBytes(record).empty(); });
    EXPECT_EQ(readBytes(record), folder.path() + "MyLyrics/歌手/歌名.lrc");
}

TEST_F(LyricsViewTest, ModeCommandsAreNotStored) {
    view->OnCommand(kCmdModeAlternate);
    EXPECT_EQ(view->DisplayMode(), CLyricsView::TwoLine);
    view->OnCommand(kCmdModeScroll);
    EXPECT_EQ(view->DisplayMode(), CLyricsView::MultiLine);
    view->OnCommand(kCmdModeAlternate);
    makeView();
    EXPECT_EQ(view->DisplayMode(), CLyricsView::MultiLine);
}

// The leftmost and rightmost columns of a row band holding the colour; {-1, -1} for none.
std::pair<int, int> columnsOf(const QImage& image, int top, int height, QRgb color) {
    std::pair<int, int> span{-1, -1};
    for (int x = 0; x < image.width(); ++x) {
        if (countPixels(image.copy(x, 0, 1, image.height()), top, height, color) > 0) {
            span.first = span.first < 0 ? x : span.first;
            span.second = x;
        }
    }
    return span;
}

TEST_F(LyricsViewTest, AWordTimedLineWipesAcrossItsWordsInBothModes) {
    // Two equal words: the first lit over 0-1 s, the second over 1-2 s.
    const std::string path = folder.file("words.lrc");
    writeBytes(path, "[00:00.00]<00:00.00>MMMM<00:01.00>MMMM<00:02.00>\n[00:10.00]next\n");
    ASSERT_TRUE(view->LoadLyrics(path));
    const int th = view->TextHeight();
    const auto band = [&] { return view->ScrollY(); };

    view->UpdatePosition(0);
    QImage image = render();
    // Nothing lit yet: the whole line (no tag text) in the normal colour on the band.
    const auto [left, right] = columnsOf(image, band(), th, kRed);
    ASSERT_GT(right - left, 50);
    EXPECT_EQ(countPixels(image, band(), th, kBlue), 0);
    const int width = right - left;

    view->UpdatePosition(500);  // a quarter of the line
    image = render();
    auto blue = columnsOf(image, band(), th, kBlue);
    auto red = columnsOf(image, band(), th, kRed);
    EXPECT_NEAR(blue.first, left, 3);
    EXPECT_NEAR(blue.second, left + width / 4, width / 10);
    EXPECT_NEAR(red.first, left + width / 4, width / 10);
    EXPECT_EQ(red.second, right);

    view->UpdatePosition(1500);  // three quarters
    image = render();
    blue = columnsOf(image, band(), th, kBlue);
    EXPECT_NEAR(blue.second, left + 3 * width / 4, width / 10);
    EXPECT_EQ(columnsOf(image, band(), th, kRed).second, right);

    view->OnCommand(kCmdModeAlternate);
    view->UpdatePosition(2500);  // done: lit whole, like a line without word times
    image = render();
    const int row = LyricsLayout::twoLineRowY(300, th, 0);
    EXPECT_EQ(columnsOf(image, row, th, kBlue), std::make_pair(left, right));
    EXPECT_EQ(countPixels(image, row, th, kRed), 0);

    // The README's picture of the wipe.
    if (const char* shot = std::getenv("VOCALIA_WIPE_SCREENSHOT")) {
        writeBytes(path,
                   "[00:00.00]一闪一闪亮晶晶\n"
                   "[00:04.00]<00:04.00>满<00:04.50>天<00:05.00>都<00:05.50>是<00:06.00>小"
                   "<00:06.50>星<00:07.00>星<00:08.00>\n[00:08.00]挂在天上放光明\n"
                   "[00:12.00]好像许多小眼睛\n");
        view->OnCommand(kCmdModeScroll);
        view->ApplyTheme(kCmdThemeSunshine);
        view->resize(640, 360);
        ASSERT_TRUE(view->LoadLyrics(path));
        view->UpdatePosition(5800);
        view->grab().save(QString::fromLocal8Bit(shot));
    }
}

TEST_F(LyricsViewTest, ALineWithBrokenWordTagsShowsLikeAPlainLine) {
    const std::string broken = folder.file("broken.lrc");
    writeBytes(broken, "[00:00.00]<00:00.00>MM<00:0x.00>MM\n[00:10.00]<00:09.00>ab<00:08.00>cd\n");
    const std::string plain = folder.file("plain.lrc");
    writeBytes(plain, "[00:00.00]MMMM\n[00:10.00]abcd\n");
    for (const int position : {500, 10500}) {
        ASSERT_TRUE(view->LoadLyrics(broken));
        view->UpdatePosition(position);
        const QImage shown = render();
        ASSERT_TRUE(view->LoadLyrics(plain));
        view->UpdatePosition(position);
        EXPECT_EQ(shown, render()) << position;
    }
}

TEST_F(LyricsViewTest, TheScreenDrivesTheWipeOnlyWhilePlayingNearTimedWords) {
    const std::string path = folder.file("words.lrc");
    writeBytes(path,
               "[00:00.00]plain\n[00:05.00]<00:05.00>a<00:06.00>b\n[00:10.00]plain\n"
               "[00:20.00]plain\n");
    ASSERT_TRUE(view->LoadLyrics(path));
    view->UpdatePosition(1000);  // stopped
    EXPECT_FALSE(view->FollowsFrames());
    doc->m_playState = kPlaying;
    view->UpdatePosition(1000);  // the next line has word times
    EXPECT_TRUE(view->FollowsFrames());
    view->UpdatePosition(5500);
    EXPECT_TRUE(view->FollowsFrames());
    view->UpdatePosition(15000);
    EXPECT_FALSE(view->FollowsFrames());
    view->UpdatePosition(5500);
    doc->m_playState = kPaused;
    view->UpdatePosition(5500);
    EXPECT_FALSE(view->FollowsFrames());
}

TEST_F(LyricsViewTest, AMidiKaraokeSongShowsItsWordsSyllableBySyllable) {
    SmfWriter smf(480);
    smf.track().tempo(0, 1000000);  // a quarter note a second
    smf.track().text(0, "@TSong").text(0, "\\MMM").text(480, "MMM").text(480, "/next");
    const std::string song = folder.file("song.kar");
    writeBytes(song, smf.bytes());
    ASSERT_TRUE(view->LoadLyrics(song));
    view->UpdatePosition(1500);  // in the second syllable
    const QImage image = render();
    const int th = view->TextHeight();
    const auto blue = columnsOf(image, view->ScrollY(), th, kBlue);
    const auto red = columnsOf(image, view->ScrollY(), th, kRed);
    ASSERT_GE(blue.first, 0);
    ASSERT_GE(red.first, 0);
    EXPECT_LT(blue.second, red.first + 3);

    SmfWriter silent;
    silent.track().raw(0, "\x90\x3C\x64");
    writeBytes(song, silent.bytes());
    EXPECT_FALSE(view->LoadLyrics(song));
    EXPECT_EQ(view->CurrentState(), CLyricsView::ShowNoLyrics);
}

}  // namespace
