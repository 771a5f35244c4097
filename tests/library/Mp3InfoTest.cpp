#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "library/Id3TitleReader.h"
#include "library/LameTag.h"
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

std::string frames(unsigned header, size_t length, int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        bytes += frame(header, length);
    }
    return bytes;
}

// An Info frame (128 kbit/s, 44100 Hz) whose LAME tag records `delay` and `padding`.
std::string infoFrame(int delay, int padding) {
    std::string bytes = frame(mpeg1Layer3(9, false), 417);
    bytes.replace(36, 4, "Info");
    bytes[43] = 0x0F;  // frame count, byte count, seek table and quality follow
    bytes.replace(156, 9, "LAME3.100");
    bytes[177] = static_cast<char>(delay >> 4);
    bytes[178] = static_cast<char>(((delay & 15) << 4) | (padding >> 8));
    bytes[179] = static_cast<char>(padding);
    return bytes;
}

TEST_F(Mp3InfoTest, FramesAreTimedByTheirSamplesWhateverTheirBytes) {
    // Unpadded frames of varying bitrates: 300 of them are 300 x 1152 samples, 7.84 s, where
    // their bytes at their bitrates come to a little less.
    std::string bytes;
    for (int i = 0; i < 150; ++i) {
        bytes += frame(mpeg1Layer3(1, false), 104) + frame(mpeg1Layer3(14, false), 1044);
    }
    writeBytes(file, bytes);
    Mp3Info info(file);
    EXPECT_NEAR(info.PlayTime(), 300 * 1152 / 44100.0, 1e-9);
    EXPECT_EQ(info.Duration(), 7);
    // MPEG-2 Layer III frames hold 576 samples.
    writeBytes(file, frame(0xFFF38040u, 208) + frame(0xFFF38040u, 208) + frame(0xFFF38040u, 208));
    ASSERT_TRUE(info.Read(file));
    EXPECT_NEAR(info.PlayTime(), 3 * 576 / 22050.0, 1e-9);
    // MPEG-1 Layer I at 128 kbit/s: 384 samples in (12000 x 128 / 44100) x 4 = 136 bytes.
    writeBytes(file, frame(0xFFFF4040u, 136) + frame(0xFFFF4040u, 136));
    ASSERT_TRUE(info.Read(file));
    EXPECT_EQ(info.Layer(), 1);
    EXPECT_NEAR(info.PlayTime(), 2 * 384 / 44100.0, 1e-9);
}

TEST_F(Mp3InfoTest, AHeaderFrameIsNoSoundAndItsLameTagTrimsTheStream) {
    std::string music;
    for (int i = 0; i < 100; ++i) {
        music += frame(mpeg1Layer3(9, false), 417);
    }
    writeBytes(file, infoFrame(576, 1224) + music);
    Mp3Info info(file);
    EXPECT_EQ(info.FrameCount(), 101);
    EXPECT_NEAR(info.PlayTime(), (100 * 1152 - 576 - 1224) / 44100.0, 1e-9);
    // Without the tag only the header frame is left out; trimming more than there is leaves 0.
    std::string untagged = infoFrame(0, 0);
    untagged.replace(156, 4, "none");
    writeBytes(file, untagged + music);
    ASSERT_TRUE(info.Read(file));
    EXPECT_NEAR(info.PlayTime(), 100 * 1152 / 44100.0, 1e-9);
    writeBytes(file, infoFrame(4095, 4095) + frame(mpeg1Layer3(9, false), 417));
    ASSERT_TRUE(info.Read(file));
    EXPECT_EQ(info.PlayTime(), 0);
    // Exactly five minutes reads as 300 s, not 299.99999.
    writeBytes(file, infoFrame(576, 144) + frames(mpeg1Layer3(9, false), 417, 11485));
    ASSERT_TRUE(info.Read(file));
    EXPECT_EQ(info.Duration(), 300);
    // Only the first frame can be a header frame.
    writeBytes(file, music + infoFrame(576, 1224));
    ASSERT_TRUE(info.Read(file));
    EXPECT_NEAR(info.PlayTime(), 101 * 1152 / 44100.0, 1e-9);
}

TEST_F(Mp3InfoTest, WriteGapPutsALameTaggedInfoFrameBeforeTheFramesOrInPlaceOfOne) {
    const std::string music = frames(mpeg1Layer3(9, false), 417, 100);
    writeBytes(file, music);
    std::string error;
    ASSERT_TRUE(LameTag::writeGap(file, 100 * 1152 - 576 - 1000, error)) << error;
    std::string bytes = readBytes(file);
    ASSERT_EQ(bytes.size(), 417 + music.size());
    EXPECT_EQ(bytes.substr(417), music);
    EXPECT_EQ(bytes.substr(36, 4), "Info");
    const auto gap = LameTag::readGap(bytes.substr(0, 417));
    ASSERT_TRUE(gap);
    EXPECT_EQ(gap->delay, 576);
    EXPECT_EQ(gap->padding, 1000);
    EXPECT_NEAR(Mp3Info(file).PlayTime(), (100 * 1152 - 1576) / 44100.0, 1e-9);
    // Again: the header frame is replaced, not stacked.
    ASSERT_TRUE(LameTag::writeGap(file, 100 * 1152 - 576 - 2000, error)) << error;
    bytes = readBytes(file);
    EXPECT_EQ(bytes.size(), 417 + music.size());
    EXPECT_EQ(LameTag::readGap(bytes.substr(0, 417))->padding, 2000);
    // A Xing frame too small for the tag (48 kbit/s, 156 bytes) gives way to a larger one.
    std::string small = frame(mpeg1Layer3(3, false), 156);
    small.replace(36, 4, "Xing");
    writeBytes(file, small + music);
    ASSERT_TRUE(LameTag::writeGap(file, 100 * 1152 - 576 - 1000, error)) << error;
    bytes = readBytes(file);
    EXPECT_EQ(bytes.substr(bytes.size() - music.size()), music);
    EXPECT_TRUE(LameTag::isHeaderFrame(bytes.substr(0, bytes.size() - music.size())));
    EXPECT_EQ(Mp3Info(file).FrameCount(), 101);
}

TEST_F(Mp3InfoTest, WriteGapFitsMonoMpeg2AndRefusesWhatItCannotDescribe) {
    // MPEG-2 Layer III, 64 kbit/s, 22050 Hz, mono: 576 samples in 208 bytes.
    const std::string music = frames(0xFFF380C0u, 208, 50);
    writeBytes(file, music);
    std::string error;
    ASSERT_TRUE(LameTag::writeGap(file, 50 * 576 - 576 - 300, error)) << error;
    EXPECT_NEAR(Mp3Info(file).PlayTime(), (50 * 576 - 876) / 22050.0, 1e-9);
    const std::string tagged = readBytes(file);
    // More samples than the frames hold, so few that the padding overflows its field, no MPEG
    // frames, no file: false, and the file as it was.
    for (const int64_t samples : {int64_t{50} * 576, int64_t{0}}) {
        EXPECT_FALSE(LameTag::writeGap(file, samples, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(readBytes(file), tagged);
    }
    writeBytes(file, "not an MP3 file");
    EXPECT_FALSE(LameTag::writeGap(file, 0, error));
    EXPECT_EQ(readBytes(file), "not an MP3 file");
    EXPECT_FALSE(LameTag::writeGap(dir.file("missing.mp3"), 0, error));
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.mp3")));
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
