#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "library/Id3TitleReader.h"
#include "library/Mp3Info.h"
#include "shell/TextCodec.h"
#include "tests/support/TestSupport.h"

namespace {

// One MPEG audio frame: the header, then zero bytes up to `length`.
std::string frame(unsigned header, size_t length) {
    std::string bytes(length, '\0');
    bytes[0] = static_cast<char>(header >> 24);
    bytes[1] = static_cast<char>(header >> 16);
    bytes[2] = static_cast<char>(header >> 8);
    bytes[3] = static_cast<char>(header);
    return bytes;
}

// MPEG-1 Layer III, 44100 Hz, joint stereo; 128 kbit/s, with padding when asked.
unsigned mpeg1Layer3(unsigned bitrateIndex, bool padding) {
    return 0xFFFB0040u | (bitrateIndex << 12) | (padding ? 0x200u : 0u);
}

std::string tagBlock(const std::string& title, const std::string& artist, char byte125,
                     char byte126, char genre) {
    std::string block(128, '\0');
    block.replace(0, 3, "TAG");
    block.replace(3, title.size(), title);
    block.replace(33, artist.size(), artist);
    block.replace(63, 5, "Album");
    block.replace(93, 4, "1999");
    block.replace(97, 30, std::string(30, 'c'));
    block[125] = byte125;
    block[126] = byte126;
    block[127] = genre;
    return block;
}

class Mp3InfoTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.file("a.mp3");
};

TEST_F(Mp3InfoTest, ConstantBitrateFramesGiveDurationAndHeaderFields) {
    std::string bytes = "junk";
    double seconds = 0;
    for (int i = 0; i < 400; ++i) {
        const bool padding = i % 3 == 0;
        bytes += frame(mpeg1Layer3(9, padding), padding ? 418 : 417);
        seconds += (padding ? 418 : 417) * 8 / 128000.0;
    }
    writeBytes(file, bytes);
    const Mp3Info info(file);
    EXPECT_EQ(info.Path(), file);
    EXPECT_EQ(info.Flags(), Mp3Info::kFlagFrames);
    EXPECT_EQ(info.FrameCount(), 400);
    EXPECT_EQ(info.Duration(), static_cast<int>(seconds));
    EXPECT_EQ(info.Bitrate(), 128);
    EXPECT_EQ(info.SampleRate(), 44100);
    EXPECT_EQ(info.Version(), 3);
    EXPECT_EQ(info.Layer(), 3);
    EXPECT_EQ(info.Protection(), 1);
    EXPECT_EQ(info.ChannelMode(), 1);
    EXPECT_EQ(info.Genre(), 255);
}

TEST_F(Mp3InfoTest, VariableBitratesAverageAndMpeg2UsesItsOwnTables) {
    // 32 kbit/s (104 bytes) and 320 kbit/s (1044 bytes) frames alternate.
    std::string bytes;
    for (int i = 0; i < 10; ++i) {
        bytes += frame(mpeg1Layer3(1, false), 104) + frame(mpeg1Layer3(14, false), 1044);
    }
    writeBytes(file, bytes);
    Mp3Info info(file);
    EXPECT_EQ(info.FrameCount(), 20);
    EXPECT_EQ(info.Bitrate(), (32 + 320) / 2);
    // MPEG-2 Layer III, 64 kbit/s at 22050 Hz: 72000 * 64 / 22050 = 208 bytes.
    writeBytes(file, frame(0xFFF38040u, 208) + frame(0xFFF38040u, 208) + frame(0xFFF38040u, 208));
    ASSERT_TRUE(info.Read(file));
    EXPECT_EQ(info.Version(), 2);
    EXPECT_EQ(info.SampleRate(), 22050);
    EXPECT_EQ(info.FrameCount(), 3);
    EXPECT_EQ(info.Bitrate(), 64);
}

TEST_F(Mp3InfoTest, FilesWithoutFramesAndHostileFilesEndTheScan) {
    writeBytes(file, std::string(10000, 'x') + frame(mpeg1Layer3(9, false), 417));
    EXPECT_EQ(Mp3Info(file).FrameCount(), 0);
    EXPECT_EQ(Mp3Info(file).Flags(), 0u);
    // All sync bytes: reserved sample rate, the scan stops at once.
    writeBytes(file, std::string(1 << 20, '\xFF'));
    EXPECT_EQ(Mp3Info(file).Duration(), 0);
    writeBytes(file, "");
    EXPECT_TRUE(Mp3Info().Read(file));
    EXPECT_FALSE(Mp3Info().Read(dir.file("missing.mp3")));
    EXPECT_FALSE(Mp3Info().Read(dir.path()));
}

TEST_F(Mp3InfoTest, AnId3v2TagAtTheStartIsPassedOver) {
    // A tag of 10 + 19,990 bytes (sizes are 7 bits a byte) full of false syncs, then frames.
    std::string bytes =
        std::string("ID3\x03\x00\x00\x00\x01\x1C\x16", 10) + std::string(19990, '\xFF');
    for (int i = 0; i < 50; ++i) {
        bytes += frame(mpeg1Layer3(9, false), 417);
    }
    writeBytes(file, bytes);
    EXPECT_EQ(Mp3Info(file).FrameCount(), 50);
}

