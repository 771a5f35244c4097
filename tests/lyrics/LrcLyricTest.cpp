#include <gtest/gtest.h>

#include "lyrics/LrcLyric.h"
#include "shell/TextCodec.h"
#include "tests/support/TestSupport.h"

namespace {

LrcLyric parse(const std::string& text) {
    LrcLyric lyric;
    lyric.Parse(text);
    return lyric;
}

std::vector<int> starts(const LrcLyric& lyric) {
    std::vector<int> result;
    for (const LyricLine& line : lyric.Lines()) {
        result.push_back(line.Start);
    }
    return result;
}

TEST(LrcLyricTest, TimeTagsReadMinutesSecondsAndTwoFractionDigits) {
    EXPECT_EQ(starts(parse("[00:12.34]a")), std::vector<int>{12340});
    EXPECT_EQ(starts(parse("[00:12]a")), std::vector<int>{12000});
    EXPECT_EQ(starts(parse("[00:12.345]a")), std::vector<int>{12340});
    EXPECT_EQ(starts(parse("[00:12.5]a")), std::vector<int>{12050});
    EXPECT_EQ(starts(parse("[01:02:03]a")), std::vector<int>{62000});
    EXPECT_EQ(starts(parse("[00:75.00]a")), std::vector<int>{75000});
    EXPECT_EQ(starts(parse("[99:99.99]a")), std::vector<int>{99 * 60000 + 99 * 1000 + 990});
    // One-digit fields are not time tags: their tokens are words without a pending time.
    EXPECT_TRUE(parse("[1:02.00]a[00:5.25]b").Lines().empty());
}

TEST(LrcLyricTest, PendingTagsShareTheirWordsAndHeaderTagsAreDropped) {
    const LrcLyric lyric =
        parse("[ti:Song][ar:Who]\r\n[00:10.00][00:20.00]Same\r\n[00:05.00][ti:X]");
    ASSERT_EQ(lyric.Lines().size(), 3u);
    EXPECT_EQ(lyric.Lines()[0].Start, 5000);
    EXPECT_EQ(lyric.Lines()[0].Text, "ti:X");
    EXPECT_EQ(lyric.Lines()[1].Text, "Same\n");
    EXPECT_EQ(lyric.Lines()[2].Start, 20000);
    EXPECT_EQ(lyric.Lines()[2].Text, "Same\n");
    EXPECT_EQ(lyric.Lines()[0].End, 10000);
    EXPECT_EQ(lyric.Lines()[2].End, 20500);
    EXPECT_EQ(lyric.MaxTextBytes(), 5);
}

TEST(LrcLyricTest, OffsetTagsKeepThePendingRun) {
    const LrcLyric lyric = parse("[00:01.00][offset:500][00:02.00]x[offset:-300]");
    EXPECT_EQ(lyric.Offset(), -300);
    ASSERT_EQ(lyric.Lines().size(), 2u);
    EXPECT_EQ(lyric.Lines()[0].Text, "x");
    EXPECT_EQ(parse("[Offset:500][00:01.00]y").Offset(), 0);
    EXPECT_EQ(parse("[offset:99999999999999]").Offset(), 2147483647);
}

TEST(LrcLyricTest, EqualTimesKeepFileOrderAndLastLineEndsHalfASecondLater) {
    const LrcLyric lyric = parse("[00:03.00]first[00:03.00]second[00:04.00]");
    ASSERT_EQ(lyric.Lines().size(), 3u);
    EXPECT_EQ(lyric.Lines()[0].Text, "first");
    EXPECT_EQ(lyric.Lines()[0].End, 3000);
    EXPECT_EQ(lyric.Lines()[1].Text, "second");
    EXPECT_EQ(lyric.Lines()[2].Text, "");
    EXPECT_EQ(lyric.Lines()[2].End, 4500);
}

TEST(LrcLyricTest, FindCurrentLineFollowsPositionAndGlobalOffset) {
    const LrcLyric lyric = parse("[00:10.00]a[00:20.00]b[00:30.00]c");
    EXPECT_EQ(lyric.FindCurrentLine(0, 0, -1), 0);
    EXPECT_EQ(lyric.FindCurrentLine(9499, 500, -1), 0);
    EXPECT_EQ(lyric.FindCurrentLine(19500, 500, 0), 1);
    EXPECT_EQ(lyric.FindCurrentLine(25000, 0, 0), 1);
    EXPECT_EQ(lyric.FindCurrentLine(30499, 0, 1), 2);
    EXPECT_EQ(lyric.FindCurrentLine(30501, 0, 1), 2);
    // Exactly at the last End no rule fits: the previous index stays.
    EXPECT_EQ(lyric.FindCurrentLine(30500, 0, 1), 1);
    EXPECT_EQ(lyric.FindCurrentLine(2147483647, 2147483647, 1), 2);
    // A line whose End equals its Start is never chosen inside the range.
    const LrcLyric twins = parse("[00:01.00]a[00:01.00]b[00:02.00]c");
    EXPECT_EQ(twins.FindCurrentLine(1000, 0, -1), 1);
}

TEST(LrcLyricTest, EncodingsGiveTheSameLines) {
    TempDir dir;
    const std::string utf8 =
        "[ar:歌手]\r\n[00:01.00]月亮代表我的心\r\n[00:02.50]你问我爱你有多深\r\n";
    writeBytes(dir.file("u.lrc"), utf8);
    writeBytes(dir.file("b.lrc"), "\xEF\xBB\xBF" + utf8);
    writeBytes(dir.file("g.lrc"), TextCodec::utf8ToGbk(utf8));
    LrcLyric u, b, g;
    ASSERT_TRUE(u.Load(dir.file("u.lrc")));
    ASSERT_TRUE(b.Load(dir.file("b.lrc")));
    ASSERT_TRUE(g.Load(dir.file("g.lrc")));
    ASSERT_EQ(u.Lines().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(b.Lines()[i].Text, u.Lines()[i].Text);
        EXPECT_EQ(g.Lines()[i].Text, u.Lines()[i].Text);
    }
    EXPECT_EQ(u.Lines()[0].Text, "月亮代表我的心\n");
    EXPECT_EQ(u.MaxTextBytes(), static_cast<int>(std::string("你问我爱你有多深\n").size()));
}

TEST(LrcLyricTest, GbkTrailByteThatLooksLikeABracketDoesNotCutTheLine) {
    // 乚 is 0x81 0x5D in GBK: its second byte is "]".
    const std::string gbk = TextCodec::utf8ToGbk("[00:01.00]乚り[00:02.00]x");
    ASSERT_NE(gbk.find(']', 10), std::string::npos);
    const LrcLyric lyric = parse(gbk);
    ASSERT_EQ(lyric.Lines().size(), 2u);
    EXPECT_EQ(lyric.Lines()[0].Text, "乚り");
}

TEST(LrcLyricTest, UnreadableAndUntimedFiles) {
    TempDir dir;
    LrcLyric missing;
    EXPECT_FALSE(missing.Load(dir.file("none.lrc")));
    EXPECT_FALSE(missing.Load(dir.path()));
    writeBytes(dir.file("t.txt"), "just words: no tags\n");
    LrcLyric plain;
    EXPECT_TRUE(plain.Load(dir.file("t.txt")));
    EXPECT_TRUE(plain.Lines().empty());
    EXPECT_EQ(plain.MaxTextBytes(), 0);
    EXPECT_EQ(plain.FindCurrentLine(100, 0, -1), -1);
    // A NUL byte ends the text.
    EXPECT_EQ(parse(std::string("[00:01.00]a\0[00:02.00]b", 23)).Lines().size(), 1u);
}

TEST(LrcLyricTest, HostileInputStaysBounded) {
    std::string manyTags;
    for (int i = 0; i < 10000; ++i) {
        manyTags += "[00:01.00]";
    }
    const LrcLyric tags = parse(manyTags + std::string(100000, 'w'));
    ASSERT_EQ(tags.Lines().size(), 10000u);
    EXPECT_EQ(tags.MaxTextBytes(), static_cast<int>(kMaxLyricTextBytes));
    const LrcLyric huge = parse("[00:01.00]" + std::string(5000, 'x') + "中");
    EXPECT_LE(huge.Lines()[0].Text.size(), kMaxLyricTextBytes);
    // A 50 MB file of one line.
    const LrcLyric oneLine = parse("[00:01.00]" + std::string(50 << 20, 'x'));
    ASSERT_EQ(oneLine.Lines().size(), 1u);
    EXPECT_EQ(oneLine.Lines()[0].Text.size(), kMaxLyricTextBytes);
    const LrcLyric binary = parse(std::string("\xFF\xFE[\x80:]]]][[[:\x01", 13));
    EXPECT_TRUE(binary.Lines().empty());
}

TEST(ReadTagHeadTest, ReadsSingerAndTitleFromTheFirstHundredBytes) {
    EXPECT_EQ(ReadTagHeadFromBytes("[ti: Title ]\r\n[ar:  Some One. \t]\r\n"),
              (SingerTitle{"Some One", "Title"}));
    EXPECT_EQ(ReadTagHeadFromBytes("[ar:A...]"), (SingerTitle{"A", ""}));
    EXPECT_EQ(ReadTagHeadFromBytes("[ar: Jay . ][ti:T]"), (SingerTitle{"Jay", "T"}));
    EXPECT_EQ(ReadTagHeadFromBytes("[ar:Mr. Big]"), (SingerTitle{"Mr. Big", ""}));
    EXPECT_EQ(ReadTagHeadFromBytes("[ar:unclosed"), (SingerTitle{"", ""}));
    const std::string late = std::string(97, ' ') + "[ar:X][ti:Y]";
    EXPECT_EQ(ReadTagHeadFromBytes(late), (SingerTitle{"", ""}));
    EXPECT_EQ(ReadTagHeadFromBytes(TextCodec::utf8ToGbk("[ar:邓丽君][ti:乚]")),
              (SingerTitle{"邓丽君", "乚"}));
    EXPECT_EQ(ReadTagHeadFromBytes("\xEF\xBB\xBF[ar:歌手][ti:歌]"), (SingerTitle{"歌手", "歌"}));
}

TEST(ReadTagHeadTest, AUtf8CharacterCutByTheLimitDoesNotTurnTheHeadIntoGbk) {
    // 33 three-byte characters put the hundredth byte inside the 34th.
    std::string title;
    for (int i = 0; i < 33; ++i) {
        title += "歌";
    }
    const std::string head = "[ar:A]" + title + "歌]";
    EXPECT_EQ(ReadTagHeadFromBytes(head).singer, "A");
    TempDir dir;
    writeBytes(dir.file("a.lrc"), "[ti:T][ar:S.]");
    EXPECT_EQ(ReadTagHead(dir.file("a.lrc")), (SingerTitle{"S", "T"}));
    EXPECT_EQ(ReadTagHead(dir.file("none.lrc")), (SingerTitle{}));
}

}  // namespace
