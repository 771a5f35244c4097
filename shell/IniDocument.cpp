#include "shell/IniDocument.h"

#include <algorithm>

namespace {

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// The section name of a header line "[name]", or nothing for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    const size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return trim(line.substr(1, close - 1));
}

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyValue> keyValue(std::string_view line) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyValue{trim(line.substr(0, eq)), trim(line.substr(eq + 1))};
}

bool storableName(std::string_view name, char forbidden) {
    return name == trim(name) && name.find_first_of("\r\n") == std::string_view::npos &&
           name.find(forbidden) == std::string_view::npos;
}

std::string singleLine(std::string_view value) {
    std::string out(value);
    std::replace(out.begin(), out.end(), '\r', ' ');
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

}  // namespace

IniDocument::IniDocument(std::string_view bytes) {
    // Editors that save UTF-8 often put a byte-order mark in front of the first section.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        m_byteOrderMark = kByteOrderMark;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t nl = bytes.find('\n', pos);
        if (nl == std::string_view::npos) {
            m_lines.push_back({std::string(bytes.substr(pos)), ""});
            break;
        }
        const bool crlf = nl > pos && bytes[nl - 1] == '\r';
        const size_t textEnd = crlf ? nl - 1 : nl;
        m_lines.push_back({std::string(bytes.substr(pos, textEnd - pos)), crlf ? "\r\n" : "\n"});
        pos = nl + 1;
    }
    if (!m_lines.empty() && !m_lines.front().eol.empty()) {
        m_newline = m_lines.front().eol;
    }
}

std::optional<IniDocument::Range> IniDocument::findSection(std::string_view section) const {
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines[i].text);
        if (!name || !equalsNoCase(*name, section)) {
            continue;
        }
        size_t end = i + 1;
        while (end < m_lines.size() && !sectionName(m_lines[end].text)) {
            ++end;
        }
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> IniDocument::findKey(const Range& range, std::string_view key) const {
    for (size_t i = range.header + 1; i < range.end; ++i) {
        const auto kv = keyValue(m_lines[i].text);
        if (kv && equalsNoCase(kv->key, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    const auto range = findSection(section);
    if (!range) {
        return std::nullopt;
    }
    const auto line = findKey(*range, key);
    if (!line) {
        return std::nullopt;
    }
    return std::string(keyValue(m_lines[*line].text)->value);
}

void IniDocument::insertLine(size_t at, std::string text) {
    if (at > 0 && m_lines[at - 1].eol.empty()) {
        m_lines[at - 1].eol = m_newline;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at),
                   Line{std::move(text), m_newline});
}

void IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + singleLine(value);
    const auto range = findSection(section);
    if (!range) {
        // Built up in place: GCC 12 warns wrongly (-Wrestrict) on "[" + string at -O2.
        std::string header(1, '[');
        header.append(section).push_back(']');
        insertLine(m_lines.size(), std::move(header));
        insertLine(m_lines.size(), std::move(line));
        return;
    }
    if (const auto existing = findKey(*range, key)) {
        m_lines[*existing].text = std::move(line);
        return;
    }
    // After the section's last non-blank line, so a blank separator stays before the next one.
    size_t at = range->end;
    while (at > range->header + 1 && trim(m_lines[at - 1].text).empty()) {
        --at;
    }
    insertLine(at, std::move(line));
}

void IniDocument::removeKey(std::string_view section, std::string_view key) {
    const auto range = findSection(section);
    if (!range) {
        return;
    }
    if (const auto line = findKey(*range, key)) {
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*line));
    }
}

void IniDocument::removeSection(std::string_view section) {
    if (const auto range = findSection(section)) {
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                      m_lines.begin() + static_cast<std::ptrdiff_t>(range->end));
    }
}

std::string IniDocument::bytes() const {
    std::string out = m_byteOrderMark;
    for (const Line& line : m_lines) {
        out += line.text;
        out += line.eol;
    }
    return out;
}

bool IniDocument::storableSection(std::string_view section) {
    return storableName(section, ']');
}

bool IniDocument::storableKey(std::string_view key) {
    // A key line that starts with "[" could read back as a section header.
    return storableName(key, '=') && (key.empty() || key.front() != '[');
}