TEST_F(Mp3InfoTest, TagFieldsFollowVersion1And11Layouts) {
    const std::string title(30, 't');
    writeBytes(file, "data" + tagBlock(title, "Artist", 0, 7, 12));
    Mp3Info info(file);
    EXPECT_EQ(info.Flags(), Mp3Info::kFlagTag);
    EXPECT_EQ(info.Title(), title);
    EXPECT_EQ(info.Artist(), "Artist");
    EXPECT_EQ(info.Album(), "Album");
    EXPECT_EQ(info.Year(), "1999");
    EXPECT_EQ(info.Comment(), std::string(28, 'c'));
    EXPECT_EQ(info.Track(), 7);
    EXPECT_EQ(info.Genre(), 12);
    writeBytes(file, tagBlock("T", "A", 'A', 7, 3));
    ASSERT_TRUE(info.Read(file));
    EXPECT_EQ(info.Comment(), std::string(28, 'c') + "A\x07");
    EXPECT_EQ(info.Track(), 0);
    EXPECT_EQ(info.Genre(), 3);
    // Shorter than a tag: none.
    writeBytes(file, tagBlock("T", "A", 0, 0, 0).substr(0, 127));
    ASSERT_TRUE(info.Read(file));
    EXPECT_EQ(info.Flags(), 0u);
}

TEST_F(Mp3InfoTest, WriteTagReplacesAppendsAndRemoves) {
    writeBytes(file, "audio");
    Mp3Info info;
    info.SetTitle("Title");
    info.SetArtist("Artist");
    info.SetComment(std::string(40, 'c'));
    ASSERT_TRUE(info.WriteTag(file, false));
    EXPECT_EQ(readBytes(file).size(), 5u + 128u);
    Mp3Info back(file);
    EXPECT_EQ(back.Title(), "Title");
    EXPECT_EQ(back.Comment(), std::string(30, 'c'));
    EXPECT_EQ(back.Track(), 0);

    info.SetTrack(300);
    info.SetGenre(0x1FF);
    ASSERT_TRUE(info.WriteTag(file, false));
    const std::string bytes = readBytes(file);
    EXPECT_EQ(bytes.size(), 5u + 128u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[5 + 126]), 255);
    EXPECT_EQ(static_cast<unsigned char>(bytes[5 + 127]), 0xFF);
    ASSERT_TRUE(back.Read(file));
    EXPECT_EQ(back.Comment(), std::string(28, 'c'));
    EXPECT_EQ(back.Track(), 255);

    ASSERT_TRUE(info.WriteTag(file, true));
    EXPECT_EQ(readBytes(file), "audio");
    ASSERT_TRUE(info.WriteTag(file, true));
    EXPECT_EQ(readBytes(file), "audio");
    EXPECT_FALSE(info.WriteTag(dir.file("no/such/folder.mp3"), false));
    EXPECT_FALSE(Mp3Info().WriteTag("", false));
    // A missing file is created holding the tag alone.
    ASSERT_TRUE(info.WriteTag(dir.file("new.mp3"), false));
    EXPECT_EQ(readBytes(dir.file("new.mp3")).size(), 128u);
}

TEST_F(Mp3InfoTest, Utf8TextIsStoredAsGbkAndNeverCutInsideACharacter) {
    writeBytes(file, "");
    Mp3Info info;
    // 16 characters of two GBK bytes: 32 bytes, cut to 15 characters.
    info.SetTitle("一二三四五六七八九十甲乙丙丁戊己");
    info.SetArtist("a一二三四五六七八九十甲乙丙丁戊");
    ASSERT_TRUE(info.WriteTag(file, false));
    const Mp3Info back(file);
    EXPECT_EQ(TextCodec::decodeStoredText(back.Title()), "一二三四五六七八九十甲乙丙丁戊");
    EXPECT_EQ(TextCodec::decodeStoredText(back.Artist()), "a一二三四五六七八九十甲乙丙丁");
    const Id3TitleReader reader(file);
    EXPECT_EQ(reader.Title(), back.Title());
    EXPECT_EQ(reader.Artist(), back.Artist());
}

TEST_F(Mp3InfoTest, TitleReaderReadsTitleAndArtistOnly) {
    writeBytes(file, tagBlock("My Title  ", "Me", 0, 1, 1));
    const Id3TitleReader reader(file);
    EXPECT_EQ(reader.Path(), file);
    EXPECT_EQ(reader.Title(), "My Title  ");
    EXPECT_EQ(reader.Artist(), "Me");
    Id3TitleReader missing;
    EXPECT_FALSE(missing.Read(dir.file("none.mp3")));
    EXPECT_TRUE(missing.Path().empty());
}

}  // namespace

namespace {

// Lowers the largest file size this process may write (as a full disk would stop it) for the
// life of the object; the signal that comes with it is ignored meanwhile.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

TEST(Mp3InfoWriteTest, AFailedOrRefusedTagWriteLeavesTheFileAsItWas) {
    TempDir dir;
    const std::string file = dir.file("song.mp3");
    writeBytes(file, std::string(1000, 'a'));
    Mp3Info info;
    info.SetTitle("小猫");
    {
        const FileSizeLimit full(1050);  // no room for a 128-byte tag
        EXPECT_FALSE(info.WriteTag(file, false));
    }
    EXPECT_EQ(readBytes(file), std::string(1000, 'a'));
    ASSERT_TRUE(info.WriteTag(file, false));
    EXPECT_EQ(readBytes(file).size(), 1128U);

    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    info.SetTitle("其他");
    const std::string tagged = readBytes(file);
    EXPECT_FALSE(info.WriteTag(file, false)) << "a file its owner made read-only";
    EXPECT_FALSE(info.WriteTag(file, true));
    EXPECT_EQ(readBytes(file), tagged);
}

}  // namespace
