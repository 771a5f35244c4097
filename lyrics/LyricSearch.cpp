#include "lyrics/LyricSearch.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "lyrics/LrcLyric.h"

namespace {

// An open directory stream, closed by the destructor.
class DirectoryStream {
public:
    explicit DirectoryStream(const std::string& path) : m_dir(::opendir(path.c_str())) {}
    ~DirectoryStream() {
        if (m_dir) {
            ::closedir(m_dir);
        }
    }
    DirectoryStream(const DirectoryStream&) = delete;
    DirectoryStream& operator=(const DirectoryStream&) = delete;

    DIR* get() const { return m_dir; }

private:
    DIR* m_dir;
};

enum class EntryKind { Folder, File, Other };

struct Entry {
    std::string name;
    EntryKind kind = EntryKind::Other;
};

// Links are followed; pipes and devices are never opened (a pipe would block the search).
EntryKind entryKind(DIR* dir, const dirent& entry) {
    if (entry.d_type == DT_DIR) {
        return EntryKind::Folder;
    }
    if (entry.d_type == DT_REG) {
        return EntryKind::File;
    }
    struct stat st {};
    if ((entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) ||
        ::fstatat(::dirfd(dir), entry.d_name, &st, 0) != 0) {
        return EntryKind::Other;
    }
    if (S_ISDIR(st.st_mode)) {
        return EntryKind::Folder;
    }
    return S_ISREG(st.st_mode) ? EntryKind::File : EntryKind::Other;
}

// The entries of a folder other than "." and "..", sorted by their names' bytes.
std::vector<Entry> listFolder(const std::string& folder) {
    std::vector<Entry> entries;
    const DirectoryStream stream(folder);
    if (!stream.get()) {
        return entries;
    }
    while (const dirent* entry = ::readdir(stream.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") {
            entries.push_back({std::string(name), entryKind(stream.get(), *entry)});
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

class FolderSearch {
public:
    FolderSearch(const std::string& keyword,
                 const std::function<void(const LyricSearchRow&)>& onRow,
                 const std::atomic<bool>* stop)
        : m_keyword(keyword), m_onRow(onRow), m_stop(stop) {}

    // False when stopped.
    bool search(const std::string& folder) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0 || !m_visited.insert({st.st_dev, st.st_ino}).second) {
            return true;
        }
        for (const Entry& entry : listFolder(folder)) {
            if (m_stop && m_stop->load()) {
                return false;
            }
            const std::string path = folder + entry.name;
            if (entry.kind == EntryKind::Folder) {
                if (!search(path + "/")) {
                    return false;
                }
            } else if (entry.kind == EntryKind::File && isCandidate(entry.name)) {
                report(path);
            }
        }
        return true;
    }

private:
    bool isCandidate(std::string_view name) const {
        return name.ends_with(".lrc") && name.find(m_keyword) != std::string_view::npos;
    }

    void report(const std::string& path) const {
        SingerTitle names = ReadTagHead(path);
        if (!names.singer.empty() && !names.title.empty()) {
            m_onRow({std::move(names.singer), std::move(names.title), path});
        }
    }

    const std::string& m_keyword;
    const std::function<void(const LyricSearchRow&)>& m_onRow;
    const std::atomic<bool>* m_stop;
    std::set<std::pair<dev_t, ino_t>> m_visited;
};

}  // namespace

bool SearchFolder(const std::string& folder, const std::string& keyword,
                  const std::function<void(const LyricSearchRow&)>& onRow,
                  const std::atomic<bool>* stop) {
    if (folder.empty()) {
        return true;
    }
    FolderSearch search(keyword, onRow, stop);
    return search.search(folder.ends_with('/') ? folder : folder + "/");
}
