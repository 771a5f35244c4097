#include <gtest/gtest.h>

#include "lyrics/LrcLyric.h"

namespace {

struct Word {
    std::string text;
    int start;
    int end;
    bool operator==(const Word&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Word& w) {
    return out << '{' << w.text << ' ' << w.start << '-' << w.end << '}';
}

std::vector<Word> words(const LyricLine& line) {
    std::vector<Word> result;
    for (const LyricWord& w : line.Words) {
        result.push_back(
            {line.ShownText().substr(static_cast<size_t>(w.Begin), static_cast<size_t>(w.Length)),
             w.Start, w.End});
    }
    return result;
}

std::vector<LyricLine> parse(const std::string& text) {
    LrcLyric lyric;
    lyric.Parse(text);
    return lyric.Lines();
}

TEST(LyricWordsTest, WordTagsTimeTheWordsAndLeaveTheLineModelAlone) {
    const std::vector<LyricLine> lines = parse(
        "[00:12.00]<00:12.00>Twin<00:12.40>kle <00:12.90>twin<00:13.5>kle<00:14.000>\r\n"
        "[00:20.00]<00:20.00>lit<00:20.50>tle\r\n[00:21.00]plain\r\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].Start, 12000);
    EXPECT_EQ(lines[0].End, 20000);
    EXPECT_EQ(lines[0].Text, "<00:12.00>Twin<00:12.40>kle <00:12.90>twin<00:13.5>kle<00:14.000>\n");
    EXPECT_EQ(lines[0].ShownText(), "Twinkle twinkle");
    // The closing tag ends the last word.
    EXPECT_EQ(words(lines[0]), (std::vector<Word>{{"Twin", 12000, 12400},
                                                  {"kle ", 12400, 12900},
                                                  {"twin", 12900, 13500},
                                                  {"kle", 13500, 14000}}));
    // Without one it is lit over at most a second, and not past the next line.
    EXPECT_EQ(words(lines[1]), (std::vector<Word>{{"lit", 20000, 20500}, {"tle", 20500, 21000}}));
    EXPECT_FALSE(lines[2].Tagged);
    EXPECT_TRUE(lines[2].Words.empty());
    EXPECT_EQ(lines[2].ShownText(), "plain\n");
}

TEST(LyricWordsTest, PausesLeadingTextAndRepeatedLines) {
    // An empty word is a pause: the word before it ends there.
    EXPECT_EQ(words(parse("[00:01.00]<00:01.00>a<00:02.00><00:03.00>b<00:04.00>")[0]),
              (std::vector<Word>{{"a", 1000, 2000}, {"b", 3000, 4000}}));
    // Text before the first tag is lit when the timed words begin.
    EXPECT_EQ(words(parse("[00:01.00]Oh <00:01.50>yes<00:02.00>")[0]),
              (std::vector<Word>{{"Oh ", 1500, 1500}, {"yes", 1500, 2000}}));
    // One text under two time tags: the second start gets the words moved with it.
    const std::vector<LyricLine> twice = parse("[00:10.00][00:30.00]<00:10.00>la<00:10.50>la");
    ASSERT_EQ(twice.size(), 2u);
    EXPECT_EQ(words(twice[0]), (std::vector<Word>{{"la", 10000, 10500}, {"la", 10500, 11500}}));
    EXPECT_EQ(words(twice[1]), (std::vector<Word>{{"la", 30000, 30500}, {"la", 30500, 31500}}));
}

TEST(LyricWordsTest, BrokenOrBackwardTagsLightTheLineWholeWithoutTagText) {
    for (const char* broken :
         {"[00:01.00]<00:01.00>a<00:0x.50>b", "[00:01.00]<00:02.00>a<00:01.50>b",
          "[00:01.00]<00:01.00>a<00:61.00>b", "[00:01.00]<00:01.00>a<00:01.5",
          "[00:01.00]<00:01.00>a<1.2.3>b", "[00:01.00]<00:01.00>a<00:01.12345>b",
          "[00:01.00]<00:01.00>a<00:0x.50 >b"}) {
        SCOPED_TRACE(broken);
        const std::vector<LyricLine> lines = parse(broken);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_TRUE(lines[0].Words.empty());
        EXPECT_TRUE(lines[0].Tagged);
        EXPECT_EQ(lines[0].ShownText().find('<'), std::string::npos) << lines[0].ShownText();
        EXPECT_EQ(lines[0].ShownText().substr(0, 1), "a");
    }
    // "<" that starts no tag is text.
    const LyricLine heart = parse("[00:01.00]I <3 you, a<b")[0];
    EXPECT_FALSE(heart.Tagged);
    EXPECT_EQ(heart.ShownText(), "I <3 you, a<b");
}

TEST(LyricWordsTest, WipedWordsRunsSmoothlyAcrossEachWord) {
    const std::vector<LyricLine> lines =
        parse("[00:01.00]<00:01.00>ab<00:02.00><00:03.00>cd<00:03.50>");
    const std::vector<LyricWord>& w = lines[0].Words;
    EXPECT_DOUBLE_EQ(WipedWords(w, 0), 0);
    EXPECT_DOUBLE_EQ(WipedWords(w, 1000), 0);
    EXPECT_DOUBLE_EQ(WipedWords(w, 1250), 0.25);
    EXPECT_DOUBLE_EQ(WipedWords(w, 2500), 1);  // the pause keeps the first word lit
    EXPECT_DOUBLE_EQ(WipedWords(w, 3100), 1.2);
    EXPECT_DOUBLE_EQ(WipedWords(w, 9000), 2);
    EXPECT_DOUBLE_EQ(WipedWords({}, 9000), 0);
}

}  // namespace
