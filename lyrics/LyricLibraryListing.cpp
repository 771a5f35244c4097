#include "lyrics/LyricLibraryListing.h"

#include <QCollator>
#include <QString>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "lyrics/LyricLibrary.h"

namespace fs = std::filesystem;

namespace {

// The names of the entries of `folder` that `pick` keeps (it may shorten them), sorted by the
// collation of the default locale.
template <typename Pick>
std::vector<std::string> sortedNames(const std::string& folder, Pick pick) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (pick(*it, name)) {
            names.push_back(std::move(name));
        }
    }
    // "Song 2" before "Song 10", and letter case does not split the list.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), [&collator](const std::string& a, const std::string& b) {
        return collator.compare(QString::fromStdString(a), QString::fromStdString(b)) < 0;
    });
    return names;
}

}  // namespace

std::vector<std::string> LibrarySingers(const std::string& programFolder) {
    return sortedNames(LyricLibraryRoot(programFolder),
                       [](const fs::directory_entry& entry, const std::string&) {
                           std::error_code error;
                           return entry.is_directory(error);
                       });
}

std::vector<std::string> LibraryTitles(const std::string& programFolder,
                                       const std::string& singer) {
    return sortedNames(
        LyricLibrarySingerFolder(programFolder, singer),
        [](const fs::directory_entry& entry, std::string& name) {
            std::error_code error;
            if (entry.is_directory(error) || name.size() <= 4 || !name.ends_with(".lrc")) {
                return false;
            }
            name.resize(name.size() - 4);
            return true;
        });
}
