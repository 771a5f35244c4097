#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "lyriceditor/LrcDraft.h"
#include "lyriceditor/LrcSaveRun.h"
#include "lyrics/LrcLyric.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(LrcTimeTag, CutsThePositionIntoMinutesSecondsAndHundredths) {
    const struct {
        int64_t ms;
        const char* tag;
    } cases[] = {
        {0, "[00:00.00]"},       {9, "[00:00.00]"},        {7050, "[00:07.05]"},
        {59999, "[00:59.99]"},   {60000, "[01:00.00]"},    {65432, "[01:05.43]"},
        {5999999, "[99:59.99]"}, {6000000, "[100:00.00]"}, {-20, "[00:00.00]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lrcTimeTag(c.ms), c.tag) << c.ms;
    }
}

std::vector<std::string> tagsOf(const LrcDraft& draft, size_t row) {
    return draft.Rows().at(row).tags;
}

TEST(LrcDraft, EachLineGetsThePositionOfTheAddBeforeIt) {
    LrcDraft draft;
    EXPECT_EQ(draft.PendingTag(), "[00:00.00]");
    EXPECT_EQ(draft.AddLine("第一句", 3210), LrcDraft::AddResult::NewRow);
    EXPECT_EQ(draft.AddLine("第二句", 6540), LrcDraft::AddResult::NewRow);
    EXPECT_EQ(draft.PendingTag(), "[00:06.54]");
    ASSERT_EQ(draft.Rows().size(), 2u);
    EXPECT_EQ(draft.Rows()[0].words, "第一句");
    EXPECT_EQ(tagsOf(draft, 0), std::vector<std::string>{"[00:00.00]"});
    EXPECT_EQ(tagsOf(draft, 1), std::vector<std::string>{"[00:03.21]"});
}

TEST(LrcDraft, ASecondLineAtTheSameTimeIsRefusedAndChangesNothing) {
    LrcDraft draft;
    draft.AddLine("a", 1000);
    draft.AddLine("b", 1000);  // not playing in between: stamped with the first add's time
    EXPECT_EQ(draft.AddLine("c", 1000), LrcDraft::AddResult::SameTime);
    ASSERT_EQ(draft.Rows().size(), 2u);
    EXPECT_EQ(draft.PendingTag(), "[00:01.00]");
    // Once the song has moved on the refused line goes in, starting where the song stood.
    EXPECT_EQ(draft.AddLine("c", 4000), LrcDraft::AddResult::NewRow);
    EXPECT_EQ(draft.Rows()[2].TagText(), "[00:01.00]");
    EXPECT_EQ(draft.AddLine("d", 6000), LrcDraft::AddResult::NewRow);
    EXPECT_EQ(draft.Rows()[3].TagText(), "[00:04.00]");
}

TEST(LrcDraft, ALineAddedBeforePlayingDoesNotBlockTheNext) {
    LrcDraft draft;
    EXPECT_EQ(draft.AddLine("歌名", 0), LrcDraft::AddResult::NewRow);
    EXPECT_EQ(draft.AddLine("again", 0), LrcDraft::AddResult::SameTime);
    EXPECT_EQ(draft.AddLine("第一句", 5000), LrcDraft::AddResult::NewRow);
    EXPECT_EQ(draft.AddLine("第二句", 9000), LrcDraft::AddResult::NewRow);
    EXPECT_EQ(draft.Rows()[2].TagText(), "[00:05.00]");
}

TEST(LrcDraft, RepeatedWordsGatherTheirTagsOnTheFirstRow) {
    LrcDraft draft;
    draft.AddLine("副歌", 4000);
    draft.AddLine("间奏", 8000);
    EXPECT_EQ(draft.AddLine("副歌", 12000), LrcDraft::AddResult::Gathered);
    ASSERT_EQ(draft.Rows().size(), 2u);
    EXPECT_EQ(draft.Rows()[0].TagText(), "[00:00.00][00:08.00]");
    // A time already among a row's gathered tags starts no second line, nor twice the same.
    LrcDraft still;
    still.AddLine("x", 500);
    still.AddLine("x", 500);
    EXPECT_EQ(still.AddLine("y", 500), LrcDraft::AddResult::SameTime);
    EXPECT_EQ(still.AddLine("x", 900), LrcDraft::AddResult::Gathered);
    EXPECT_EQ(still.Rows()[0].TagText(), "[00:00.00][00:00.50]");
    // Empty words are words like any other.
    EXPECT_EQ(draft.AddLine("", 13000), LrcDraft::AddResult::NewRow);
    EXPECT_EQ(draft.AddLine("", 14000), LrcDraft::AddResult::Gathered);
    EXPECT_EQ(draft.Rows()[2].TagText(), "[00:12.00][00:13.00]");
}

