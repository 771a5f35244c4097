#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>

#include "tests/audiotools/WaveBuilder.h"
#include "tests/support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

// The file names of the shared libraries the dynamic loader maps for a program.
std::vector<std::string> loadedLibraries(const std::string& program) {
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(
        popen(("ldd '" + program + "' 2>&1").c_str(), "r"), pclose);
    std::vector<std::string> names;
    char line[4096];
    while (pipe && fgets(line, sizeof line, pipe.get())) {
        std::istringstream words(line);
        std::string name;
        words >> name;
        names.push_back(fs::path(name).filename().string());
    }
    return names;
}

bool loads(const std::vector<std::string>& libraries, const std::string& prefix) {
    for (const std::string& name : libraries) {
        if (name.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

std::string copyProgram(const std::string& program, const std::string& folder) {
    fs::create_directories(folder);
    std::string copy = (fs::path(folder) / fs::path(program).filename()).string();
    fs::copy_file(program, copy);
    return copy;
}

class CliProgramsTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string wav = dir.file("two seconds.wav");
    void SetUp() override { writeBytes(wav, wavFile(tone(2.0, 440, 8000))); }
};

// libzip (with the cryptography library it brings) is loaded only when a zip song is opened.
TEST(CliLinkTest, CoreProgramLoadsNeitherMediaEngineNorSoundServerNorGuiNorZip) {
    const std::vector<std::string> core = loadedLibraries(VOCALIA_CLI_PATH);
    const std::vector<std::string> media = loadedLibraries(VOCALIA_CLI_MEDIA_PATH);
    // The check sees the libraries where they are.
    ASSERT_TRUE(loads(core, "libc.so"));
    ASSERT_TRUE(loads(media, "libgstreamer-1.0") && loads(media, "libpulse.so"));
    for (const char* unwanted :
         {"libgst", "libges", "libpulse", "libQt6Gui", "libQt6Widgets", "libQt6DBus", "libGL",
          "libX11", "libxcb", "libasound", "libzip", "libcrypto"}) {
        EXPECT_FALSE(loads(core, unwanted)) << "vocalia-cli loads " << unwanted;
    }
}

TEST_F(CliProgramsTest, MediaCommandsAndMediaInputsRunThroughTheCoreProgram) {
    const CliResult probe = runCli({"probe", wav});
    EXPECT_EQ(probe.exitCode, 0) << probe.err;
    EXPECT_EQ(probe.out, "{\"durationSeconds\":2}\n");
    // A core command whose input needs the media engine hands over the whole command line.
    const CliResult song = runCli({"song", wav});
    EXPECT_EQ(song.exitCode, 0) << song.err;
    EXPECT_NE(song.out.find("\"durationSeconds\":2"), std::string::npos) << song.out;
    const CliResult saved = runCli({"m3u-save", dir.file("list.m3u"), wav});
    EXPECT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_NE(readBytes(dir.file("list.m3u")).find("#EXTINF:2,two seconds"), std::string::npos);
    // --home goes along: the mix's default voice is the recording in that folder.
    const CliResult mix = runCli({"--home", dir.path(), "synthesize", "--music", wav});
    EXPECT_EQ(mix.exitCode, 1);
    EXPECT_NE(mix.err.find(dir.file("temp.mp3")), std::string::npos) << mix.err;
}

TEST_F(CliProgramsTest, HelpListsEveryCommandAndUnknownOnesAreUsageErrors) {
    const CliResult help = runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"\n  mp3info FILE", "\n  probe FILE", "\n  play FILE",
                                "\n  volume [", "\n  accompany IN.mp3", "\n  split-name NAME"}) {
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    }
    EXPECT_EQ(runCli({"record", "--help"}).out.rfind("usage: vocalia-cli record OUT", 0), 0u);
    const CliResult unknown = runCli({"no-such-command"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("unknown command \"no-such-command\""), std::string::npos);
}

TEST_F(CliProgramsTest, WithoutTheMediaProgramCoreCommandsRunAndTheOthersFailNamingIt) {
    const std::string alone = copyProgram(VOCALIA_CLI_PATH, dir.file("alone"));
    const std::string missing = dir.file("alone/vocalia-cli-media");
    const CliResult split = runProgram(alone, {"split-name", "歌手 - 歌名"});
    EXPECT_EQ(split.exitCode, 0) << split.err;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"probe", wav}, {"song", wav}, {"m3u-save", dir.file("list.m3u"), wav}, {"--help"}}) {
        const CliResult result = runProgram(alone, args);
        EXPECT_EQ(result.exitCode, 1) << args[0];
        EXPECT_NE(result.err.find(missing), std::string::npos) << result.err;
    }
    // Nothing half done: no playlist written; the list still shows the core commands.
    EXPECT_FALSE(fs::exists(dir.file("list.m3u")));
    EXPECT_NE(runProgram(alone, {"--help"}).out.find("\n  mp3info FILE"), std::string::npos);
}

}  // namespace
