#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lyriceditor/LrcDraft.h"

// One line of pasted lyric text, cut into the pieces a tap stamps: words with the blanks after
// them for Latin text, single characters for Chinese, Japanese and Korean text. Punctuation
// stays with the piece before it. The pieces joined give the line.
struct TapLine {
    std::vector<std::string> units;

    std::string Text() const;
};

// Cuts UTF-8 lyric text into lines (at line ends, trimmed, blank lines dropped) and pieces.
std::vector<TapLine> splitTapLines(std::string_view text);

// A lyric made by tapping along: the whole text is known first, and each tap stamps the start of
// the next line (Lines) or of the next word (Words; a line's first word stamps the line too).
// Stamps are kept to the hundredth the file holds and never go back in time.
class TapDraft {
public:
    enum class Mode { Lines, Words };

    // Where the last tap landed: a line and, in Words mode, a piece of it; -1 before any tap.
    struct Spot {
        int line = -1;
        int unit = -1;
    };

    TapDraft() = default;
    TapDraft(std::vector<TapLine> lines, Mode mode);

    // Stamps the next line or word with `positionMs`. False, with nothing changed, when every
    // piece is stamped or the position lies before the last stamp (after a replay).
    bool Tap(int64_t positionMs);
    // Removes every stamp of the last stamped line and returns that line's start (ms), for the
    // song to go back to; nothing when no line is stamped.
    std::optional<int64_t> StepBack();

    Spot Current() const;
    size_t Stamps() const { return m_stamps.size(); }
    bool Finished() const { return m_stamps.size() == slotCount(); }
    const std::vector<TapLine>& Lines() const { return m_lines; }
    Mode TapMode() const { return m_mode; }

    // The stamped lines as rows of the file: the line tag, and in Words mode a word tag
    // ("<mm:ss.xx>") before each stamped word. Lines not reached yet are left out; the words of
    // a line not finished yet follow its last stamped word.
    std::vector<LrcRow> Rows() const;

    // Whether stamps were added or removed since the last MarkSaved.
    bool Modified() const { return m_modified; }
    void MarkSaved() { m_modified = false; }

private:
    size_t slotCount() const;
    // The line and piece stamp `stamp` belongs to.
    Spot spotOf(size_t stamp) const;

    std::vector<TapLine> m_lines;
    Mode m_mode = Mode::Lines;
    // One per stamped line (Lines) or per stamped piece in reading order (Words), in ms.
    std::vector<int64_t> m_stamps;
    bool m_modified = false;
};
