#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>

#include "library/KaraokePair.h"
#include "media/cdg/CdgDecoder.h"
#include "tests/media/CdgWriter.h"
#include "tests/media/ZipMaker.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr std::array<std::uint16_t, 8> kLow = {0x000, 0xF00, 0x0F0, 0x00F,
                                               0xFFF, 0x840, 0x48C, 0x123};
constexpr std::array<std::uint16_t, 8> kHigh = {0x111, 0x222, 0x333, 0x444,
                                                0x555, 0x666, 0x777, 0xF0F};
// A cross in a 6×12 tile: the two middle columns and the two middle rows.
constexpr std::array<std::uint8_t, 12> kCross = {0x0C, 0x0C, 0x0C, 0x0C, 0x0C, 0x3F,
                                                 0x3F, 0x0C, 0x0C, 0x0C, 0x0C, 0x0C};

// The disc most cases read: each instruction at its own second.
CdgWriter testDisc() {
    CdgWriter disc;
    disc.at(0).colorTable(false, kLow).colorTable(true, kHigh).memoryPreset(1);  // red
    disc.at(300).borderPreset(2);                                                // 1 s: green
    disc.at(600).tile(5, 10, 3, 4, kCross);                                      // 2 s
    disc.at(900).tile(5, 10, 0, 15, kCross, true);                               // 3 s: XOR
    disc.at(1200).memoryPreset(8);                                               // 4 s
    disc.at(1500);
    return disc;
}

// Pixel (x, y) of tile row 5, column 10.
int tileX(int x) {
    return 10 * CdgWriter::kTileWidth + x;
}
int tileY(int y) {
    return 5 * CdgWriter::kTileHeight + y;
}

std::unique_ptr<CdgDecoder> openDisc(const std::string& bytes) {
    std::string error;
    auto decoder = CdgDecoder::OpenMemory({bytes.begin(), bytes.end()}, error);
    EXPECT_TRUE(decoder) << error;
    return decoder;
}

}  // namespace

TEST(CdgDecoderTest, EachInstructionShowsFromItsPacketOn) {
    const auto decoder = openDisc(testDisc().bytes());
    // Packet 0 loads the low colours; the screen preset at packet 2 is 6.7 ms in.
    EXPECT_EQ(decoder->PictureAt(0).ColorAt(150, 100), CdgWriter::shown(0x000));
    const CdgPicture& start = decoder->PictureAt(10);
    EXPECT_EQ(start.ColorAt(150, 100), CdgWriter::shown(0xF00));
    EXPECT_EQ(start.ColorAt(0, 0), CdgWriter::shown(0xF00));
    EXPECT_EQ(start.palette[15], CdgWriter::shown(0xF0F));
    EXPECT_EQ(start.palette[6], CdgWriter::shown(0x48C));

    // The border lands at packet 300: 999 ms is packet 299, 1000 ms packet 300.
    EXPECT_EQ(decoder->PictureAt(999).ColorAt(0, 0), CdgWriter::shown(0xF00));
    const CdgPicture& bordered = decoder->PictureAt(1000);
    EXPECT_EQ(bordered.ColorAt(0, 0), CdgWriter::shown(0x0F0));
    EXPECT_EQ(bordered.ColorAt(299, 215), CdgWriter::shown(0x0F0));
    EXPECT_EQ(bordered.ColorAt(6, 12), CdgWriter::shown(0xF00));
    EXPECT_EQ(bordered.ColorAt(150, 100), CdgWriter::shown(0xF00));

    const CdgPicture& tiled = decoder->PictureAt(2500);
    EXPECT_EQ(tiled.indices[tileY(5) * 300 + tileX(2)], 4);  // on the cross
    EXPECT_EQ(tiled.indices[tileY(0) * 300 + tileX(0)], 3);  // beside it
    EXPECT_EQ(tiled.ColorAt(tileX(0), tileY(0)), CdgWriter::shown(0x00F));

    // XOR with 15 on the cross and 0 beside it: 4 ^ 15 = 11, 3 ^ 0 = 3.
    const CdgPicture& xored = decoder->PictureAt(3000);
    EXPECT_EQ(xored.indices[tileY(5) * 300 + tileX(2)], 11);
    EXPECT_EQ(xored.indices[tileY(0) * 300 + tileX(0)], 3);
    EXPECT_EQ(xored.ColorAt(tileX(2), tileY(5)), CdgWriter::shown(0x444));

    EXPECT_EQ(decoder->PictureAt(4000).indices[tileY(5) * 300 + tileX(2)], 8);
}

