#include <gtest/gtest.h>

#include <filesystem>

#include "lyrics/LyricLibrary.h"
#include "resources/StringTable.h"
#include "shell/TextCodec.h"
#include "tests/support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

TEST(SplitDisplayNameTest, SplitsAtTheFirstDash) {
    EXPECT_EQ(SplitDisplayName("Singer - Title"), (SingerTitle{"Singer", "Title"}));
    EXPECT_EQ(SplitDisplayName("Singer -- Title "), (SingerTitle{"Singer", "Title "}));
    EXPECT_EQ(SplitDisplayName("A-B-C"), (SingerTitle{"A", "B-C"}));
    EXPECT_EQ(SplitDisplayName("No dash"), (SingerTitle{"", "No dash"}));
    EXPECT_EQ(SplitDisplayName("-"), (SingerTitle{"", ""}));
    EXPECT_EQ(SplitDisplayName(""), (SingerTitle{"", ""}));
    // Without a dash the title loses its leading blanks (and dashes) all the same.
    EXPECT_EQ(SplitDisplayName("   "), (SingerTitle{"", ""}));
    EXPECT_EQ(SplitDisplayName("  Title  "), (SingerTitle{"", "Title  "}));
}

TEST(LyricLibraryPathTest, BuildsSingerFolderAndTitleFile) {
    EXPECT_EQ(LyricLibraryPath("/p/", SplitDisplayName("王菲 - 红豆")),
              "/p/MyLyrics/王菲/红豆.lrc");
    EXPECT_EQ(LyricLibraryPath("/p/", SplitDisplayName("Whole name")),
              "/p/MyLyrics/Whole name.lrc");
    // Names never reach outside the library.
    EXPECT_EQ(LyricLibraryPath("/p/", {"..", "x"}), "/p/MyLyrics/__/x.lrc");
    EXPECT_EQ(LyricLibraryPath("/p/", {"AC/DC", "a/../b"}), "/p/MyLyrics/AC_DC/a_.._b.lrc");
}

class AddLyricTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string home = dir.file("home/");
    std::string source(const std::string& name, const std::string& bytes) {
        writeBytes(dir.file(name), bytes);
        return dir.file(name);
    }
};

TEST_F(AddLyricTest, TagHeadNamesTheLibraryFileAndTheSourceIsMoved) {
    const std::string from = source("x.lrc", "[ar: Band. ]\n[ti:Song]\n[00:01.00]la\n");
    const AddLyricResult result = AddLyricToLibrary(home, from);
    EXPECT_TRUE(result.added);
    EXPECT_EQ(result.message, loadString(27));
    EXPECT_EQ(result.path, home + "MyLyrics/Band/Song.lrc");
    EXPECT_EQ(readBytes(result.path), "[ar: Band. ]\n[ti:Song]\n[00:01.00]la\n");
    EXPECT_FALSE(fs::exists(from));
}

TEST_F(AddLyricTest, FileNameNamesAnUntaggedFileAndReplacesTheLibraryFile) {
    fs::create_directories(home + "MyLyrics/Singer");
    writeBytes(home + "MyLyrics/Singer/Title.lrc", "old");
    const AddLyricResult result = AddLyricToLibrary(home, source("Singer - Title.lrc", "new"));
    EXPECT_TRUE(result.added);
    EXPECT_EQ(readBytes(home + "MyLyrics/Singer/Title.lrc"), "new");
    // A GBK tag head works as well.
    const AddLyricResult gbk =
        AddLyricToLibrary(home, source("g.lrc", TextCodec::utf8ToGbk("[ar:歌手][ti:歌名]")));
    EXPECT_EQ(gbk.path, home + "MyLyrics/歌手/歌名.lrc");
}

TEST_F(AddLyricTest, RefusalsKeepTheSource) {
    const std::string noDash = source("Nameless.lrc", "[00:01.00]x");
    AddLyricResult result = AddLyricToLibrary(home, noDash);
    EXPECT_FALSE(result.added);
    EXPECT_EQ(result.message, loadString(26));
    EXPECT_TRUE(result.path.empty());
    EXPECT_TRUE(fs::exists(noDash));
    EXPECT_EQ(AddLyricToLibrary(home, source("Singer-.lrc", "")).message, loadString(26));
    EXPECT_EQ(AddLyricToLibrary(home, dir.file("missing.lrc")).message, loadString(24));
    // The library root cannot be made: the copy fails and the source stays.
    writeBytes(dir.file("blocked"), "");
    const std::string tagged = source("t.lrc", "[ar:A][ti:B]");
    result = AddLyricToLibrary(dir.file("blocked/"), tagged);
    EXPECT_FALSE(result.added);
    EXPECT_FALSE(result.message.empty());
    EXPECT_TRUE(fs::exists(tagged));
}

TEST_F(AddLyricTest, AFileThatIsItsOwnLibraryFileStaysInPlace) {
    fs::create_directories(home + "MyLyrics/A");
    const std::string own = home + "MyLyrics/A/B.lrc";
    writeBytes(own, "[ar:A][ti:B]");
    const AddLyricResult result = AddLyricToLibrary(home, own);
    EXPECT_TRUE(result.added);
    EXPECT_EQ(readBytes(own), "[ar:A][ti:B]");
}

}  // namespace
