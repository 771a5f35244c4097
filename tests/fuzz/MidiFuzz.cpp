// MIDI songs read for the lyric inside them, and the words' wipe at a few positions.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lyrics/MidiLyric.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<LyricLine> lines;
    std::string error;
    if (!ReadMidiLyric(bytes, lines, error)) {
        return 0;
    }
    LrcLyric lyric;
    lyric.SetLines(std::move(lines));
    // The view starts at line 0, and a position between rules keeps the line before.
    for (const int position : {-1, 0, 1000, 60000, 1 << 30}) {
        const int line = lyric.FindCurrentLine(position, 0, 0);
        (void)WipedWords(lyric.Lines()[static_cast<size_t>(line)].Words, position);
    }
    return 0;
}