TEST(CdgDecoderTest, GoingBackDecodesFromTheStartAgain) {
    const auto decoder = openDisc(testDisc().bytes());
    decoder->PictureAt(4500);
    const unsigned long long before = decoder->Version();
    const CdgPicture& earlier = decoder->PictureAt(2100);
    EXPECT_NE(decoder->Version(), before);
    EXPECT_EQ(earlier.indices[tileY(5) * 300 + tileX(2)], 4);
    EXPECT_EQ(earlier.ColorAt(0, 0), CdgWriter::shown(0x0F0));
    // Past the end the last picture stays.
    EXPECT_EQ(decoder->PictureAt(60000).indices[0], 8);
    const unsigned long long settled = decoder->Version();
    decoder->PictureAt(60000);
    EXPECT_EQ(decoder->Version(), settled);
}

TEST(CdgDecoderTest, FilesWithoutGraphicsAreRefusedAndBadPacketsSkipped) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(CdgDecoder::OpenFile(dir.file("missing.cdg"), error));
    EXPECT_NE(error.find("missing.cdg"), std::string::npos);
    writeBytes(dir.file("empty.cdg"), "");
    EXPECT_FALSE(CdgDecoder::OpenFile(dir.file("empty.cdg"), error));
    EXPECT_NE(error.find("empty.cdg"), std::string::npos);
    writeBytes(dir.file("text.cdg"), std::string(size_t{24} * 50, 'a'));
    EXPECT_FALSE(CdgDecoder::OpenFile(dir.file("text.cdg"), error));

    // A tile outside the screen, a truncated packet: drawn around, not crashed on.
    CdgWriter broken;
    broken.colorTable(false, kLow).memoryPreset(2).tile(40, 63, 1, 1, kCross);
    broken.raw(std::string("\x09\x06\x00", 3));
    const auto decoder = openDisc(broken.bytes());
    EXPECT_EQ(decoder->PictureAt(1000).ColorAt(150, 100), CdgWriter::shown(0x0F0));
}

