#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "shell/ProgramFolder.h"
#include "shell/Settings.h"
#include "tests/support/TestSupport.h"

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
            m_had = true;
        }
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { m_had ? setenv(m_name, m_old.c_str(), 1) : unsetenv(m_name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

TEST(ProgramFolderTest, HomeOptionThenEnvironmentThenExecutableFolder) {
    ScopedEnv env(ProgramFolder::HomeEnvironmentVariable, "/from/env");
    EXPECT_EQ(ProgramFolder::resolve("/from/option"), "/from/option/");
    EXPECT_EQ(ProgramFolder::resolve(""), "/from/env/");
    // Relative folders are taken from the working folder, once: the stored path is absolute.
    const std::string cwd = std::filesystem::current_path().string();
    EXPECT_EQ(ProgramFolder::resolve("rel/./dir"), cwd + "/rel/dir/");
    ScopedEnv relative(ProgramFolder::HomeEnvironmentVariable, "rel");
    EXPECT_EQ(ProgramFolder::resolve(""), cwd + "/rel/");
    ScopedEnv unset(ProgramFolder::HomeEnvironmentVariable, nullptr);
    // The test binary's folder is a writable build folder.
    EXPECT_EQ(ProgramFolder::resolve(""), ProgramFolder::executableFolder());
}

TEST(ProgramFolderTest, StartCreatesTheFolderAndWritesAppPath) {
    TempDir dir;
    const std::string home = dir.file("new/home");
    std::string folder;
    ASSERT_TRUE(ProgramFolder::start(home, folder));
    EXPECT_EQ(folder, home + "/");
    EXPECT_EQ(theSettings.FilePath(), folder + "OrvMelodeck.ini");
    EXPECT_EQ(readBytes(folder + "OrvMelodeck.ini"), "[App]\nAppPath=" + folder + "\n");
    EXPECT_EQ(ProgramFolder::current(), folder);
    EXPECT_EQ(readSetting(ConfigKey::EverydayTip), 1);

    // Moving the folder and starting again rewrites the path.
    const std::string moved = dir.file("moved");
    std::filesystem::rename(home, moved);
    ASSERT_TRUE(ProgramFolder::start(moved, folder));
    EXPECT_EQ(ProgramFolder::current(), moved + "/");
}

TEST(ProgramFolderTest, StartFailsWhenTheFolderIsAFile) {
    TempDir dir;
    writeBytes(dir.file("file"), "x");
    std::string folder;
    std::string error;
    EXPECT_FALSE(ProgramFolder::start(dir.file("file"), folder, &error));
    EXPECT_NE(error.find("file"), std::string::npos);
}

TEST(ProgramFolderTest, CategoryDefaultsAndFileNames) {
    EXPECT_EQ(ProgramFolder::categoryFileName(3), "OrvMusicList3.m3u");
    const auto key = ConfigKey::categoryNameKey(0);
    EXPECT_EQ(key.key, "Cat0");
    EXPECT_EQ(key.def, "歌曲列表1");
}

}  // namespace
