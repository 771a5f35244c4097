#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "shell/IniFile.h"
#include "shell/TextCodec.h"
#include "tests/support/TestSupport.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.file("test.ini");
    CIniFile ini{path.c_str()};
};

TEST_F(IniFileTest, MissingFileReadsDefaultsAndFirstWriteCreatesIt) {
    EXPECT_EQ(ini.ReadString("App", "AppPath", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("App", "AppPath"), "");
    EXPECT_EQ(ini.ReadInt("App", "EverydayTip", 1), 1);
    EXPECT_DOUBLE_EQ(ini.ReadDouble("PhoneSet", "Delay", 0.005), 0.005);
    EXPECT_EQ(ini.WriteString("App", "AppPath", "/x/"), 1);
    EXPECT_EQ(readBytes(path), "[App]\nAppPath=/x/\n");
}

TEST_F(IniFileTest, NullSectionOrKeyDoesNothing) {
    EXPECT_EQ(ini.WriteString(nullptr, "k", "v"), 0);
    EXPECT_EQ(ini.WriteString("s", nullptr, "v"), 0);
    EXPECT_EQ(access(path.c_str(), F_OK), -1);
    EXPECT_EQ(ini.ReadString(nullptr, "k", "d"), "d");
    EXPECT_EQ(ini.ReadInt("s", nullptr, 9), 9);
}

TEST_F(IniFileTest, EmptyValueIsDefaultForTypedReadsButEmptyForStrings) {
    writeBytes(path, "[S]\nEmpty=\n");
    EXPECT_EQ(ini.ReadString("S", "Empty", "d"), "");
    EXPECT_EQ(ini.ReadInt("S", "Empty", 42), 42);
    EXPECT_DOUBLE_EQ(ini.ReadDouble("S", "Empty", 2.5), 2.5);
}

TEST_F(IniFileTest, ReadIntParseRules) {
    writeBytes(path, "[N]\nA=12abc\nB=abc\nC=-1\nD=   7\nE=+5\nF=4294967297\nG=" +
                         std::string(63, '0') + "99\n");
    EXPECT_EQ(ini.ReadInt("N", "A", 0), 12);
    EXPECT_EQ(ini.ReadInt("N", "B", 99), 0);
    EXPECT_EQ(ini.ReadInt("N", "C", 0), -1);
    EXPECT_EQ(ini.ReadInt("N", "D", 0), 7);
    EXPECT_EQ(ini.ReadInt("N", "E", 0), 5);
    EXPECT_EQ(ini.ReadInt("N", "F", 0), 1);  // wraps in 32 bits
    EXPECT_EQ(ini.ReadInt("N", "G", 5), 9);  // only the first 64 bytes count
}

TEST_F(IniFileTest, ReadDoubleParseRules) {
    writeBytes(path, "[D]\nA=0.050000\nB=abc\nC=-1.5e2x\nD=  .5\nE=3.\nF=1e\n");
    EXPECT_DOUBLE_EQ(ini.ReadDouble("D", "A", 0), 0.05);
    EXPECT_DOUBLE_EQ(ini.ReadDouble("D", "B", 7), 0.0);
    EXPECT_DOUBLE_EQ(ini.ReadDouble("D", "C", 0), -150.0);
    EXPECT_DOUBLE_EQ(ini.ReadDouble("D", "D", 0), 0.5);
    EXPECT_DOUBLE_EQ(ini.ReadDouble("D", "E", 0), 3.0);
    EXPECT_DOUBLE_EQ(ini.ReadDouble("D", "F", 0), 1.0);
}

TEST_F(IniFileTest, TypedWrites) {
    ini.WriteInt("W", "Neg", -1);
    ini.WriteInt("W", "Zero", 0);
    ini.WriteDouble("W", "Six", 0.05, -1);
    ini.WriteDouble("W", "Two", 0.05, 2);
    ini.WriteDouble("W", "Delay", 0.005, 0);
    EXPECT_EQ(ini.ReadString("W", "Neg"), "-1");
    EXPECT_EQ(ini.ReadString("W", "Zero"), "0");
    EXPECT_EQ(ini.ReadString("W", "Six"), "0.050000");
    EXPECT_EQ(ini.ReadString("W", "Two"), "0.05");
    EXPECT_EQ(ini.ReadString("W", "Delay"), "0.005000");
}

TEST_F(IniFileTest, LongValuesAreReadWhole) {
    const std::string longValue(600, 'x');
    ini.WriteString("L", "Long", longValue.c_str());
    EXPECT_EQ(ini.ReadString("L", "Long"), longValue);
    const std::string huge(3 << 20, 'y');
    ini.WriteString("L", "Huge", huge.c_str());
    EXPECT_EQ(ini.ReadString("L", "Huge"), huge);
    EXPECT_EQ(ini.ReadString("L", "Long"), longValue);
}

TEST_F(IniFileTest, NamesMatchRegardlessOfCase) {
    ini.WriteString("Lyrics", "FontName", "A");
    EXPECT_EQ(ini.ReadString("LYRICS", "fontname"), "A");
    ini.WriteString("lyrics", "FONTNAME", "B");
    EXPECT_EQ(ini.ReadString("Lyrics", "FontName"), "B");
    EXPECT_EQ(readBytes(path), "[Lyrics]\nFONTNAME=B\n");
}

TEST_F(IniFileTest, RewriteKeepsOtherLinesCommentsOrderAndLineEnds) {
    const std::string original = "; settings\r\n[A]\r\nx = 1\r\n; keep me\r\ny=2\r\n\r\n[B]\r\nz=3";
    writeBytes(path, original);
    EXPECT_EQ(ini.ReadString("A", "x"), "1");
    ini.WriteString("A", "y", "20");
    ini.WriteString("A", "new", "n");
    ini.WriteString("B", "w", "4");
    ini.WriteString("C", "c", "5");
    EXPECT_EQ(
        readBytes(path),
        "; settings\r\n[A]\r\nx = 1\r\n; keep me\r\ny=20\r\nnew=n\r\n\r\n[B]\r\nz=3\r\nw=4\r\n"
        "[C]\r\nc=5\r\n");
}

TEST_F(IniFileTest, DuplicateSectionsAndKeysUseTheFirst) {
    writeBytes(path, "[S]\nk=1\nk=2\n[S]\nk=3\nj=4\n");
    EXPECT_EQ(ini.ReadString("S", "k"), "1");
    EXPECT_EQ(ini.ReadString("S", "j", "none"), "none");
    ini.WriteString("S", "k", "9");
    EXPECT_EQ(readBytes(path), "[S]\nk=9\nk=2\n[S]\nk=3\nj=4\n");
}

TEST_F(IniFileTest, BackendDeletesKeysAndSections) {
    writeBytes(path, "[A]\na=1\nb=2\n[B]\nc=3\n");
    EXPECT_TRUE(CIniFile::WriteProfileString(path, "A", "a", nullptr));
    EXPECT_EQ(readBytes(path), "[A]\nb=2\n[B]\nc=3\n");
    EXPECT_TRUE(CIniFile::WriteProfileString(path, "A", nullptr, nullptr));
    EXPECT_EQ(readBytes(path), "[B]\nc=3\n");
}

TEST_F(IniFileTest, ValuesCannotBreakTheFileApart) {
    ini.WriteString("S", "k", "line1\n[Evil]\nx=1");
    EXPECT_EQ(ini.ReadString("Evil", "x", "absent"), "absent");
    EXPECT_EQ(ini.ReadString("S", "k"), "line1 [Evil] x=1");
}

TEST_F(IniFileTest, NamesThatWouldNotReadBackAreRefused) {
    writeBytes(path, "[S]\nk=1\n");
    EXPECT_EQ(ini.WriteString("S", "a=b", "v"), 0);
    EXPECT_EQ(ini.WriteString("S", "[T]x", "v"), 0);
    EXPECT_EQ(ini.WriteString("S", " k", "v"), 0);
    EXPECT_EQ(ini.WriteString("S", "k\nj", "v"), 0);
    EXPECT_EQ(ini.WriteString("A]B", "k", "v"), 0);
    EXPECT_EQ(ini.WriteString("S\r\n[T]", "k", "v"), 0);
    EXPECT_EQ(readBytes(path), "[S]\nk=1\n");
    EXPECT_EQ(ini.WriteString("My Section", "key with spaces", "a=b;c"), 1);
    EXPECT_EQ(ini.ReadString("my section", "KEY WITH SPACES"), "a=b;c");
}

TEST_F(IniFileTest, ByteOrderMarkIsKeptButNotPartOfTheFirstSection) {
    const std::string bom = "\xEF\xBB\xBF";
    writeBytes(path, bom + "[App]\r\nAppPath=/a/\r\n");
    EXPECT_EQ(ini.ReadString("App", "AppPath"), "/a/");
    EXPECT_EQ(ini.WriteString("App", "AppPath", "/b/"), 1);
    EXPECT_EQ(readBytes(path), bom + "[App]\r\nAppPath=/b/\r\n");
}

TEST_F(IniFileTest, BinaryAndHugeLinesDoNotCrash) {
    std::string junk(1 << 20, '\0');
    for (size_t i = 0; i < junk.size(); ++i) {
        junk[i] = static_cast<char>((i * 7919) & 0xFF);
    }
    writeBytes(path, junk + "\n[S]\nk=v");
    EXPECT_EQ(ini.ReadString("S", "k"), "v");
    EXPECT_EQ(ini.WriteString("S", "k2", "w"), 1);
    EXPECT_EQ(readBytes(path), junk + "\n[S]\nk=v\nk2=w\n");
}

TEST_F(IniFileTest, GbkValuesAreDecoded) {
    writeBytes(path, "[Tab]\nCat0=" + TextCodec::utf8ToGbk("流行歌曲") + "\n");
    EXPECT_EQ(ini.ReadString("Tab", "Cat0"), "流行歌曲");
}

TEST_F(IniFileTest, ReadOnlyFolderWriteFailsAndKeepsTheFile) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    writeBytes(path, "[S]\nk=1\n");
    chmod(dir.path().c_str(), 0555);
    EXPECT_EQ(ini.WriteString("S", "k", "2"), 0);
    chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(readBytes(path), "[S]\nk=1\n");
}

