#pragma once

#include <ostream>
#include <string>

// A lyric's singer and song title, UTF-8. Either may be empty.
struct SingerTitle {
    std::string singer;
    std::string title;

    bool operator==(const SingerTitle&) const = default;
};

// For test failure messages.
inline std::ostream& operator<<(std::ostream& out, const SingerTitle& names) {
    return out << '{' << names.singer << " / " << names.title << '}';
}
