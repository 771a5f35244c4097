#include "lyrics/LrcLyric.h"

#include <algorithm>
#include <cstdint>
#include <fstream>

#include "lyrics/Utf8Text.h"
#include "shell/AtomicFile.h"
#include "shell/LeadingInteger.h"
#include "shell/TextCodec.h"
#include "shell/TextTrim.h"

namespace {

struct TimedEntry {
    int time = 0;
    std::string text;
};

bool isDigitAt(std::string_view token, size_t index) {
    return index < token.size() && token[index] >= '0' && token[index] <= '9';
}

int twoDigits(std::string_view token, size_t index) {
    return (token[index] - '0') * 10 + (token[index + 1] - '0');
}

bool isTimeTag(std::string_view token) {
    return isDigitAt(token, 0) && isDigitAt(token, 1) && token.size() > 2 && token[2] == ':' &&
           isDigitAt(token, 3) && isDigitAt(token, 4);
}

// [mm:ss] or [mm:ss.xx]; the fraction is read from bytes 6-7 as hundredths of a second.
int timeTagMilliseconds(std::string_view token) {
    int fraction = 0;
    if (token.find('.') != std::string_view::npos && token.size() > 6) {
        fraction = leadingInteger(token.substr(6, 2));
    }
    return twoDigits(token, 0) * 60000 + twoDigits(token, 3) * 1000 + fraction * 10;
}

bool isOffsetTag(std::string_view token) {
    return token.find("offset") != std::string_view::npos ||
           token.find("OFFSET") != std::string_view::npos;
}

std::string withLfLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out.push_back(text[i]);
    }
    return out;
}

bool isBracket(char c) {
    return c == '[' || c == ']';
}

// Calls `visit` with every run of bytes between brackets, in order.
template <typename Visit>
void forEachToken(std::string_view text, Visit visit) {
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBracket(text[i])) {
            ++i;
        }
        const size_t start = i;
        while (i < text.size() && !isBracket(text[i])) {
            ++i;
        }
        if (i > start) {
            visit(text.substr(start, i - start));
        }
    }
}

// Collects the timed entries of a file and gives pending time tags their words. The words are
// copied into every pending entry; `budget` bounds the total so that a file of a million time
// tags before one text cannot multiply it beyond a few times the file's size.
class EntryCollector {
public:
    explicit EntryCollector(size_t budget) : m_budget(budget) {}

    // Time tags, then offset tags; every other token (words, header tags) is text.
    void token(std::string_view token, int& offset) {
        const bool hasColon = token.find(':') != std::string_view::npos;
        if (hasColon && isTimeTag(token)) {
            m_entries.push_back({timeTagMilliseconds(token), {}});
            ++m_pending;
        } else if (hasColon && isOffsetTag(token)) {
            offset = leadingInteger(token.substr(std::min<size_t>(7, token.size())));
        } else {
            text(token);
        }
    }

    std::vector<TimedEntry>& entries() { return m_entries; }

private:
    void text(std::string_view words) {
        const std::string_view kept = utf8Prefix(words, kMaxLyricTextBytes);
        for (size_t i = m_entries.size() - m_pending; i < m_entries.size(); ++i) {
            const std::string_view copy = utf8Prefix(kept, m_budget);
            m_entries[i].text.assign(copy);
            m_budget -= copy.size();
        }
        m_pending = 0;
    }

    std::vector<TimedEntry> m_entries;
    size_t m_pending = 0;
    size_t m_budget;
};

}  // namespace

bool LrcLyric::Load(const std::string& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) {
        return false;
    }
    Parse(bytes);
    return true;
}

