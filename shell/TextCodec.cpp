#include "shell/TextCodec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace {

// Owns one iconv conversion descriptor.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (valid()) {
            iconv_close(m_cd);
        }
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    // iconv_open reports failure as (iconv_t)-1.
    bool valid() const {
        return m_cd != reinterpret_cast<iconv_t>(-1);  // NOLINT(performance-no-int-to-ptr)
    }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

// Length of the UTF-8 sequence that starts at bytes[0], or 0 when it is malformed.
size_t utf8SequenceLength(std::string_view bytes) {
    const auto b0 = static_cast<uint8_t>(bytes[0]);
    if (b0 < 0x80) {
        return 1;
    }
    size_t len = 0;
    uint32_t min = 0;
    uint32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, min = 0x80, cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, min = 0x800, cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, min = 0x10000, cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < len) {
        return 0;
    }
    for (size_t i = 1; i < len; ++i) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return len;
}

// Converts with iconv; on a byte sequence it cannot convert it appends `replacement` and skips
// `skip(rest)` bytes, so a bad byte never ends or corrupts the rest of the text.
template <typename Skip>
std::string convert(const char* to, const char* from, std::string_view input,
                    std::string_view replacement, Skip skip) {
    std::string out;
    IconvHandle cd(to, from);
    if (!cd.valid()) {
        return out;
    }
    out.reserve(input.size() * 3 / 2 + 16);
    char buffer[4096];
    auto* in = const_cast<char*>(input.data());  // iconv's signature; input is not written
    size_t inLeft = input.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr);
        if (rc != static_cast<size_t>(-1) || errno == E2BIG) {
            continue;
        }
        out.append(replacement);
        const size_t n = std::min(inLeft, std::max<size_t>(1, skip(std::string_view(in, inLeft))));
        in += n;
        inLeft -= n;
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

bool isAsciiLetter(uint8_t b) {
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

// Every non-ASCII byte pairs into a GB2312 double-byte character (both bytes A1-FE).
bool isGb2312DoubleByteText(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<uint8_t>(bytes[i]);
        if (lead < 0x80) {
            continue;
        }
        if (i + 1 >= bytes.size() || lead < 0xA1 || lead > 0xFE) {
            return false;
        }
        const auto trail = static_cast<uint8_t>(bytes[++i]);
        if (trail < 0xA1 || trail > 0xFE) {
            return false;
        }
    }
    return true;
}

// Read as UTF-8, the text holds only two-byte characters; true when all of them are Latin
// letters with marks (U+00C0-U+024F) and the text has ASCII letters too, as in "Beyoncé".
bool readsAsLatinWords(std::string_view bytes) {
    bool asciiLetters = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        if (b < 0x80) {
            asciiLetters = asciiLetters || isAsciiLetter(b);
            continue;
        }
        const uint32_t cp = ((b & 0x1Fu) << 6) | (static_cast<uint8_t>(bytes[++i]) & 0x3Fu);
        if (cp < 0xC0 || cp > 0x24F) {
            return false;
        }
    }
    return asciiLetters;
}

// Short GBK texts can be well-formed UTF-8 by chance: "小猫" in GBK reads "Сè". Such bytes
// are taken as GBK when they are GB2312 Chinese, read as UTF-8 only as two-byte characters
// (no CJK, which UTF-8 writes in three bytes), and are not Latin words with accents.
bool wellFormedUtf8ReadsAsGbk(std::string_view bytes) {
    const bool hasLongSequence = std::any_of(bytes.begin(), bytes.end(), [](char c) {
        return static_cast<uint8_t>(c) >= 0xE0;
    });
    return !hasLongSequence && isGb2312DoubleByteText(bytes) && !readsAsLatinWords(bytes);
}

}  // namespace

namespace TextCodec {

bool isUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        if (static_cast<uint8_t>(bytes[i]) < 0x80) {  // ASCII runs are the common case
            ++i;
            continue;
        }
        const size_t len = utf8SequenceLength(bytes.substr(i));
        if (len == 0) {
            return false;
        }
        i += len;
    }
    return true;
}

std::string decodeStoredText(std::string_view bytes) {
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    const bool marked = bytes.substr(0, bom.size()) == bom;
    if (marked) {
        bytes.remove_prefix(bom.size());
    }
    if (isUtf8(bytes) && (marked || !wellFormedUtf8ReadsAsGbk(bytes))) {
        return std::string(bytes);
    }
    return gbkToUtf8(bytes);
}

std::string gbkToUtf8(std::string_view gbk) {
    return convert("UTF-8", "GB18030", gbk, "\xEF\xBF\xBD", [](std::string_view) { return 1; });
}

std::string utf8ToGbk(std::string_view utf8) {
    return convert("GBK", "UTF-8", utf8, "?", [](std::string_view rest) {
        return std::max<size_t>(1, utf8SequenceLength(rest));
    });
}

}  // namespace TextCodec
