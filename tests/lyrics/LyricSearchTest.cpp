#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "lyrics/LyricSearch.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

class LyricSearchTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string root = dir.file("lib/");

    void lyric(const std::string& relative, const std::string& bytes) {
        fs::create_directories(fs::path(root + relative).parent_path());
        writeBytes(root + relative, bytes);
    }

    std::vector<LyricSearchRow> search(const std::string& keyword,
                                       const std::atomic<bool>* stop = nullptr) {
        std::vector<LyricSearchRow> rows;
        SearchFolder(
            root, keyword, [&](const LyricSearchRow& row) { rows.push_back(row); }, stop);
        return rows;
    }
};

TEST_F(LyricSearchTest, FindsTaggedLrcFilesInByteOrderDepthFirst) {
    lyric("b/Song x.lrc", "[ar:B][ti:Song x]");
    lyric("a.b/Song.lrc", "[ar:A.B][ti:Song]");
    lyric("Song z.lrc", "[ar:Z][ti:Z]");
    lyric("a/Song.LRC", "[ar:A][ti:Upper]");
    lyric("a/song.lrc", "[ar:A][ti:lower]");
    lyric("a/Song untagged.lrc", "[00:01.00]x");
    lyric("a/Song late.lrc", std::string(100, ' ') + "[ar:A][ti:late]");
    lyric("a/Song.txt", "[ar:A][ti:txt]");
    const auto rows = search("Song");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (LyricSearchRow{"Z", "Z", root + "Song z.lrc"}));
    EXPECT_EQ(rows[1], (LyricSearchRow{"A.B", "Song", root + "a.b/Song.lrc"}));
    EXPECT_EQ(rows[2], (LyricSearchRow{"B", "Song x", root + "b/Song x.lrc"}));
    EXPECT_TRUE(search("SONG").empty());
}

TEST_F(LyricSearchTest, SymbolicLinkLoopsAreSearchedOnce) {
    lyric("s/in/Hit.lrc", "[ar:S][ti:Hit]");
    fs::create_directory_symlink(root + "s", root + "s/in/loop");
    fs::create_directory_symlink(root + "missing", root + "dangling");
    // A pipe named like a lyric would block a reader: it is passed over.
    ASSERT_EQ(mkfifo((root + "s/Hit pipe.lrc").c_str(), 0600), 0);
    EXPECT_EQ(search("Hit").size(), 1u);
    std::vector<LyricSearchRow> none;
    EXPECT_TRUE(SearchFolder(dir.file("no such folder"), "x",
                             [&](const LyricSearchRow& row) { none.push_back(row); }));
    EXPECT_TRUE(none.empty());
}

TEST_F(LyricSearchTest, AStopRequestEndsTheSearchBetweenFiles) {
    for (int i = 0; i < 5; ++i) {
        lyric("k" + std::to_string(i) + ".lrc", "[ar:A][ti:T]");
    }
    std::atomic<bool> stop{false};
    std::vector<LyricSearchRow> rows;
    const bool finished = SearchFolder(
        root, "k",
        [&](const LyricSearchRow& row) {
            rows.push_back(row);
            stop = rows.size() == 2;
        },
        &stop);
    EXPECT_FALSE(finished);
    EXPECT_EQ(rows.size(), 2u);
}

}  // namespace