TEST(CdgCliTest, WritesTheFrameShownAtTheTime) {
    TempDir dir;
    ASSERT_TRUE(testDisc().save(dir.file("disc.cdg")));
    const CliResult run =
        runCli({"cdg", dir.file("disc.cdg"), "--at", "2500", "-o", dir.file("frame.png")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QImage frame(QString::fromStdString(dir.file("frame.png")));
    ASSERT_EQ(frame.size(), QSize(300, 216));
    EXPECT_EQ(frame.format(), QImage::Format_Indexed8);
    EXPECT_EQ(frame.pixel(0, 0), CdgWriter::shown(0x0F0));
    EXPECT_EQ(frame.pixel(tileX(2), tileY(5)), CdgWriter::shown(0xFFF));
    EXPECT_EQ(frame.pixel(tileX(0), tileY(0)), CdgWriter::shown(0x00F));
    EXPECT_EQ(frame.pixel(150, 150), CdgWriter::shown(0xF00));

    const CliResult early =
        runCli({"cdg", dir.file("disc.cdg"), "--at", "999", "-o", dir.file("early.png")});
    ASSERT_EQ(early.exitCode, 0) << early.err;
    EXPECT_EQ(QImage(QString::fromStdString(dir.file("early.png"))).pixel(0, 0),
              CdgWriter::shown(0xF00));
}

TEST(CdgCliTest, ReadsTheGraphicsOfAZipPair) {
    TempDir dir;
    ASSERT_TRUE(writeZip(dir.file("pair.zip"), {{"Singer - Song.MP3", std::string(4096, '\0')},
                                                {"readme.txt", "hello"},
                                                {"singer - song.cdg", testDisc().bytes()}}));
    const CliResult run =
        runCli({"cdg", dir.file("pair.zip"), "--at", "3000", "-o", dir.file("frame.png")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(QImage(QString::fromStdString(dir.file("frame.png"))).pixel(tileX(2), tileY(5)),
              CdgWriter::shown(0x444));
}

TEST(CdgCliTest, BadInputFailsClearlyWithoutOutput) {
    TempDir dir;
    writeBytes(dir.file("empty.cdg"), "");
    writeBytes(dir.file("fake.zip"), "not a zip at all");
    ASSERT_TRUE(writeZip(dir.file("lonely.zip"), {{"song.mp3", "x"}}));
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"cdg", dir.file("empty.cdg"), "--at", "0", "-o", dir.file("out.png")}, 1, "empty.cdg"},
        {{"cdg", dir.file("fake.zip"), "--at", "0", "-o", dir.file("out.png")}, 1, "zip"},
        {{"cdg", dir.file("lonely.zip"), "--at", "0", "-o", dir.file("out.png")}, 1, "CDG"},
        {{"cdg", dir.file("empty.cdg"), "--at", "-5", "-o", dir.file("out.png")}, 2, "--at"},
        {{"cdg", dir.file("empty.cdg"), "--at", "0"}, 2, "-o"},
    };
    for (const Case& c : cases) {
        const CliResult run = runCli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args[1];
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.png")));
}

TEST(KaraokePairTest, FindsPartnersInAnyLetterCase) {
    TempDir dir;
    writeBytes(dir.file("Song.mp3"), "a");
    writeBytes(dir.file("SONG.CDG"), "g");
    writeBytes(dir.file("Other.mp3"), "a");
    writeBytes(dir.file("Lone.cdg"), "g");
    EXPECT_EQ(KaraokePair::GraphicsBeside(dir.file("Song.mp3")), dir.file("SONG.CDG"));
    EXPECT_EQ(KaraokePair::AudioBeside(dir.file("SONG.CDG")), dir.file("Song.mp3"));
    EXPECT_EQ(KaraokePair::GraphicsBeside(dir.file("Other.mp3")), "");
    EXPECT_EQ(KaraokePair::AudioBeside(dir.file("Lone.cdg")), "");
}

TEST(KaraokePairTest, AZipMustHoldOneAudioFileAndItsGraphics) {
    TempDir dir;
    const std::string disc = testDisc().bytes();
    struct Case {
        std::vector<std::pair<std::string, std::string>> entries;
        std::string message;  // empty: accepted
    };
    const std::vector<Case> cases = {
        {{{"album/Song.Mp3", "audio"}, {"album/song.CDG", disc}}, ""},
        {{{"a.mp3", "1"}, {"b.mp3", "2"}, {"a.cdg", disc}}, "不止一个音频文件"},
        {{{"a.cdg", disc}}, "没有音频文件"},
        {{{"a.mp3", "1"}, {"b.cdg", disc}}, "没有与 a.mp3 同名的CDG文件"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(writeZip(dir.file("pair.zip"), c.entries));
        KaraokePair::ZipPair pair;
        std::string error;
        const bool read = KaraokePair::ReadZip(dir.file("pair.zip"), pair, error);
        EXPECT_EQ(read, c.message.empty()) << c.entries.front().first;
        if (!read) {
            EXPECT_NE(error.find(c.message), std::string::npos) << error;
            continue;
        }
        EXPECT_EQ(pair.audioName, "Song.Mp3");
        EXPECT_EQ(std::string(pair.audio.begin(), pair.audio.end()), "audio");
        EXPECT_EQ(pair.graphics.size(), disc.size());
    }
    writeBytes(dir.file("bad.zip"), "PK\x03\x04 broken");
    KaraokePair::ZipPair pair;
    std::string error;
    EXPECT_FALSE(KaraokePair::ReadZip(dir.file("bad.zip"), pair, error));
    EXPECT_NE(error.find("bad.zip"), std::string::npos);
}