TEST_F(IniFileTest, WriteIntoMissingFolderFailsCleanly) {
    CIniFile nowhere(dir.file("missing/x.ini").c_str());
    EXPECT_EQ(nowhere.WriteString("S", "k", "v"), 0);
    EXPECT_EQ(nowhere.ReadString("S", "k", "d"), "d");
}

TEST_F(IniFileTest, PipesAndFoldersReadAsMissingWithoutBlockingAndAreNotReplaced) {
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(ini.ReadString("S", "k", "d"), "d");
    // A write must not replace what it could not read.
    EXPECT_EQ(ini.WriteString("S", "k", "v"), 0);
    struct stat info {};
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    CIniFile folder(dir.path().c_str());
    EXPECT_EQ(folder.ReadInt("S", "k", 3), 3);
}

TEST_F(IniFileTest, AtomicWriteLeavesNoTemporaryFiles) {
    for (int i = 0; i < 20; ++i) {
        ini.WriteInt("S", "k", i);
    }
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = entry.path().filename().string();
        ++files;
        EXPECT_TRUE(name == "test.ini" || name == ".test.ini.lock") << name;
    }
    EXPECT_EQ(files, 2) << "the file and its lock";
    EXPECT_EQ(ini.ReadInt("S", "k", -1), 19);
}

}  // namespace
