// Writes the fuzzers' seed files, made by the program's own writers and the tests' fixture
// makers, so the seeds hold what the program really stores:  fuzz_seeds OUTDIR
// OUTDIR/<target>/ gets the seeds of each fuzz target.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "library/Id3v1Tag.h"
#include "library/M3uPlaylist.h"
#include "lyriceditor/LrcDraft.h"
#include "shell/IniDocument.h"
#include "shell/TextCodec.h"
#include "tests/audiotools/WaveBuilder.h"
#include "tests/lyrics/SmfWriter.h"
#include "tests/media/CdgWriter.h"

namespace {

namespace fs = std::filesystem;

fs::path outFolder;

void seed(const std::string& target, const std::string& name, const std::string& bytes) {
    const fs::path folder = outFolder / target;
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

std::string frame(unsigned header, size_t length) {
    std::string bytes(length, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<size_t>(i)] = static_cast<char>(header >> (24 - 8 * i));
    }
    return bytes;
}

std::string tagBlock() {
    Id3v1Tag tag;
    tag.title = "小星星";
    tag.artist = "歌手";
    tag.album = "Album";
    tag.year = "1999";
    tag.comment = "comment";
    tag.track = 3;
    tag.genre = 12;
    return tag.toBlock();
}

void mp3Seeds() {
    std::string mpeg1;
    for (int i = 0; i < 3; ++i) {
        mpeg1 += frame(0xFFFB9044u | (i == 1 ? 0x200u : 0u), i == 1 ? 418 : 417);
    }
    seed("mp3", "frames_tag.mp3", "ID3junk" + mpeg1 + tagBlock());
    seed("mp3", "mpeg2.mp3", frame(0xFFF348C4u, 144) + frame(0xFFF348C4u, 144));
    seed("mp3", "tag_only.mp3", tagBlock());
}

void wavSeeds() {
    const std::vector<int16_t> samples = tone(0.0002, 440, 8000);
    seed("wav", "canonical.wav", wavFile(samples));
    std::string list = "LIST" + le32(12) + "INFOmetadata";
    seed("wav", "list_metadata.wav", riffHeader() + list + dataChunk(samples));
    std::string eightBit = riffHeader() + dataChunk({0x1234, 0x5678});
    eightBit[34] = 8;  // bits per sample
    seed("wav", "eight_bit.wav", eightBit);
}

void lyricSeeds() {
    LrcDraft draft;
    draft.AddLine("", 0);
    draft.AddLine("一闪一闪亮晶晶", 1500);
    draft.AddLine("Twinkle twinkle", 4250);
    draft.AddLine("一闪一闪亮晶晶", 61990);
    const std::string text = lrcFileText({"小星星", "歌手", "Verslet"}, draft.Rows());
    seed("lrc", "draft.lrc", text);
    seed("lrc", "draft_gbk.lrc", TextCodec::utf8ToGbk(text));
}

// A karaoke file with a tempo change, running status and sysex, and one timed by SMPTE frames.
void midiSeeds() {
    SmfWriter karaoke(480);
    karaoke.track().tempo(0, 500000).tempo(960, 1000000);
    karaoke.track()
        .raw(0, std::string("\xF0\x03\x7E\x7F\xF7", 5))
        .raw(0, "\x90\x3C\x64")
        .raw(240, std::string("\x3C\x00", 2))
        .raw(0, "\xC0\x05");
    karaoke.track()
        .text(0, "@KMIDI KARAOKE FILE")
        .text(0, "\\Twin")
        .text(480, "kle ")
        .text(480, "twin")
        .text(480, "kle\r")
        .text(480, "/小星星");
    seed("midi", "karaoke.kar", karaoke.bytes());

    SmfWriter smpte(static_cast<uint16_t>(0xE728));  // 25 frames of 40 ticks a second
    smpte.track()
        .lyric(0, "一闪")
        .lyric(1000, "一闪\n")
        .lyric(1000, TextCodec::utf8ToGbk("亮晶晶"));
    seed("midi", "lyric-smpte.mid", smpte.bytes());
}

void cdgSeeds() {
    std::array<std::uint8_t, CdgWriter::kTileHeight> cross{};
    cross.fill(0x0C);
    CdgWriter disc;
    disc.colorTable(false, {0x000, 0xF00, 0x0F0, 0x00F, 0xFFF, 0x840, 0x48C, 0x123})
        .colorTable(true, {0x111, 0x222, 0x333, 0x444, 0x555, 0x666, 0x777, 0xF0F})
        .memoryPreset(1);
    disc.at(30)
        .borderPreset(2)
        .at(60)
        .tile(5, 10, 3, 4, cross)
        .at(90)
        .tile(5, 10, 0, 15, cross, true);
    disc.at(400).memoryPreset(8).at(420);
    seed("cdg", "disc.cdg", disc.bytes());
}

void playlistSeeds() {
    const std::vector<SongEntry> songs{
        MakeSongEntry("/music/歌手 - 小星星.mp3", "歌手 - 小星星", 185),
        MakeSongEntry("relative/song.wma", "song", 0)};
    seed("m3u", "saved.m3u", FormatM3u(songs));
    seed("m3u", "saved_gbk.m3u", TextCodec::utf8ToGbk(FormatM3u(songs)));
}

void settingsSeeds() {
    IniDocument document("");
    document.set("App", "AppPath", "/home/歌手/Vocalia/");
    document.set("PhoneSet", "Latency", "40");
    document.set("Lyrics", "CustomPath", "/srv/lrc/");
    seed("ini", "written.ini", document.bytes());
}

void textSeeds() {
    const std::string text = "一闪一闪亮晶晶 Twinkle 给佛 ＡＢＣ１２３";
    for (const char* target : {"pinyin", "text_codec"}) {
        seed(target, "written_utf8.txt", text);
        seed(target, "written_gbk.txt", TextCodec::utf8ToGbk(text));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: fuzz_seeds OUTDIR\n", stderr);
        return 2;
    }
    outFolder = argv[1];
    mp3Seeds();
    wavSeeds();
    lyricSeeds();
    midiSeeds();
    cdgSeeds();
    playlistSeeds();
    settingsSeeds();
    textSeeds();
    return 0;
}
