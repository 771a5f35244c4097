#include "shell/DemoSong.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "library/M3uPlaylist.h"
#include "library/SongEntry.h"
#include "lyrics/LyricLibrary.h"
#include "shell/AtomicFile.h"

namespace DemoSong {

namespace {

constexpr int kTicksPerBeat = 480;
constexpr int kBeatsPerMinute = 100;
constexpr int kMsPerBeat = 60000 / kBeatsPerMinute;
// Two beats of lead-in before the first sung note.
constexpr int kLeadInBeats = 2;
constexpr int kBeatsPerLine = 8;

// MIDI note numbers of C major.
enum Note : std::uint8_t { C4 = 60, D4 = 62, E4 = 64, F4 = 65, G4 = 67, A4 = 69 };

// Each line: six quarter notes and a half note.
using Line = std::array<Note, 7>;
constexpr std::array<Line, 6> kMelody = {{
    {C4, C4, G4, G4, A4, A4, G4},
    {F4, F4, E4, E4, D4, D4, C4},
    {G4, G4, F4, F4, E4, E4, D4},
    {G4, G4, F4, F4, E4, E4, D4},
    {C4, C4, G4, G4, A4, A4, G4},
    {F4, F4, E4, E4, D4, D4, C4},
}};
// One bass note per half bar (two beats), four per line.
constexpr std::array<std::array<std::uint8_t, 4>, 6> kBass = {{
    {48, 48, 53, 48},
    {53, 48, 43, 48},
    {48, 53, 48, 43},
    {48, 53, 48, 43},
    {48, 48, 53, 48},
    {53, 48, 43, 48},
}};
constexpr std::array<const char*, 6> kWords = {
    "夜空里面星星亮", "一颗一颗在歌唱", "晚风轻轻吹过来",
    "带着花香到窗台", "拿起话筒唱一唱", "快乐就在你身旁",
};

struct Event {
    int tick;
    std::uint8_t status;
    std::uint8_t data1;
    std::uint8_t data2;
};

void appendVariableLength(std::string& out, std::uint32_t value) {
    std::uint8_t bytes[4];
    int count = 0;
    do {
        bytes[count++] = static_cast<std::uint8_t>(value & 0x7FU);
        value >>= 7U;
    } while (value != 0);
    while (count > 0) {
        --count;
        out += static_cast<char>(bytes[count] | (count > 0 ? 0x80U : 0U));
    }
}

void appendBigEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
        out += static_cast<char>((value >> static_cast<unsigned>(shift)) & 0xFFU);
    }
}

void addNote(std::vector<Event>& events, int channel, int startBeatTicks, int lengthTicks,
             std::uint8_t note, std::uint8_t velocity) {
    const auto on = static_cast<std::uint8_t>(0x90 | channel);
    const auto off = static_cast<std::uint8_t>(0x80 | channel);
    // Slightly detached, so repeated notes are heard as two.
    events.push_back({startBeatTicks, on, note, velocity});
    events.push_back({startBeatTicks + lengthTicks * 9 / 10, off, note, 0});
}

std::vector<Event> songEvents() {
    std::vector<Event> events;
    for (size_t line = 0; line < kMelody.size(); ++line) {
        const int lineStart =
            (kLeadInBeats + static_cast<int>(line) * kBeatsPerLine) * kTicksPerBeat;
        for (size_t i = 0; i < kMelody[line].size(); ++i) {
            const int length = i + 1 == kMelody[line].size() ? 2 * kTicksPerBeat : kTicksPerBeat;
            addNote(events, 0, lineStart + static_cast<int>(i) * kTicksPerBeat, length,
                    kMelody[line][i], 127);
        }
        for (size_t i = 0; i < kBass[line].size(); ++i) {
            addNote(events, 1, lineStart + static_cast<int>(i) * 2 * kTicksPerBeat,
                    2 * kTicksPerBeat, kBass[line][i], 90);
        }
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.tick < b.tick; });
    return events;
}

