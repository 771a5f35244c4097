#pragma once

#include <string_view>

// White space as the C library's isspace sees it in the "C" locale.
inline constexpr std::string_view kBlankBytes = " \t\n\v\f\r";

inline std::string_view trimLeft(std::string_view s) {
    const size_t first = s.find_first_not_of(kBlankBytes);
    return first == std::string_view::npos ? std::string_view() : s.substr(first);
}

inline std::string_view trimRight(std::string_view s) {
    const size_t last = s.find_last_not_of(kBlankBytes);
    return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

inline std::string_view trimBoth(std::string_view s) {
    return trimRight(trimLeft(s));
}
