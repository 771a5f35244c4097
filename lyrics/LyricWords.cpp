#include "lyrics/LyricWords.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isTagChar(char c) {
    return isDigit(c) || c == ':' || c == '.';
}

// Longest run between '<' and '>' still taken for a (possibly malformed) word tag.
constexpr size_t kLongestTagBody = 16;

// Length of a word tag (or of what is left of one) at text[at] == '<': '<', a digit, then up
// to '>' with a colon or only digits, colons and points on the way; cut short, a run of digits,
// colons and points holding a colon. 0 when the bytes read as text ("<3 you").
size_t tagLength(std::string_view text, size_t at) {
    if (at + 1 >= text.size() || !isDigit(text[at + 1])) {
        return 0;
    }
    const size_t close = text.find_first_of("<>", at + 1);
    if (close != std::string_view::npos && text[close] == '>' &&
        close - at - 1 <= kLongestTagBody) {
        const std::string_view body = text.substr(at + 1, close - at - 1);
        if (body.find(':') != std::string_view::npos ||
            std::all_of(body.begin(), body.end(), isTagChar)) {
            return close + 1 - at;
        }
    }
    size_t i = at + 1;
    bool colon = false;
    while (i < text.size() && isTagChar(text[i])) {
        colon = colon || text[i] == ':';
        ++i;
    }
    return colon ? i - at : 0;
}

// "<m:ss>", "<mm:ss.x>" up to three minute and three fraction digits; nothing else.
std::optional<int> tagMilliseconds(std::string_view tag) {
    if (tag.size() < 2 || tag.back() != '>') {
        return std::nullopt;
    }
    const std::string_view body = tag.substr(1, tag.size() - 2);
    if (!std::all_of(body.begin(), body.end(), isTagChar)) {
        return std::nullopt;
    }
    const size_t colon = body.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 3 || body.size() < colon + 3) {
        return std::nullopt;
    }
    int minutes = 0;
    for (size_t i = 0; i < colon; ++i) {
        if (!isDigit(body[i])) {
            return std::nullopt;
        }
        minutes = minutes * 10 + (body[i] - '0');
    }
    const char s1 = body[colon + 1];
    const char s2 = body[colon + 2];
    if (!isDigit(s1) || !isDigit(s2) || s1 > '5') {
        return std::nullopt;
    }
    int ms = minutes * 60000 + ((s1 - '0') * 10 + (s2 - '0')) * 1000;
    const std::string_view rest = body.substr(colon + 3);
    if (rest.empty()) {
        return ms;
    }
    if (rest[0] != '.' || rest.size() < 2 || rest.size() > 4) {
        return std::nullopt;
    }
    int scale = 100;
    for (size_t i = 1; i < rest.size(); ++i) {
        if (!isDigit(rest[i])) {
            return std::nullopt;
        }
        ms += (rest[i] - '0') * scale;
        scale /= 10;
    }
    return ms;
}

void appendShown(std::string& shown, std::string_view words) {
    for (const char c : words) {
        if (c != '\r' && c != '\n') {
            shown.push_back(c);
        }
    }
}

// Every tag starts a word (an empty one where the next tag follows at once: a pause, or the
// end of the last word). False when a tag is malformed or earlier than the one before.
bool splitWords(std::string_view text, WordTimedText& out) {
    bool valid = true;
    bool timed = false;
    size_t i = 0;
    while (i < text.size()) {
        const size_t tag = text[i] == '<' ? tagLength(text, i) : 0;
        if (tag == 0) {
            const size_t next = text.find('<', i + 1);
            const size_t end = next == std::string_view::npos ? text.size() : next;
            appendShown(out.Shown, text.substr(i, end - i));
            i = end;
            continue;
        }
        out.Tagged = true;
        const std::optional<int> ms = tagMilliseconds(text.substr(i, tag));
        valid = valid && ms.has_value() && (!timed || *ms >= out.Words.back().Start);
        if (valid) {
            // Words before the first tag are lit when the timed words begin.
            if (!timed && !out.Shown.empty()) {
                out.Words.push_back({*ms, *ms, 0, static_cast<int>(out.Shown.size())});
            }
            timed = true;
            out.Words.push_back({*ms, *ms, static_cast<int>(out.Shown.size()), 0});
        }
        i += tag;
        if (valid) {
            // The word's length is only known at the next tag.
            const size_t next = text.find('<', i);
            const size_t end = next == std::string_view::npos ? text.size() : next;
            appendShown(out.Shown, text.substr(i, end - i));
            out.Words.back().Length = static_cast<int>(out.Shown.size()) - out.Words.back().Begin;
            i = end;
        }
    }
    return valid;
}

}  // namespace

WordTimedText ReadWordTags(std::string_view text, int lineStart, int lineEnd) {
    WordTimedText result;
    if (text.find('<') == std::string_view::npos) {
        return result;
    }
    if (!splitWords(text, result) || result.Words.empty()) {
        result.Words.clear();
        return result;
    }
    std::vector<LyricWord>& words = result.Words;
    const int first = words.front().Start;
    if (first < lineStart || (lineEnd > lineStart && first >= lineEnd)) {
        const std::int64_t shift = std::int64_t{lineStart} - first;
        for (LyricWord& word : words) {
            word.Start =
                static_cast<int>(std::clamp<std::int64_t>(word.Start + shift, 0, INT32_MAX));
        }
    }
    CloseWordEnds(words, lineEnd);
    std::erase_if(words, [](const LyricWord& word) { return word.Length == 0; });
    return result;
}

void CloseWordEnds(std::vector<LyricWord>& words, int lineEnd) {
    for (size_t i = 0; i + 1 < words.size(); ++i) {
        words[i].End = words[i + 1].Start;
    }
    if (!words.empty()) {
        LyricWord& last = words.back();
        const std::int64_t end =
            std::min<std::int64_t>(std::int64_t{last.Start} + kLastWordMs, lineEnd);
        last.End = static_cast<int>(std::max<std::int64_t>(last.Start, end));
    }
}

double WipedWords(const std::vector<LyricWord>& words, long long position) {
    // The first word still unlit at the position; the one before it is being lit.
    const auto unlit = std::partition_point(
        words.begin(), words.end(), [&](const LyricWord& w) { return w.Start <= position; });
    if (unlit == words.begin()) {
        return 0;
    }
    const LyricWord& word = *(unlit - 1);
    const double index = static_cast<double>(unlit - words.begin() - 1);
    if (position >= word.End) {
        return index + 1;
    }
    return index + static_cast<double>(position - word.Start) / (word.End - word.Start);
}