std::string trackBytes() {
    std::string track;
    // Tempo, then flute for the tune and acoustic bass below it.
    const std::uint32_t microsecondsPerBeat = 60000000U / kBeatsPerMinute;
    track += std::string("\x00\xFF\x51\x03", 4);
    appendBigEndian(track, microsecondsPerBeat, 3);
    track += std::string("\x00\xC0\x49", 3);
    track += std::string("\x00\xC1\x20", 3);
    // Both channels at full volume, so the demo sounds as loud as an ordinary recording.
    track += std::string("\x00\xB0\x07\x7F", 4);
    track += std::string("\x00\xB1\x07\x7F", 4);
    int now = 0;
    for (const Event& event : songEvents()) {
        appendVariableLength(track, static_cast<std::uint32_t>(event.tick - now));
        now = event.tick;
        track += static_cast<char>(event.status);
        track += static_cast<char>(event.data1);
        track += static_cast<char>(event.data2);
    }
    // One beat of silence, then the end of the track.
    appendVariableLength(track, kTicksPerBeat);
    track += std::string("\xFF\x2F\x00", 3);
    return track;
}

std::string timeTag(int ms) {
    // Room for three full ints: unoptimised builds check the size without knowing the ranges.
    char tag[40];
    std::snprintf(tag, sizeof tag, "[%02d:%02d.%02d]", ms / 60000, ms / 1000 % 60, ms % 1000 / 10);
    return tag;
}

}  // namespace

std::string MidiBytes() {
    std::string file("MThd", 4);
    appendBigEndian(file, 6, 4);
    appendBigEndian(file, 0, 2);
    appendBigEndian(file, 1, 2);
    appendBigEndian(file, kTicksPerBeat, 2);
    const std::string track = trackBytes();
    file += "MTrk";
    appendBigEndian(file, static_cast<std::uint32_t>(track.size()), 4);
    return file + track;
}

std::string LyricText() {
    std::string text = std::string("[ti:") + kTitle + "]\r\n[ar:" + kSinger + "]\r\n";
    text += timeTag(0) + kTitle + " - " + kSinger + "\r\n";
    for (size_t line = 0; line < kWords.size(); ++line) {
        const int beat = kLeadInBeats + static_cast<int>(line) * kBeatsPerLine;
        text += timeTag(beat * kMsPerBeat) + kWords[line] + "\r\n";
    }
    const int end = (kLeadInBeats + static_cast<int>(kWords.size()) * kBeatsPerLine) * kMsPerBeat;
    text += timeTag(end) + "(完)\r\n";
    return text;
}

int DurationSeconds() {
    const int beats = kLeadInBeats + static_cast<int>(kMelody.size()) * kBeatsPerLine + 1;
    return beats * kMsPerBeat / 1000;
}

std::string MidiPath(const std::string& programFolder) {
    return programFolder + "Demo/" + kTitle + ".mid";
}

bool InstallIfFresh(const std::string& programFolder) {
    namespace fs = std::filesystem;
    const std::string playlist = CategoryFilePath(programFolder, 0);
    const std::string midi = MidiPath(programFolder);
    std::error_code ignored;
    if (fs::exists(playlist, ignored) || fs::exists(midi, ignored)) {
        return false;
    }
    const std::string lyric = LyricLibraryPath(programFolder, {kSinger, kTitle});
    fs::create_directories(fs::path(midi).parent_path(), ignored);
    fs::create_directories(fs::path(lyric).parent_path(), ignored);
    if (!writeFileAtomically(midi, MidiBytes()) || !writeFileAtomically(lyric, LyricText())) {
        return false;
    }
    const std::string name = std::string(kSinger) + " - " + kTitle;
    return SaveM3u(playlist, {MakeSongEntry(midi, name, DurationSeconds())});
}

}  // namespace DemoSong
