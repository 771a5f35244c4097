#include "library/ui/SongCategories.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "library/M3uPlaylist.h"
#include "shell/ConfigKeys.h"
#include "shell/ProgramFolder.h"
#include "shell/Settings.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFallbackCount = 2;
// More tabs than anyone keeps; a damaged count beyond it would stall the start for minutes.
constexpr int kMostCategories = 1000;

// Moves `from` onto `to`, or clears `to` when `from` does not exist, so the number `to` ends up
// holding exactly what `from` held.
void moveCategoryFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    if (fs::exists(from, ec)) {
        fs::rename(from, to, ec);
    } else {
        fs::remove(to, ec);
    }
}

}  // namespace

void SongCategories::Load() {
    int count = readSetting(ConfigKey::TabNum);
    if (count <= 0) {
        count = kFallbackCount;
    }
    count = std::min(count, kMostCategories);
    m_names.clear();
    for (int k = 0; k < count; ++k) {
        const auto key = ConfigKey::categoryNameKey(k);
        const std::string stored =
            theSettings.ReadString(ConfigKey::TabSection, key.key.c_str(), key.def.c_str());
        m_names.push_back(stored.empty() ? key.def : LimitName(stored));
    }
}

bool SongCategories::Save() const {
    CIniFile::KeyValues values{{ConfigKey::TabNum.key, std::to_string(Count())}};
    for (int k = 0; k < Count(); ++k) {
        values.emplace_back(ConfigKey::categoryNameKey(k).key, Name(k));
    }
    // The name a removed last category leaves behind.
    values.emplace_back(ConfigKey::categoryNameKey(Count()).key, std::nullopt);
    return theSettings.WriteStrings(ConfigKey::TabSection, values) == 1;
}

int SongCategories::Append() {
    m_names.push_back(DefaultName(Count()));
    return Count() - 1;
}

bool SongCategories::Rename(int k, const std::string& name) {
    if (k < 0 || k >= Count() || name.empty()) {
        return false;
    }
    m_names[static_cast<size_t>(k)] = LimitName(name);
    return true;
}

int SongCategories::Remove(int k) {
    if (Count() <= 1 || k < 0 || k >= Count()) {
        return -1;
    }
    std::error_code ec;
    fs::remove(FilePath(k), ec);
    for (int later = k + 1; later < Count(); ++later) {
        moveCategoryFile(FilePath(later), FilePath(later - 1));
    }
    m_names.erase(m_names.begin() + k);
    return k < Count() ? k : Count() - 1;
}

std::string SongCategories::FilePath(int k) {
    return CategoryFilePath(ProgramFolder::current(), k);
}

std::string SongCategories::DefaultName(int k) {
    return ConfigKey::categoryNameKey(k).def;
}

std::string SongCategories::LimitName(const std::string& name) {
    const QString text = QString::fromStdString(name);
    if (text.size() <= kMaxNameLength) {
        return name;
    }
    // Count characters, not UTF-16 units, so a cut never splits a surrogate pair.
    const QList<uint> characters = text.toUcs4();
    if (characters.size() <= kMaxNameLength) {
        return name;
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()),
                             kMaxNameLength)
        .toStdString();
}
