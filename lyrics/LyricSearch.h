#pragma once

#include <atomic>
#include <functional>
#include <string>

// One lyric file found by the search.
struct LyricSearchRow {
    std::string singer;
    std::string title;
    std::string path;

    bool operator==(const LyricSearchRow&) const = default;
};

// Searches `folder` and its sub-folders, depth first, for files whose names end in ".lrc"
// (lower case) and contain `keyword` (case-sensitive). A candidate is reported when its tag head
// names both singer and title. The entries of a folder are visited in byte order of their
// names; a folder reached twice (through a symbolic link) is searched once. `stop`, when set,
// is looked at between two files. Returns false when stopped.
bool SearchFolder(const std::string& folder, const std::string& keyword,
                  const std::function<void(const LyricSearchRow&)>& onRow,
                  const std::atomic<bool>* stop = nullptr);
