#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The time tag of a play position in ms: "[mm:ss.xx]", the minutes at least two digits, the
// hundredths cut (not rounded). A negative position counts as the start.
std::string lrcTimeTag(int64_t positionMs);

// One line of the lyric being made: its words and every time at which they are sung.
struct LrcRow {
    std::string words;
    std::vector<std::string> tags;

    // The tags one after another, as the line starts in the file.
    std::string TagText() const;
};

// The three header fields of the file.
struct LrcHeader {
    std::string title;
    std::string artist;
    std::string maker;

    bool Complete() const { return !title.empty() && !artist.empty() && !maker.empty(); }
};

// The file text: the title, artist and maker tags, then one line per row (its tags, then its
// words), each ending with CR LF. Line breaks inside a field or words become spaces, so no text
// can start a line of its own.
std::string lrcFileText(const LrcHeader& header, const std::vector<LrcRow>& rows);

// A lyric made by ear: each added line is stamped with the play position at which the line
// before it was added (the first line with the start of the song), since the user adds a line
// once it has been sung. Words that repeat earlier words gather their times on the earlier row.
class LrcDraft {
public:
    enum class AddResult { NewRow, Gathered, SameTime };

    // Adds `words` (empty words too) at the pending tag and makes the tag of `positionMs` the
    // next one. SameTime, with nothing changed, while the song still stands at the pending tag
    // and a row already holds it: two lines added without playing in between are as many as
    // one moment takes. Once the song has moved on the line goes in, so that a line added
    // before playing, or a refusal, never blocks every later add.
    AddResult AddLine(std::string_view words, int64_t positionMs);
    // Gives row `row` new words; false, with nothing changed, for empty words or no such row.
    bool Rename(size_t row, std::string_view words);

    const std::vector<LrcRow>& Rows() const { return m_rows; }
    // The tag the next added line receives.
    const std::string& PendingTag() const { return m_pendingTag; }

    // Whether rows were added or renamed since the last MarkSaved.
    bool Modified() const { return m_modified; }
    void MarkSaved() { m_modified = false; }

private:
    bool holdsTag(const std::string& tag) const;

    std::vector<LrcRow> m_rows;
    std::string m_pendingTag = lrcTimeTag(0);
    bool m_modified = false;
};
