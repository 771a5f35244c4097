#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "shell/ProgramFolder.h"
#include "shell/Settings.h"
#include "shell/ShellStarts.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

TEST(ShellStarts, ToolsAndHelpAreFoundBesideTheProgramBeforeTheProgramFolder) {
    TempDir dir;
    const std::string beside = dir.file("bin/");
    const std::string shared = dir.file("share/vocalia/");
    const std::string home = dir.file("home/");
    for (const std::string& folder : {shared + "Tools", shared + "Help", home + "Tools"}) {
        fs::create_directories(folder);
    }
    writeBytes(shared + "Tools/Verslet", "#!/bin/sh\n");
    fs::permissions(shared + "Tools/Verslet", fs::perms::owner_all);
    writeBytes(shared + "Help/index.html", "<html></html>");
    writeBytes(home + "Tools/Verslet", "not executable");
    const std::vector<std::string> folders{beside, shared, home};
    EXPECT_EQ(ShellStarts::findIn(folders, "Tools/Verslet", true), shared + "Tools/Verslet");
    EXPECT_EQ(ShellStarts::findIn(folders, "Help/index.html", false), shared + "Help/index.html");
    EXPECT_EQ(ShellStarts::findIn({home}, "Tools/Verslet", true), "") << "not executable";
    EXPECT_EQ(ShellStarts::findIn(folders, "Tools/Nomina", true), "");
}

// With --home or VOCALIA_HOME the program folder is elsewhere; the executable's own folder
// and the installed data folder come first all the same.
TEST(ShellStarts, TheExecutablesFolderComesFirstWhateverTheProgramFolder) {
    TempDir dir;
    theSettings.SetFilePath(dir.file("OrvMelodeck.ini").c_str());
    writeSetting(ConfigKey::AppPath, dir.path());
    const std::vector<std::string> folders = ShellStarts::resourceFolders();
    theSettings.SetFilePath(nullptr);
    ASSERT_EQ(folders.size(), 3U);
    EXPECT_EQ(folders[0], ProgramFolder::executableFolder());
    EXPECT_EQ(folders[1], ProgramFolder::executableFolder() + "../share/vocalia/");
    EXPECT_EQ(folders[2], dir.path());
}

TEST(ShellStarts, TerminalEditorsRunInATerminalAndOthersDirectly) {
    std::map<std::string, std::string> env;
    const auto lookup = [&env](const char* name) { return env[name]; };
    const std::string file = "/lyrics/歌手/歌.lrc";
    const QString path = QString::fromStdString(file);
    EXPECT_TRUE(ShellStarts::editorCommand(file, lookup).isEmpty()) << "the desktop's editor";
    env["EDITOR"] = "vim";
    EXPECT_EQ(ShellStarts::editorCommand(file, lookup),
              (QStringList{"x-terminal-emulator", "-e", "vim", path}));
    env["VISUAL"] = "/usr/bin/nano -w";
    EXPECT_EQ(ShellStarts::editorCommand(file, lookup),
              (QStringList{"x-terminal-emulator", "-e", "/usr/bin/nano", "-w", path}));
    env["VISUAL"] = "gedit --new-window";
    EXPECT_EQ(ShellStarts::editorCommand(file, lookup),
              (QStringList{"gedit", "--new-window", path}));
}

}  // namespace
