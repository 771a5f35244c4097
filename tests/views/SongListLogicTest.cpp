#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "library/ui/SongCategories.h"
#include "library/ui/SongListRules.h"
#include "lyrics/ui/LyricsLayout.h"
#include "tests/views/ProgramFolderFixture.h"

namespace {

using SongCategoriesTest = ProgramFolderFixture;

TEST_F(SongCategoriesTest, CountOfZeroOrLessGivesTwoDefaultTabs) {
    for (int stored : {0, -3}) {
        writeSetting(ConfigKey::TabNum, stored);
        SongCategories categories;
        categories.Load();
        EXPECT_EQ(categories.Names(), (std::vector<std::string>{"歌曲列表1", "歌曲列表2"}));
    }
}

TEST_F(SongCategoriesTest, ADamagedCountDoesNotStallTheStartWithMillionsOfTabs) {
    writeSetting(ConfigKey::TabNum, 2147483647);
    SongCategories categories;
    categories.Load();
    EXPECT_EQ(categories.Count(), 1000);
    EXPECT_EQ(categories.Name(999), "歌曲列表1000");
}

TEST_F(SongCategoriesTest, StoredNamesNeverMakeACategoryDisappear) {
    writeSetting(ConfigKey::TabNum, 4);
    theSettings.WriteString("Tab", "Cat0", "流行");
    theSettings.WriteString("Tab", "Cat1", "");
    theSettings.WriteString("Tab", "Cat2", std::string(40, 'x').c_str());
    SongCategories categories;
    categories.Load();
    ASSERT_EQ(categories.Count(), 4);
    EXPECT_EQ(categories.Name(0), "流行");
    EXPECT_EQ(categories.Name(1), "歌曲列表2");
    EXPECT_EQ(categories.Name(2), std::string(30, 'x'));
    EXPECT_EQ(categories.Name(3), "歌曲列表4");
}

TEST_F(SongCategoriesTest, NamesAreCutAtThirtyCharactersNotBytes) {
    std::string chinese;
    for (int i = 0; i < 35; ++i) {
        chinese += "歌";
    }
    const std::string cut = SongCategories::LimitName(chinese);
    EXPECT_EQ(cut.size(), 30U * 3);
    EXPECT_EQ(SongCategories::LimitName("短名"), "短名");
    // A character outside the basic plane counts once and is never split.
    std::string emoji;
    for (int i = 0; i < 31; ++i) {
        emoji += "\xF0\x9F\x8E\xA4";
    }
    EXPECT_EQ(SongCategories::LimitName(emoji).size(), 30U * 4);
}

TEST_F(SongCategoriesTest, AppendRenameAndSaveComeBackAtTheNextStart) {
    SongCategories categories;
    categories.Load();
    EXPECT_EQ(categories.Append(), 2);
    EXPECT_EQ(categories.Name(2), "歌曲列表3");
    EXPECT_TRUE(categories.Rename(0, "我的最爱"));
    EXPECT_FALSE(categories.Rename(1, ""));
    EXPECT_FALSE(categories.Rename(7, "x"));
    categories.Save();

    SongCategories next;
    next.Load();
    EXPECT_EQ(next.Names(), (std::vector<std::string>{"我的最爱", "歌曲列表2", "歌曲列表3"}));
}

TEST_F(SongCategoriesTest, RemoveRenumbersTheLaterFilesSoEachKeepsItsList) {
    writeSetting(ConfigKey::TabNum, 4);
    SongCategories categories;
    categories.Load();
    writeBytes(categoryFile(0), "zero");
    writeBytes(categoryFile(1), "one");
    // Category 2 was never saved: after the move no stale file may stand at its new number.
    writeBytes(categoryFile(3), "three");

    EXPECT_EQ(categories.Remove(1), 1);
    EXPECT_EQ(categories.Names(),
              (std::vector<std::string>{"歌曲列表1", "歌曲列表3", "歌曲列表4"}));
    EXPECT_EQ(readBytes(categoryFile(0)), "zero");
    EXPECT_FALSE(std::filesystem::exists(categoryFile(1)));
    EXPECT_EQ(readBytes(categoryFile(2)), "three");
    EXPECT_FALSE(std::filesystem::exists(categoryFile(3)));

    // Removing the last category selects the one before it.
    EXPECT_EQ(categories.Remove(2), 1);
    EXPECT_FALSE(std::filesystem::exists(categoryFile(2)));
}

TEST_F(SongCategoriesTest, TheOnlyCategoryCannotBeRemoved) {
    writeSetting(ConfigKey::TabNum, 1);
    SongCategories categories;
    categories.Load();
    writeBytes(categoryFile(0), "zero");
    EXPECT_EQ(categories.Remove(0), -1);
    EXPECT_EQ(categories.Count(), 1);
    EXPECT_EQ(readBytes(categoryFile(0)), "zero");
}

TEST(SongListRulesTest, DropAcceptsExactlyTheMusicExtensions) {
    for (const char* name :
         {"a.mp3", "a.MP3", "a.wma", "a.WMA", "a.wav", "a.WAV", "a.mid", "a.MID", "a.kar", "a.KAR",
          "a.ASF", "/x/y.asf", "a.cdg", "a.CDG", "a.zip", "a.ZIP"}) {
        EXPECT_TRUE(SongListRules::IsDroppableMusicFile(name)) << name;
    }
    for (const char* name :
         {"a.Mp3", "a.mP3", "a.Asf", "a.Kar", "a.ogg", "a.midi", "mp3", "", "a.mp3.txt", "a.Zip"}) {
        EXPECT_FALSE(SongListRules::IsDroppableMusicFile(name)) << name;
    }
}

TEST(SongListRulesTest, RemoveRowsTakesTheSelectedEntriesWhateverTheirOrder) {
    std::vector<std::string> items{"a", "b", "c", "d", "e"};
    SongListRules::RemoveRows(items, {3, 0, 3, 9, -1});
    EXPECT_EQ(items, (std::vector<std::string>{"b", "c", "e"}));
}

TEST(SongListRulesTest, PlayingMarkFollowsTheSwappedEntry) {
    EXPECT_EQ(SongListRules::FollowSwap(2, 2, 3), 3);
    EXPECT_EQ(SongListRules::FollowSwap(3, 2, 3), 2);
    EXPECT_EQ(SongListRules::FollowSwap(0, 2, 3), 0);
    EXPECT_EQ(SongListRules::FollowSwap(-1, 2, 3), -1);
}

TEST(SongListRulesTest, RowNumbersFollowTheirEntriesAcrossARemoval) {
    bool removed = true;
    EXPECT_EQ(SongListRules::FollowRemoval(4, {0, 2, 2, 9}, &removed), 2);
    EXPECT_FALSE(removed);
    EXPECT_EQ(SongListRules::FollowRemoval(2, {0, 2}, &removed), 0);
    EXPECT_TRUE(removed);
    EXPECT_EQ(SongListRules::FollowRemoval(0, {0}), -1);
    EXPECT_EQ(SongListRules::FollowRemoval(1, {3, 4}), 1);
    EXPECT_EQ(SongListRules::FollowRemoval(-1, {0}), -1);
}

TEST(SongListRulesTest, LetterJumpSearchesAfterTheSelectionAndWrapsRound) {
    const std::string initials = "ZBAYB";
    const auto initialOf = [&](int row) { return initials[static_cast<size_t>(row)]; };
    const int n = static_cast<int>(initials.size());
    EXPECT_EQ(SongListRules::FindByInitial(n, -1, 'B', initialOf), 1);
    EXPECT_EQ(SongListRules::FindByInitial(n, 1, 'B', initialOf), 4);
    EXPECT_EQ(SongListRules::FindByInitial(n, 4, 'B', initialOf), 1);
    EXPECT_EQ(SongListRules::FindByInitial(n, 3, 'Z', initialOf), 0);
    // The selected row itself is not examined again.
    EXPECT_EQ(SongListRules::FindByInitial(n, 2, 'A', initialOf), -1);
    EXPECT_EQ(SongListRules::FindByInitial(n, -1, 'Q', initialOf), -1);
    EXPECT_EQ(SongListRules::FindByInitial(0, -1, 'A', initialOf), -1);
}

TEST(LyricsLayoutTest, MultiLineScrollMovesTheCurrentLineUpWhileItRuns) {
    // th 14, client height 300, line 3 from 10000 to 14000 at 12000: 150 - 57 + 7.
    EXPECT_EQ(LyricsLayout::multiLineScrollY(300, 14, 3, 10000, 14000, 12000), 100);
    EXPECT_EQ(LyricsLayout::multiLineScrollY(300, 14, 3, 10000, 14000, 10000), 150 - 57 + 14);
    EXPECT_EQ(LyricsLayout::multiLineScrollY(300, 14, 3, 10000, 14000, 14000), 150 - 57);
    // A line without duration adds nothing; past the end of the last line it keeps moving up.
    EXPECT_EQ(LyricsLayout::multiLineScrollY(300, 14, 1, 5000, 5000, 9000), 150 - 19);
    EXPECT_EQ(LyricsLayout::multiLineScrollY(300, 14, 0, 0, 500, 1500), 150 - 28);
    // Positions far beyond the line do not overflow.
    EXPECT_EQ(LyricsLayout::multiLineScrollY(300, 14, 0, 0, 1, -2000000000), INT32_MAX);
}

TEST(LyricsLayoutTest, TwoLineRowsAlternateBetweenLowerAndUpper) {
    EXPECT_EQ(LyricsLayout::twoLineRowY(300, 14, 0), 150);
    EXPECT_EQ(LyricsLayout::twoLineRowY(300, 14, 1), 131);
    EXPECT_EQ(LyricsLayout::twoLineRowY(300, 14, 2), 150);
}

}  // namespace
