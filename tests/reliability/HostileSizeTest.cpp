#include <unistd.h>

#include <QProcess>

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/TestSupport.h"

namespace {

// Under AddressSanitizer only the time and the results are checked.
constexpr bool kLimitMemory = !kAddressSanitizer;

enum class Output { Kept, Dropped };

// vocalia-cli under a 512 MB address-space limit; it must end within `seconds`, by itself.
CliResult runLimited(const std::vector<std::string>& args, int seconds = 60,
                     Output output = Output::Kept) {
    QStringList arguments{QStringLiteral(VOCALIA_CLI_PATH)};
    if (kLimitMemory) {
        arguments.prepend(QStringLiteral("--as=536870912"));
    }
    for (const std::string& arg : args) {
        arguments << QString::fromStdString(arg);
    }
    QProcess process;
    if (output == Output::Dropped) {
        process.setStandardOutputFile(QProcess::nullDevice());
    }
    // prlimit runs the command as it is when given no limit.
    process.start(QStringLiteral("prlimit"), arguments);
    CliResult result;
    if (!process.waitForFinished(seconds * 1000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "vocalia-cli did not finish in time";
        return result;
    }
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

std::string le32(uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i) & 0xFF);
    }
    return bytes;
}

std::string wavHeader(uint32_t dataBytes) {
    const std::string format("\x01\x00\x02\x00\x44\xAC\x00\x00\x10\xB1\x02\x00\x04\x00\x10\x00",
                             16);
    return "RIFF" + le32(0xFFFFFFFF) + "WAVE" + "fmt " + le32(16) + format + "data" +
           le32(dataBytes);
}

TEST(HostileSizeTest, WavFilesClaimingOrHavingMoreThanFourGigabytes) {
    const TempDir dir;
    const std::string claims = dir.file("claims.wav");
    writeBytes(claims, wavHeader(0xFFFFFFFF) + std::string(16, '\x01'));
    CliResult result = runLimited({"wav-info", claims});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("\"dataBytes\":16"), std::string::npos) << result.out;
    result = runLimited({"remove-vocals", claims});
    EXPECT_EQ(result.exitCode, 0) << result.err;

    // Sparse: nothing is written to the disk.
    const std::string huge = dir.file("huge.wav");
    writeBytes(huge, wavHeader(0xFFFFFFFF));
    ASSERT_EQ(::truncate(huge.c_str(), (int64_t{1} << 32) + 4096), 0);
    result = runLimited({"remove-vocals", huge});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("FileOperation"), std::string::npos) << result.err;
}

TEST(HostileSizeTest, AnMp3ThatIsOnlyATag) {
    const TempDir dir;
    const std::string mp3 = dir.file("tag.mp3");
    std::string tag = "TAG" + std::string("Title") + std::string(25, '\0');
    tag.resize(128, '\0');
    writeBytes(mp3, tag);
    const CliResult result = runLimited({"mp3info", mp3});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Title"), std::string::npos) << result.out;
}

TEST(HostileSizeTest, AFiftyMegabyteLyricLine) {
    const TempDir dir;
    const std::string lrc = dir.file("long.lrc");
    {
        std::ofstream out(lrc, std::ios::binary);
        out << "[ar:Singer]\n[00:01.00]" << std::string(50 << 20, 'x') << "\n[00:02.00]end\n";
    }
    const CliResult result = runLimited({"lrc-head", lrc});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Singer"), std::string::npos) << result.out;
}

// Ten million entries would take gigabytes as a list; the tool reads and prints them one by one.
TEST(HostileSizeTest, APlaylistOfTenMillionEntries) {
    if (!kLimitMemory) {
        GTEST_SKIP() << "its point is the memory bound; under the address sanitizer the ten "
                        "million entries alone take over three minutes";
    }
    const TempDir dir;
    const std::string m3u = dir.file("huge.m3u");
    {
        std::ofstream out(m3u, std::ios::binary);
        out << "#EXTM3U\n";
        for (int entry = 0; entry < 10'000'000; ++entry) {
            out << "a\n";
        }
    }
    const CliResult result = runLimited({"m3u", m3u}, 180, Output::Dropped);
    EXPECT_EQ(result.exitCode, 0) << result.err;
}

}  // namespace
