#include "library/PinyinConverter.h"

#include <array>
#include <cctype>

#include "library/PinyinTable.h"
#include "shell/TextCodec.h"

namespace {

constexpr size_t kSyllableLimit = 5;

// Numbers of the symbol row 0xA2 as runs of trail bytes counting up from 1.
struct NumeralRun {
    unsigned char first;
    unsigned char last;
};
constexpr std::array<NumeralRun, 6> kNumeralRuns{{
    {0xA1, 0xAA},  // small roman numerals
    {0xB1, 0xC4},  // numbers with a full stop
    {0xC5, 0xD8},  // bracketed numbers
    {0xD9, 0xE2},  // circled numbers
    {0xE5, 0xEE},  // bracketed ideographic numbers
    {0xF1, 0xFC},  // roman numerals
}};

constexpr std::array<const char*, 24> kGreek{"A", "B", "G", "D", "E",  "Z",  "E",  "TH",
                                             "I", "K", "L", "M", "N",  "X",  "O",  "P",
                                             "R", "S", "T", "U", "PH", "KH", "PS", "O"};

std::string numeral(unsigned char trail) {
    for (const NumeralRun& run : kNumeralRuns) {
        if (trail >= run.first && trail <= run.last) {
            return std::to_string(trail - run.first + 1);
        }
    }
    return {};
}

std::string fullWidth(unsigned char trail, int options) {
    if (trail < 0xA1) {
        return {};
    }
    const auto ascii = static_cast<unsigned char>(trail - 0x80);
    if ((options & PinyinConverter::kLettersAndDigitsOnly) && !std::isalnum(ascii)) {
        return {};
    }
    return std::string(1, static_cast<char>(std::toupper(ascii)));
}

std::string greek(unsigned char trail) {
    if (trail >= 0xA1 && trail <= 0xB8) {
        return kGreek[trail - 0xA1];
    }
    if (trail >= 0xC1 && trail <= 0xD8) {
        return kGreek[trail - 0xC1];
    }
    return {};
}

// The text of a character of the symbol rows 0xA2, 0xA3 and 0xA6; empty when it has none.
std::string symbolText(unsigned char lead, unsigned char trail, int options) {
    if (lead == 0xA2) {
        return numeral(trail);
    }
    if (lead == 0xA3) {
        return fullWidth(trail, options);
    }
    return greek(trail);
}

std::string_view syllable(unsigned char lead, unsigned char trail) {
    // 0xFF is neither a lead nor a trail byte: the table has no row or column for it.
    if (lead > 0xFE || trail > 0xFE) {
        return {};
    }
    const size_t at = (lead - 0x81u) * kPinyinIndexColumns + (trail - 0x40u);
    const unsigned short number = kPinyinIndex[at];
    return number == 0 ? std::string_view() : std::string_view(kPinyinSyllables[number]);
}

void appendReading(std::string& out, std::string_view reading, int options) {
    if (options & PinyinConverter::kWholeSyllables) {
        out += reading.substr(0, kSyllableLimit);
    } else {
        out += reading.substr(0, 1);
    }
}

}  // namespace

std::string PinyinConverter::Convert(std::string_view gbk, int options) const {
    std::string out;
    if (options < 0) {
        return out;
    }
    for (size_t i = 0; i < gbk.size();) {
        const auto c = static_cast<unsigned char>(gbk[i]);
        const auto d = i + 1 < gbk.size() ? static_cast<unsigned char>(gbk[i + 1]) : 0;
        if (c < 0x81 || d <= 0x40) {
            out += static_cast<char>(c < 0x80 ? std::toupper(c) : c);
            ++i;
            continue;
        }
        i += 2;
        const bool symbolRow = c == 0xA2 || c == 0xA3 || c == 0xA6;
        const std::string symbol = symbolRow ? symbolText(c, d, options) : std::string();
        const std::string_view reading = symbolRow ? std::string_view(symbol) : syllable(c, d);
        if (!reading.empty()) {
            appendReading(out, reading, options);
        } else if (options & kMarkUnknown) {
            out += '?';
        }
    }
    return out;
}

std::string PinyinConverter::ConvertUtf8(std::string_view utf8, int options) const {
    return Convert(TextCodec::utf8ToGbk(utf8), options);
}
