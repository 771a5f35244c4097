#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An INI file held as its lines, so that a rewrite keeps every other section, key, comment and
// line ending exactly as it was. Section and key names match regardless of ASCII letter case;
// where a section or key occurs twice, the first occurrence is the one read and written.
class IniDocument {
public:
    explicit IniDocument(std::string_view bytes = {});

    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Sets a value, creating the section and key as needed. Line breaks inside the value are
    // written as blanks, so a value can never start a line of its own.
    void set(std::string_view section, std::string_view key, std::string_view value);
    void removeKey(std::string_view section, std::string_view key);
    void removeSection(std::string_view section);

    std::string bytes() const;

    // Whether a section or key name is written so that it reads back as itself: no line breaks,
    // no blanks at either end, no "]" in a section name, no "=" in a key name nor "[" in front.
    static bool storableSection(std::string_view section);
    static bool storableKey(std::string_view key);

private:
    struct Line {
        std::string text;  // without its line ending
        std::string eol;   // "\n", "\r\n" or "" for a last line without one
    };
    struct Range {
        size_t header;  // index of the section's header line
        size_t end;     // one past its last line
    };

    std::optional<Range> findSection(std::string_view section) const;
    std::optional<size_t> findKey(const Range& range, std::string_view key) const;
    void insertLine(size_t at, std::string text);

    std::vector<Line> m_lines;
    std::string m_newline = "\n";
    std::string m_byteOrderMark;  // kept in front of the first line, never part of it
};
