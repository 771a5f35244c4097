#include <gtest/gtest.h>

#include "lyrics/LyricFile.h"
#include "lyrics/MidiLyric.h"
#include "shell/TextCodec.h"
#include "tests/lyrics/SmfWriter.h"
#include "tests/support/TestSupport.h"

namespace {

struct Syllable {
    std::string text;
    int start;
    bool operator==(const Syllable&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Syllable& s) {
    return out << '{' << s.text << ' ' << s.start << '}';
}

// Every line's syllables; each line's Start checked against its first syllable.
std::vector<std::vector<Syllable>> syllables(const std::vector<LyricLine>& lines) {
    std::vector<std::vector<Syllable>> result;
    for (const LyricLine& line : lines) {
        std::vector<Syllable>& row = result.emplace_back();
        for (const LyricWord& w : line.Words) {
            row.push_back(
                {line.Text.substr(static_cast<size_t>(w.Begin), static_cast<size_t>(w.Length)),
                 w.Start});
        }
        EXPECT_EQ(line.Start, line.Words.front().Start);
    }
    return result;
}

std::vector<LyricLine> read(const std::string& bytes) {
    std::vector<LyricLine> lines;
    std::string error;
    EXPECT_TRUE(ReadMidiLyric(bytes, lines, error)) << error;
    return lines;
}

// A karaoke file: tempo track (120 bpm, 60 bpm from tick 960), a music track with running
// status and sysex, and a words track of text events with the usual markers.
std::string karaoke() {
    SmfWriter smf(480);
    smf.track().tempo(0, 500000).tempo(960, 1000000);
    smf.track()
        .raw(0, std::string("\xF0\x03\x7E\x7F\xF7", 5))
        .raw(0, "\x90\x3C\x64")
        .raw(240, std::string("\x3C\x00", 2))  // running status: note off as velocity 0
        .raw(0, "\xC0\x05");
    smf.track()
        .text(0, "@KMIDI KARAOKE FILE")
        .text(0, "@TTwinkle")
        .text(0, "\\Twin")
        .text(480, "kle ")  // 500 ms
        .text(480, "twin")  // 1000 ms: the tempo halves here
        .text(480, "kle")   // 2000 ms
        .text(480, "/Lit")  // 3000 ms
        .text(240, "tle");  // 3500 ms
    return smf.bytes();
}

TEST(MidiLyricTest, TextEventsOfAKaraokeFileBecomeTimedLinesThroughTempoChanges) {
    const std::vector<LyricLine> lines = read(karaoke());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(syllables(lines), (std::vector<std::vector<Syllable>>{
                                    {{"Twin", 0}, {"kle ", 500}, {"twin", 1000}, {"kle", 2000}},
                                    {{"Lit", 3000}, {"tle", 3500}}}));
    EXPECT_EQ(lines[0].Text, "Twinkle twinkle");
    EXPECT_EQ(lines[0].End, 3000);
    EXPECT_EQ(lines[0].Words.back().End, 3000);
    EXPECT_EQ(lines[1].End, 4500);
    EXPECT_EQ(lines[1].Words.front().End, 3500);
}

TEST(MidiLyricTest, LyricEventsWinOverTextAndLineBreaksEndLines) {
    SmfWriter smf(96);
    smf.track().text(0, "Copyright notice").tempo(0, 250000);
    smf.track()
        .lyric(0, "\xD2\xBB")     // GBK for one
        .lyric(96, "\xB6\xFE\r")  // two, then the line ends
        .lyric(96, "\xC8\xFD");   // three
    const std::vector<LyricLine> lines = read(smf.bytes());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Text, "一二");
    EXPECT_EQ(lines[1].Text, "三");
    EXPECT_EQ(lines[0].Words[1].Start, 250);
    EXPECT_EQ(lines[1].Start, 500);
}

TEST(MidiLyricTest, SmpteDivisionAndFilesCutShort) {
    SmfWriter smf(static_cast<uint16_t>((0x100 - 25) << 8 | 40));  // 25 frames of 40 ticks
    smf.track().lyric(0, "a").lyric(1000, "b").lyric(1000, "c");
    const std::string bytes = smf.bytes();
    EXPECT_EQ(syllables(read(bytes)),
              (std::vector<std::vector<Syllable>>{{{"a", 0}, {"b", 1000}, {"c", 2000}}}));
    // Cut inside the last event: what came before stays.
    EXPECT_EQ(read(bytes.substr(0, bytes.size() - 7))[0].Text, "ab");
}

TEST(MidiLyricTest, FilesWithoutALyricOrNotMidiFail) {
    SmfWriter smf;
    smf.track().text(0, "@TTitle only").raw(10, "\x90\x3C\x64");
    for (const std::string& bytes : {smf.bytes(), std::string("RIFF....WAVE"), std::string(),
                                     std::string("MThd\x00\x00\x00\x02\x00\x00", 10)}) {
        std::vector<LyricLine> lines;
        std::string error;
        EXPECT_FALSE(ReadMidiLyric(bytes, lines, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(MidiLyricTest, SongsFindTheirLyricInsideWhenNoLrcExists) {
    TempDir dir;
    const std::string song = dir.file("Song.KAR");
    writeBytes(song, karaoke());
    const std::string lrc = dir.file("Song.lrc");
    EXPECT_EQ(LyricSourceFor(lrc, song), song);
    EXPECT_EQ(LyricSourceFor(lrc, dir.file("Song.mp3")), lrc);
    writeBytes(lrc, "[00:01.00]x");
    EXPECT_EQ(LyricSourceFor(lrc, song), lrc);

    LrcLyric lyric;
    std::string error;
    ASSERT_TRUE(LoadLyricFile(song, lyric, error)) << error;
    EXPECT_EQ(lyric.Lines().size(), 2u);
    EXPECT_EQ(lyric.FindCurrentLine(3200, 0, -1), 1);
    writeBytes(dir.file("empty.mid"), "MThd");
    EXPECT_FALSE(LoadLyricFile(dir.file("empty.mid"), lyric, error));
    EXPECT_NE(error.find("empty.mid"), std::string::npos);
}

}  // namespace
