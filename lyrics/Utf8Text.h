#pragma once

#include <string_view>

// At most `limit` bytes of UTF-8 text, never ending inside a character.
inline std::string_view utf8Prefix(std::string_view text, size_t limit) {
    if (text.size() <= limit) {
        return text;
    }
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

// The text without a last UTF-8 character that was cut short (as by a byte limit).
inline std::string_view withoutIncompleteUtf8Tail(std::string_view text) {
    size_t start = text.size();
    size_t continuation = 0;
    while (start > 0 && continuation < 4 &&
           (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) {
        --start;
        ++continuation;
    }
    if (start == 0) {
        return text;
    }
    const auto lead = static_cast<unsigned char>(text[start - 1]);
    size_t length = 1;
    if (lead >= 0xF0) {
        length = 4;
    } else if (lead >= 0xE0) {
        length = 3;
    } else if (lead >= 0xC0) {
        length = 2;
    }
    return continuation + 1 < length ? text.substr(0, start - 1) : text;
}