TEST(LrcDraft, RenameKeepsTheRowWhenTheWordsAreEmptyAndTracksUnsavedChanges) {
    LrcDraft draft;
    EXPECT_FALSE(draft.Modified());
    draft.AddLine("wrong", 0);
    EXPECT_TRUE(draft.Modified());
    draft.MarkSaved();
    EXPECT_FALSE(draft.Rename(0, ""));
    EXPECT_FALSE(draft.Rename(1, "nowhere"));
    EXPECT_TRUE(draft.Rename(0, "wrong"));
    EXPECT_FALSE(draft.Modified());
    EXPECT_TRUE(draft.Rename(0, "right"));
    EXPECT_EQ(draft.Rows()[0].words, "right");
    EXPECT_TRUE(draft.Modified());
}

TEST(LrcFileText, HeaderLinesThenTagsAndWordsWithCrLf) {
    const LrcHeader header{"月亮", "歌手", "Vocalia"};
    EXPECT_EQ(lrcFileText(header, {}), "[ti:月亮]\r\n[ar:歌手]\r\n[by:Vocalia]\r\n");
    const std::vector<LrcRow> rows{{"a", {"[00:00.00]", "[00:09.50]"}}, {"b", {"[00:04.00]"}}};
    EXPECT_EQ(lrcFileText(header, rows),
              "[ti:月亮]\r\n[ar:歌手]\r\n[by:Vocalia]\r\n"
              "[00:00.00][00:09.50]a\r\n[00:04.00]b\r\n");
    // A pasted line break cannot start a line of its own.
    EXPECT_EQ(lrcFileText({"t\r\n[00:01.00]x", "a", "m"}, {{"w\nv", {"[00:02.00]"}}}),
              "[ti:t  [00:01.00]x]\r\n[ar:a]\r\n[by:m]\r\n[00:02.00]w v\r\n");
}

class RecordingObserver : public RunObserver {
public:
    void onProgress(int stringId, const std::string&) override { steps.push_back(stringId); }
    std::vector<int> steps;
};

class LrcSaveRunTest : public ::testing::Test {
protected:
    RunOutcome save(const std::string& path, const LrcDraft& draft) {
        return LrcSaveRun(observer).Run({path, {"海阔天空", "乐队", "Vocalia"}, draft.Rows()});
    }

    TempDir dir;
    RecordingObserver observer;
};

TEST_F(LrcSaveRunTest, SavedFileReadsBackInThePlayersLyricModel) {
    LrcDraft draft;
    draft.AddLine("今天我", 2500);
    draft.AddLine("寒夜里看雪飘过", 7050);
    draft.AddLine("今天我", 65432);
    draft.AddLine("", 70000);
    ASSERT_TRUE(save(dir.file("song.lrc"), draft).ok());
    EXPECT_EQ(observer.steps, (std::vector<int>{LrcSaveRun::kSavingText, LrcSaveRun::kSavedText}));

    LrcLyric lyric;
    ASSERT_TRUE(lyric.Load(dir.file("song.lrc")));
    std::vector<std::pair<int, std::string>> lines;
    for (const LyricLine& line : lyric.Lines()) {
        lines.emplace_back(line.Start, line.Text);
    }
    const std::vector<std::pair<int, std::string>> expected{
        {0, "今天我\n"}, {2500, "寒夜里看雪飘过\n"}, {7050, "今天我\n"}, {65430, "\n"}};
    EXPECT_EQ(lines, expected);
    const SingerTitle head = ReadTagHead(dir.file("song.lrc"));
    EXPECT_EQ(head.singer, "乐队");
    EXPECT_EQ(head.title, "海阔天空");
}

TEST_F(LrcSaveRunTest, IncompleteHeaderIsRefusedBeforeAnythingIsWritten) {
    const RunOutcome outcome =
        LrcSaveRun(observer).Run({dir.file("x.lrc"), {"title", "", "Vocalia"}, {}});
    EXPECT_EQ(outcome.error, "请填写完整的歌词信息!");
    EXPECT_TRUE(observer.steps.empty());
    struct stat st {};
    EXPECT_NE(stat(dir.file("x.lrc").c_str(), &st), 0);
}

TEST_F(LrcSaveRunTest, AFileThatCannotBeWrittenLeavesTheOldOneWhole) {
    // A name so long that no temporary file fits beside it: the write fails even for root.
    const std::string path = dir.file(std::string(250, 'n') + ".lrc");
    writeBytes(path, "[ti:old]\r\n");
    LrcDraft draft;
    draft.AddLine("new", 0);
    const RunOutcome outcome = save(path, draft);
    EXPECT_FALSE(outcome.ok());
    EXPECT_NE(outcome.error.find("保存歌词失败"), std::string::npos);
    EXPECT_EQ(readBytes(path), "[ti:old]\r\n");
    EXPECT_EQ(save(dir.file("missing/x.lrc"), draft).ok(), false);
}

}  // namespace
