#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lyriceditor/TapDraft.h"
#include "lyrics/LrcLyric.h"

namespace {

using Units = std::vector<std::string>;

std::vector<Units> unitsOf(std::string_view text) {
    std::vector<Units> lines;
    for (const TapLine& line : splitTapLines(text)) {
        lines.push_back(line.units);
    }
    return lines;
}

TEST(SplitTapLines, LatinWordsKeepTheirBlanksAndCjkTextSplitsPerCharacter) {
    EXPECT_EQ(unitsOf("Twinkle twinkle,  little star"),
              (std::vector<Units>{{"Twinkle ", "twinkle,  ", "little ", "star"}}));
    // Punctuation stays with the character before it, also full-width and after a blank.
    EXPECT_EQ(unitsOf("月亮，代表 我！"),
              (std::vector<Units>{{"月", "亮，", "代", "表 ", "我！"}}));
    // Mixed text, digits, an opening quote and kana.
    EXPECT_EQ(unitsOf("“我爱you 2次”さくら"),
              (std::vector<Units>{{"“我", "爱", "you ", "2", "次”", "さ", "く", "ら"}}));
    EXPECT_EQ(unitsOf("don't-stop"), (std::vector<Units>{{"don't-stop"}}));
}

TEST(SplitTapLines, LinesAreTrimmedAndBlankLinesDropped) {
    EXPECT_EQ(unitsOf("\r\n  first line \r\n\r\n\t\n　第二句　\n"),
              (std::vector<Units>{{"first ", "line"}, {"第", "二", "句"}}));
    EXPECT_TRUE(splitTapLines("").empty());
    EXPECT_TRUE(splitTapLines(" \n\r\n　").empty());
}

TEST(TapDraft, LineTapsStampEachLineAndNeverGoBackInTime) {
    TapDraft draft(splitTapLines("第一句\n第二句\n第三句"), TapDraft::Mode::Lines);
    EXPECT_EQ(draft.Current().line, -1);
    EXPECT_TRUE(draft.Tap(1234));
    EXPECT_TRUE(draft.Tap(5678));
    // A replay put the song before the last stamp; within the same hundredth is no step back.
    EXPECT_FALSE(draft.Tap(5000));
    EXPECT_TRUE(draft.Tap(5679));
    EXPECT_TRUE(draft.Finished());
    EXPECT_FALSE(draft.Tap(9000));
    EXPECT_EQ(draft.Current().line, 2);
    const auto rows = draft.Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].TagText() + rows[0].words, "[00:01.23]第一句");
    EXPECT_EQ(rows[1].TagText() + rows[1].words, "[00:05.67]第二句");
    EXPECT_EQ(rows[2].TagText() + rows[2].words, "[00:05.67]第三句");

    // Stepping back frees the line and gives its start; a middle save holds the tapped lines.
    EXPECT_EQ(draft.StepBack(), 5670);
    EXPECT_EQ(draft.Rows().size(), 2u);
    EXPECT_EQ(draft.StepBack(), 5670);
    EXPECT_EQ(draft.StepBack(), 1230);
    EXPECT_EQ(draft.StepBack(), std::nullopt);
    EXPECT_TRUE(draft.Rows().empty());
    EXPECT_TRUE(draft.Modified());
    draft.MarkSaved();
    EXPECT_FALSE(draft.Modified());
}

TEST(TapDraft, WordTapsStampWordsAcrossLinesAndStepBackDropsTheWholeLastLine) {
    TapDraft draft(splitTapLines("Twin kle\n月亮"), TapDraft::Mode::Words);
    for (const int64_t ms : {1000, 1400, 2000}) {
        EXPECT_TRUE(draft.Tap(ms));
    }
    EXPECT_EQ(draft.Current().line, 1);
    EXPECT_EQ(draft.Current().unit, 0);
    auto rows = draft.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].TagText() + rows[0].words, "[00:01.00]<00:01.00>Twin <00:01.40>kle");
    // The line not finished yet keeps its other words after the last stamp.
    EXPECT_EQ(rows[1].TagText() + rows[1].words, "[00:02.00]<00:02.00>月亮");

    EXPECT_TRUE(draft.Tap(2500));
    EXPECT_TRUE(draft.Finished());
    EXPECT_EQ(draft.StepBack(), 2000);
    EXPECT_EQ(draft.Stamps(), 2u);
    EXPECT_EQ(draft.Current().unit, 1);
    EXPECT_EQ(draft.StepBack(), 1000);
    EXPECT_EQ(draft.Stamps(), 0u);
}

TEST(TapDraft, WordTimedRowsReadBackInThePlayersModel) {
    TapDraft draft(splitTapLines("Twinkle twinkle\n一闪一闪"), TapDraft::Mode::Words);
    for (const int64_t ms : {12000, 12400, 15000, 15300, 15600, 15900}) {
        ASSERT_TRUE(draft.Tap(ms));
    }
    LrcLyric lyric;
    lyric.Parse(lrcFileText({"t", "a", "m"}, draft.Rows()));
    ASSERT_EQ(lyric.Lines().size(), 2u);
    const LyricLine& first = lyric.Lines()[0];
    EXPECT_EQ(first.Start, 12000);
    EXPECT_EQ(first.ShownText(), "Twinkle twinkle");
    ASSERT_EQ(first.Words.size(), 2u);
    EXPECT_EQ(first.Words[1].Start, 12400);
    EXPECT_EQ(first.ShownText().substr(first.Words[1].Begin, first.Words[1].Length), "twinkle");
    const LyricLine& second = lyric.Lines()[1];
    EXPECT_EQ(second.ShownText(), "一闪一闪");
    ASSERT_EQ(second.Words.size(), 4u);
    EXPECT_EQ(second.Words[3].Start, 15900);
    EXPECT_EQ(second.ShownText().substr(second.Words[2].Begin, second.Words[2].Length), "一");
}

}  // namespace
