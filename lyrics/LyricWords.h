#pragma once

#include <string>
#include <string_view>
#include <vector>

// One timed word (or syllable) of a line, as a byte range of the line's shown text.
struct LyricWord {
    int Start = 0;  // ms: the colour starts to run across the word
    int End = 0;    // ms: the word is fully lit
    int Begin = 0;  // first byte in the shown text
    int Length = 0;
};

// A line's text read for word tags ("<mm:ss.xx>word<mm:ss.xx>word").
struct WordTimedText {
    // True when the text holds anything that looks like a word tag, valid or not.
    bool Tagged = false;
    // The text without its tags and line ends (only set when Tagged).
    std::string Shown;
    // The timed words; empty when a tag is malformed or goes back in time.
    std::vector<LyricWord> Words;
};

// Without an end tag the last word is lit over at most this long (the next line may be far off).
inline constexpr int kLastWordMs = 1000;

// Reads the word tags of a line shown from lineStart to lineEnd (ms). Times are absolute;
// words written for another start of the same text (one text under several time tags) are
// moved so that the first word starts with the line.
WordTimedText ReadWordTags(std::string_view text, int lineStart, int lineEnd);

// Gives every word the start of the next one as its end; the last word ends at most
// kLastWordMs later, and never after lineEnd unless it starts there.
void CloseWordEnds(std::vector<LyricWord>& words, int lineEnd);

// How far the words are lit at a play position: the index of the word being lit plus the lit
// fraction of it; 0 before the first word, words.size() after the last.
double WipedWords(const std::vector<LyricWord>& words, long long position);
