#pragma once

#include <string>
#include <vector>

// The categories of the song list: their names (the tab texts) and the playlist file each one is
// stored in. Category k keeps its list in the program folder's "OrvMusicList<k>.m3u"; the names
// and their count live in the configuration ("Tab"/"Num", "Tab"/"Cat<k>").
class SongCategories {
public:
    // Longest name a category may have, in characters.
    static constexpr int kMaxNameLength = 30;

    // Reads the names: "Num" of 0 or less counts as 2, one over 1000 as 1000; a missing or empty
    // name gets the default "歌曲列表<k+1>", and a name over the limit is cut, so every stored
    // category shows.
    void Load();
    // Writes the count and every name in one rewrite of the configuration (names past the
    // count are removed). False when the configuration cannot be written.
    bool Save() const;

    int Count() const { return static_cast<int>(m_names.size()); }
    const std::string& Name(int k) const { return m_names.at(static_cast<size_t>(k)); }
    const std::vector<std::string>& Names() const { return m_names; }

    // Appends a category named after the new count ("歌曲列表<count>") and returns its position.
    int Append();
    // Renames category k; an empty name is refused (false), a long one is cut.
    bool Rename(int k, const std::string& name);
    // Removes category k with its playlist file and moves the files of the later categories one
    // number down, so that every remaining category keeps its own list. Returns the position
    // that takes k's place (k, or k - 1 when k was the last), or -1 when k is the only category
    // or out of range.
    int Remove(int k);

    // The playlist file of category k.
    static std::string FilePath(int k);
    static std::string DefaultName(int k);
    // `name` cut to kMaxNameLength characters (never inside a character).
    static std::string LimitName(const std::string& name);

private:
    std::vector<std::string> m_names;
};