void LrcLyric::Parse(std::string_view bytes) {
    m_lines.clear();
    m_offset = 0;
    bytes = bytes.substr(0, bytes.find('\0'));
    const std::string text = withLfLineEnds(TextCodec::decodeStoredText(bytes));
    EntryCollector collector(4 * text.size() + (1u << 20));
    forEachToken(text, [&](std::string_view token) { collector.token(token, m_offset); });

    std::vector<TimedEntry>& entries = collector.entries();
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TimedEntry& a, const TimedEntry& b) { return a.time < b.time; });
    m_lines.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const int end = i + 1 < entries.size() ? entries[i + 1].time : entries[i].time + 500;
        LyricLine line;
        line.Start = entries[i].time;
        line.End = end;
        line.Text = std::move(entries[i].text);
        // The last line's End is a stand-in that need not hold its words.
        const bool last = i + 1 == entries.size();
        WordTimedText words = ReadWordTags(line.Text, line.Start, last ? INT32_MAX : line.End);
        line.Tagged = words.Tagged;
        line.Shown = std::move(words.Shown);
        line.Words = std::move(words.Words);
        m_lines.push_back(std::move(line));
    }
    updateMaxTextBytes();
}

void LrcLyric::SetLines(std::vector<LyricLine> lines) {
    m_lines = std::move(lines);
    m_offset = 0;
    updateMaxTextBytes();
}

void LrcLyric::updateMaxTextBytes() {
    m_maxTextBytes = 0;
    for (const LyricLine& line : m_lines) {
        m_maxTextBytes = std::max(m_maxTextBytes, static_cast<int>(line.Text.size()));
    }
}

int LrcLyric::FindCurrentLine(int position, int lyricOffset, int previous) const {
    if (m_lines.empty()) {
        return previous;
    }
    // Shifting the position instead of every line keeps the arithmetic in range.
    const long long shifted = static_cast<long long>(position) + lyricOffset;
    if (shifted < m_lines.front().Start) {
        return 0;
    }
    if (shifted > m_lines.back().End) {
        return static_cast<int>(m_lines.size()) - 1;
    }
    // Ends never decrease, so the first line ending after the position is the only candidate.
    const auto it = std::partition_point(m_lines.begin(), m_lines.end(),
                                         [&](const LyricLine& l) { return l.End <= shifted; });
    if (it != m_lines.end() && it->Start <= shifted) {
        return static_cast<int>(it - m_lines.begin());
    }
    return previous;
}

namespace {

std::string tagValue(std::string_view head, std::string_view tag) {
    const size_t at = head.find(tag);
    if (at == std::string_view::npos) {
        return {};
    }
    const size_t close = head.find(']', at + tag.size());
    if (close == std::string_view::npos) {
        return {};
    }
    return std::string(trimBoth(head.substr(at + tag.size(), close - at - tag.size())));
}

// The head as UTF-8: a UTF-8 head may end inside a character that the byte limit cut.
std::string decodeHead(std::string_view head) {
    const std::string_view complete = withoutIncompleteUtf8Tail(head);
    if (TextCodec::isUtf8(complete)) {
        return std::string(complete);
    }
    return TextCodec::gbkToUtf8(head);
}

}  // namespace

SingerTitle ReadTagHeadFromBytes(std::string_view head) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (head.starts_with(kBom)) {
        head.remove_prefix(kBom.size());
    }
    const std::string text = decodeHead(head.substr(0, kTagHeadBytes));
    SingerTitle result{tagValue(text, "[ar:"), tagValue(text, "[ti:")};
    // "[ar:Name .]" must name the same folder as a song called "Name - Title", whose singer
    // loses its trailing blanks: blanks freed by the removed points go too.
    while (!result.singer.empty() && (result.singer.back() == '.' ||
                                      kBlankBytes.find(result.singer.back()) != kBlankBytes.npos)) {
        result.singer.pop_back();
    }
    return result;
}

SingerTitle ReadTagHead(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char buffer[kTagHeadBytes + 3];
    file.read(buffer, sizeof buffer);
    if (file.bad()) {
        return {};
    }
    return ReadTagHeadFromBytes(std::string_view(buffer, static_cast<size_t>(file.gcount())));
}
