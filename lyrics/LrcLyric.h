#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lyrics/LyricWords.h"
#include "lyrics/SingerTitle.h"

// One timed line of a lyric.
struct LyricLine {
    int Start = 0;     // ms from the start of the song
    int End = 0;       // ms: the next line's Start, or Start + 500 for the last line
    std::string Text;  // UTF-8 words as they stand in the file, line end included
    // Text carries word tags (valid or not): Shown holds it without them.
    bool Tagged = false;
    std::string Shown;
    // Word times into ShownText(); empty when the line is lit as a whole.
    std::vector<LyricWord> Words;

    const std::string& ShownText() const { return Tagged ? Shown : Text; }
};

// A loaded LRC lyric: lines sorted by start time. The file is decoded (UTF-8 with or without a
// byte-order mark, otherwise GBK) before it is cut into tags, so a bracket byte inside a GBK
// character never splits a line.
class LrcLyric {
public:
    // Parses the file into this (empty) model. False when the file cannot be read; a file
    // without any time tag loads as true with no lines.
    bool Load(const std::string& path);
    // Parses stored bytes (as read from a file) into this (empty) model.
    void Parse(std::string_view bytes);
    // Takes lines read from another format (sorted by Start, Ends set).
    void SetLines(std::vector<LyricLine> lines);

    // The current line for a play position (ms) shifted by the global lyric offset (ms);
    // `previous` is the index returned last time (-1 before) and comes back when no rule fits.
    int FindCurrentLine(int position, int lyricOffset, int previous) const;

    const std::vector<LyricLine>& Lines() const { return m_lines; }
    // The file's own offset tag in ms (0 when there is none); the display does not apply it.
    int Offset() const { return m_offset; }
    // The longest Text in UTF-8 bytes, 0 without lines.
    int MaxTextBytes() const { return m_maxTextBytes; }

private:
    void updateMaxTextBytes();

    std::vector<LyricLine> m_lines;
    int m_offset = 0;
    int m_maxTextBytes = 0;
};

// Longest line text kept, in bytes. Real lyric lines are far shorter; the cap keeps a file of
// thousands of time tags in front of one huge text from multiplying that text in memory.
inline constexpr size_t kMaxLyricTextBytes = 4096;

// How many bytes of a file's head ReadTagHead looks at.
inline constexpr size_t kTagHeadBytes = 100;

// Singer ("[ar:" tag, trailing points removed) and title ("[ti:" tag) from the first 100 bytes
// of an LRC file (after a byte-order mark). Tags further on are not seen. Both empty when the
// file cannot be read.
SingerTitle ReadTagHead(const std::string& path);
// The same rule on bytes already read.
SingerTitle ReadTagHeadFromBytes(std::string_view head);
