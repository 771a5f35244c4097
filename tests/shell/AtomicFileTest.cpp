#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>

#include "shell/AtomicFile.h"
#include "shell/IniFile.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st;
}

TEST(AtomicFileTest, AFileItsOwnerMadeReadOnlyIsRefusedAndKept) {
    TempDir dir;
    const std::string path = dir.file("list.m3u");
    writeBytes(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    std::string error;
    EXPECT_FALSE(writeFileAtomically(path, "new", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readBytes(path), "old");
    EXPECT_FALSE(updateFileAtomically(path, [](std::string& bytes) { bytes += "x"; }));
    EXPECT_FALSE(updateFileAtomically(path, [](std::string&) {}));
    EXPECT_EQ(readBytes(path), "old");
}

// Writing a value the file already holds (each start writes the program folder) leaves the file
// alone; a missing file is still created.
TEST(AtomicFileTest, AnUpdateThatChangesNothingDoesNotRewriteTheFile) {
    TempDir dir;
    const std::string path = dir.file("OrvMelodeck.ini");
    ASSERT_TRUE(CIniFile::WriteProfileString(path, "App", "AppPath", "/a/"));
    const struct stat first = statOf(path);
    ASSERT_TRUE(CIniFile::WriteProfileString(path, "App", "AppPath", "/a/"));
    EXPECT_EQ(statOf(path).st_ino, first.st_ino);
    ASSERT_TRUE(CIniFile::WriteProfileString(path, "App", "AppPath", "/b/"));
    EXPECT_NE(statOf(path).st_ino, first.st_ino);
    EXPECT_EQ(readBytes(path), "[App]\nAppPath=/b/\n");
    EXPECT_TRUE(updateFileAtomically(dir.file("new.ini"), [](std::string&) {}));
    EXPECT_TRUE(fs::exists(dir.file("new.ini")));
}

TEST(AtomicFileTest, AReplacedFileKeepsItsModeOwnerAndGroup) {
    TempDir dir;
    const std::string path = dir.file("OrvMelodeck.ini");
    writeBytes(path, "[App]\n");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const gid_t otherGroup = getgid() == 0 ? 1 : getgid();  // root may hand any group out
    ASSERT_EQ(chown(path.c_str(), static_cast<uid_t>(-1), otherGroup), 0);
    const struct stat before = statOf(path);
    ASSERT_TRUE(writeFileAtomically(path, "[App]\nA=1\n"));
    const struct stat after = statOf(path);
    EXPECT_EQ(after.st_mode & 07777, 0640U);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, otherGroup);
    EXPECT_NE(after.st_ino, before.st_ino) << "replaced, not rewritten in place";
}

// Two writers setting different keys at once: every update arrives.
TEST(AtomicFileTest, ConcurrentWritersOfTheConfigurationLoseNoUpdate) {
    TempDir dir;
    const std::string path = dir.file("OrvMelodeck.ini");
    const auto writer = [&path](const char* section) {
        const CIniFile ini(path.c_str());
        for (int i = 0; i < 100; ++i) {
            ini.WriteInt(section, ("Key" + std::to_string(i)).c_str(), i);
        }
    };
    std::thread first(writer, "First");
    std::thread second(writer, "Second");
    first.join();
    second.join();
    const CIniFile ini(path.c_str());
    int found = 0;
    for (const char* section : {"First", "Second"}) {
        for (int i = 0; i < 100; ++i) {
            found += ini.ReadInt(section, ("Key" + std::to_string(i)).c_str(), -1) == i ? 1 : 0;
        }
    }
    EXPECT_EQ(found, 200);
}

}  // namespace
