#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The settings store: a thin wrapper over one INI file that goes to the file on every read and
// every write, so every read sees every earlier write. Section and key arguments may be null:
// then an operation does nothing and returns its empty result. Values are UTF-8 (stored GBK
// text is decoded on reading). Write operations return 1 on success and 0 on failure.
class CIniFile {
public:
    explicit CIniFile(const char* path = nullptr);
    virtual ~CIniFile() = default;
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    // A null path empties the stored one.
    void SetFilePath(const char* path);
    const std::string& FilePath() const { return m_path; }

    std::string ReadString(const char* section, const char* key, const char* def = nullptr) const;
    int WriteString(const char* section, const char* key, const char* value) const;

    // Several keys of one section in a single rewrite of the file, so that a crash leaves all
    // of them or none; a value without text deletes its key. 1 on success, 0 on failure.
    using KeyValues = std::vector<std::pair<std::string, std::optional<std::string>>>;
    int WriteStrings(const char* section, const KeyValues& values) const;

    int ReadInt(const char* section, const char* key, int def) const;
    int WriteInt(const char* section, const char* key, int value) const;

    double ReadDouble(const char* section, const char* key, double def) const;
    // precision > 0: fixed-point with that many decimals; otherwise six decimals ("%f").
    int WriteDouble(const char* section, const char* key, double value, int precision) const;

    // The backend operations beneath the store, with the classic private-profile semantics:
    // a null key deletes the whole section, a null value deletes the key.
    static bool ReadProfileString(const std::string& file, const char* section, const char* key,
                                  std::string& value);
    static bool WriteProfileString(const std::string& file, const char* section, const char* key,
                                   const char* value);

private:
    std::string typedValue(const char* section, const char* key) const;

    std::string m_path;
};
