#include "lyriceditor/LrcDraft.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <utility>

namespace {

// The text with every CR and LF turned into a space.
std::string oneLine(std::string_view text) {
    std::string line(text);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

}  // namespace

std::string lrcTimeTag(int64_t positionMs) {
    const int64_t ms = std::max<int64_t>(positionMs, 0);
    char tag[48];
    std::snprintf(tag, sizeof tag, "[%02" PRId64 ":%02d.%02d]", ms / 60000,
                  static_cast<int>(ms / 1000 % 60), static_cast<int>(ms / 10 % 100));
    return tag;
}

std::string LrcRow::TagText() const {
    std::string text;
    for (const std::string& tag : tags) {
        text += tag;
    }
    return text;
}

std::string lrcFileText(const LrcHeader& header, const std::vector<LrcRow>& rows) {
    std::string text = "[ti:" + oneLine(header.title) + "]\r\n";
    text += "[ar:" + oneLine(header.artist) + "]\r\n";
    text += "[by:" + oneLine(header.maker) + "]\r\n";
    for (const LrcRow& row : rows) {
        text += row.TagText() + oneLine(row.words) + "\r\n";
    }
    return text;
}

LrcDraft::AddResult LrcDraft::AddLine(std::string_view words, int64_t positionMs) {
    std::string now = lrcTimeTag(positionMs);
    // One time can start only one line, also when that time sits among a row's gathered tags.
    if (now == m_pendingTag && holdsTag(m_pendingTag)) {
        return AddResult::SameTime;
    }
    std::string tag = std::exchange(m_pendingTag, std::move(now));
    m_modified = true;
    const auto same = std::find_if(m_rows.begin(), m_rows.end(),
                                   [words](const LrcRow& row) { return row.words == words; });
    if (same != m_rows.end()) {
        if (std::find(same->tags.begin(), same->tags.end(), tag) == same->tags.end()) {
            same->tags.push_back(std::move(tag));
        }
        return AddResult::Gathered;
    }
    m_rows.push_back(LrcRow{std::string(words), {std::move(tag)}});
    return AddResult::NewRow;
}

bool LrcDraft::Rename(size_t row, std::string_view words) {
    if (words.empty() || row >= m_rows.size()) {
        return false;
    }
    if (m_rows[row].words != words) {
        m_rows[row].words = words;
        m_modified = true;
    }
    return true;
}

bool LrcDraft::holdsTag(const std::string& tag) const {
    return std::any_of(m_rows.begin(), m_rows.end(), [&tag](const LrcRow& row) {
        return std::find(row.tags.begin(), row.tags.end(), tag) != row.tags.end();
    });
}
