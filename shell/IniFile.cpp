#include "shell/IniFile.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "shell/AtomicFile.h"
#include "shell/IniDocument.h"
#include "shell/TextCodec.h"

namespace {

// Typed reads look at no more than this many bytes of a value.
constexpr size_t kTypedValueBytes = 64;

std::string_view skipBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n' ||
                          s.front() == '\r' || s.front() == '\v' || s.front() == '\f')) {
        s.remove_prefix(1);
    }
    return s;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Decimal with optional sign; stops at the first non-digit; no digits gives 0. The result
// wraps around in 32 bits as it falls.
int parseInt(std::string_view s) {
    s = skipBlanks(s);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    uint32_t value = 0;
    for (char c : s) {
        if (!isDigit(c)) {
            break;
        }
        value = value * 10U + static_cast<uint32_t>(c - '0');
    }
    return static_cast<int32_t>(negative ? 0U - value : value);
}

size_t digitRun(std::string_view s, size_t pos) {
    while (pos < s.size() && isDigit(s[pos])) {
        ++pos;
    }
    return pos;
}

// Optional sign, digits with an optional point, optional exponent; a value with no number in
// front gives 0.0.
double parseDouble(std::string_view s) {
    s = skipBlanks(s);
    size_t pos = (!s.empty() && (s.front() == '+' || s.front() == '-')) ? 1 : 0;
    const size_t intEnd = digitRun(s, pos);
    size_t end = intEnd;
    if (end < s.size() && s[end] == '.') {
        end = digitRun(s, end + 1);
    }
    if (end == pos || (end == pos + 1 && s[pos] == '.')) {
        return 0.0;
    }
    if (end < s.size() && (s[end] == 'e' || s[end] == 'E')) {
        size_t exp = end + 1;
        if (exp < s.size() && (s[exp] == '+' || s[exp] == '-')) {
            ++exp;
        }
        const size_t expEnd = digitRun(s, exp);
        if (expEnd > exp) {
            end = expEnd;
        }
    }
    const bool negative = s.front() == '-';
    double value = 0.0;
    std::from_chars(s.data() + pos, s.data() + end, value);
    return negative ? -value : value;
}

}  // namespace

CIniFile::CIniFile(const char* path) {
    SetFilePath(path);
}

void CIniFile::SetFilePath(const char* path) {
    m_path = path ? path : "";
}

bool CIniFile::ReadProfileString(const std::string& file, const char* section, const char* key,
                                 std::string& value) {
    std::string bytes;
    if (!section || !key || !readWholeFile(file, bytes)) {
        return false;
    }
    const auto stored = IniDocument(bytes).value(section, key);
    if (!stored) {
        return false;
    }
    value = TextCodec::decodeStoredText(*stored);
    return true;
}

namespace {

// Reads the file, lets `change` edit it and writes it back in one atomic step, locked against
// the other processes that write it. A missing file is created; one that is there but cannot
// be read (a pipe, a device, no permission) must not be replaced by a file without its contents.
template <typename Change>
bool rewriteIni(const std::string& file, Change change) {
    return updateFileAtomically(file, [&](std::string& bytes) {
        IniDocument doc(bytes);
        change(doc);
        bytes = doc.bytes();
    });
}

}  // namespace

bool CIniFile::WriteProfileString(const std::string& file, const char* section, const char* key,
                                  const char* value) {
    if (!section || file.empty() || !IniDocument::storableSection(section) ||
        (key && !IniDocument::storableKey(key))) {
        return false;
    }
    return rewriteIni(file, [&](IniDocument& doc) {
        if (!key) {
            doc.removeSection(section);
        } else if (!value) {
            doc.removeKey(section, key);
        } else {
            doc.set(section, key, value);
        }
    });
}

int CIniFile::WriteStrings(const char* section, const KeyValues& values) const {
    if (!section || m_path.empty() || !IniDocument::storableSection(section) ||
        !std::all_of(values.begin(), values.end(),
                     [](const auto& kv) { return IniDocument::storableKey(kv.first); })) {
        return 0;
    }
    return rewriteIni(m_path,
                      [&](IniDocument& doc) {
                          for (const auto& [key, value] : values) {
                              if (value) {
                                  doc.set(section, key, *value);
                              } else {
                                  doc.removeKey(section, key);
                              }
                          }
                      })
               ? 1
               : 0;
}

std::string CIniFile::ReadString(const char* section, const char* key, const char* def) const {
    std::string value;
    if (ReadProfileString(m_path, section, key, value)) {
        return value;
    }
    return def ? def : "";
}

int CIniFile::WriteString(const char* section, const char* key, const char* value) const {
    if (!section || !key) {
        return 0;
    }
    return WriteProfileString(m_path, section, key, value ? value : "") ? 1 : 0;
}

std::string CIniFile::typedValue(const char* section, const char* key) const {
    std::string value = ReadString(section, key, "");
    if (value.size() > kTypedValueBytes) {
        value.resize(kTypedValueBytes);
    }
    return value;
}

int CIniFile::ReadInt(const char* section, const char* key, int def) const {
    const std::string value = typedValue(section, key);
    return value.empty() ? def : parseInt(value);
}

int CIniFile::WriteInt(const char* section, const char* key, int value) const {
    return WriteString(section, key, std::to_string(value).c_str());
}

double CIniFile::ReadDouble(const char* section, const char* key, double def) const {
    const std::string value = typedValue(section, key);
    return value.empty() ? def : parseDouble(value);
}

int CIniFile::WriteDouble(const char* section, const char* key, double value, int precision) const {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, precision > 0 ? precision : 6);
    if (result.ec != std::errc()) {
        return 0;
    }
    return WriteString(section, key, std::string(buffer, result.ptr).c_str());
}
