#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "tests/support/TestSupport.h"

namespace {

QStringList toArguments(const std::vector<std::string>& args) {
    QStringList arguments;
    for (const std::string& arg : args) {
        arguments << QString::fromStdString(arg);
    }
    return arguments;
}

// Starts vocalia-cli and kills it (SIGKILL) after `delayUs`, unless it has finished by then.
void runAndKill(const std::vector<std::string>& args, int delayUs) {
    QProcess process;
    process.start(QStringLiteral(VOCALIA_CLI_PATH), toArguments(args));
    ASSERT_TRUE(process.waitForStarted());
    QThread::usleep(static_cast<unsigned long>(delayUs));
    process.kill();
    process.waitForFinished();
}

// How long a whole save takes, in microseconds.
int saveDuration(const std::vector<std::string>& args) {
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(runCli(args).exitCode, 0);
    return static_cast<int>(timer.nsecsElapsed() / 1000);
}

// Saves alternately with `first` and `second`, killing each save at a random moment, 100
// times: the file is always one of the two whole versions (or still missing before the first
// save got through), and a save after all this succeeds. `prepare` runs before every save with
// the save's number (0 for `first`, 1 for `second`), for commands that use up their input.
void killWhileSaving(
    const std::string& path, const std::vector<std::string>& first,
    const std::vector<std::string>& second, const std::function<void(int)>& prepare = [](int) {}) {
    prepare(0);
    ASSERT_EQ(runCli(first).exitCode, 0);
    const std::string firstBytes = readBytes(path);
    prepare(1);
    const int duration = saveDuration(second);
    const std::string secondBytes = readBytes(path);
    ASSERT_NE(firstBytes, secondBytes);
    std::mt19937 random(3);
    std::uniform_int_distribution<int> delay(0, duration);
    for (int round = 0; round < 100; ++round) {
        prepare(round % 2);
        runAndKill(round % 2 ? second : first, delay(random));
        const std::string now = readBytes(path);
        ASSERT_TRUE(now == firstBytes || now == secondBytes) << "round " << round;
    }
    prepare(0);
    ASSERT_EQ(runCli(first).exitCode, 0);
    EXPECT_EQ(readBytes(path), firstBytes);
}

TEST(CrashSafetyTest, AConfigurationSaveKilledLeavesTheOldOrTheNewFile) {
    const TempDir dir;
    const std::string ini = dir.file("Vocalia.ini");
    writeBytes(ini, "[Other]\r\nKept=1\r\n");
    killWhileSaving(ini, {"ini", "set", ini, "Options", "Skin", std::string(100000, 'a')},
                    {"ini", "set", ini, "Options", "Skin", std::string(90000, 'b')});
}

TEST(CrashSafetyTest, ACategorySaveKilledLeavesTheOldOrTheNewPlaylist) {
    const TempDir dir;
    std::vector<std::string> few{"m3u-save", dir.file("category.m3u")};
    for (int song = 0; song < 300; ++song) {
        const std::string file = dir.file("song" + std::to_string(song) + ".mp3");
        writeBytes(file, "");
        few.push_back(file);
    }
    std::vector<std::string> many = few;
    few.resize(few.size() - 100);
    killWhileSaving(dir.file("category.m3u"), few, many);
}

// Adding a lyric moves it into the library, so each round brings a fresh copy of one of two
// versions of the same song's lyric.
TEST(CrashSafetyTest, ALyricAddedWhileKilledLeavesTheOldOrTheNewLibraryFile) {
    const TempDir dir;
    const std::string lyric = dir.file("歌手 - 歌名.lrc");
    const std::vector<std::string> add{"--home", dir.file("home"), "lyric-add", lyric};
    killWhileSaving(dir.file("home/MyLyrics/歌手/歌名.lrc"), add, add, [&lyric](int version) {
        const char text = version == 0 ? 'a' : 'b';
        writeBytes(lyric, "[ar:歌手]\n[ti:歌名]\n[00:01.00]" + std::string(200000, text) + "\n");
    });
}

}  // namespace
