#pragma once

#include <functional>
#include <string>
#include <vector>

// The song list window's rules, apart from the window so they can be checked without one.
namespace SongListRules {

// True when a dropped file may join the list: its last four characters are one of ".mp3",
// ".MP3", ".wma", ".WMA", ".wav", ".WAV", ".mid", ".MID", ".kar", ".KAR" (MIDI karaoke),
// ".ASF", ".asf", ".cdg", ".CDG", ".zip", ".ZIP" (MP3+G; mixed case is not).
bool IsDroppableMusicFile(const std::string& path);

// Removes the items at `rows` (any order, duplicates and rows out of range ignored).
template <typename T>
void RemoveRows(std::vector<T>& items, std::vector<int> rows);

// The playing mark after rows a and b swapped places: it follows the playing entry.
int FollowSwap(int playing, int a, int b);

// A row number after `rows` were removed: it follows its entry. A removed row becomes the
// last row kept before it (-1 when none), so "the song after it" is still the next one;
// `removed`, when given, is set to whether the row itself went.
int FollowRemoval(int row, const std::vector<int>& rows, bool* removed = nullptr);

// The row a letter key jumps to: the first row after `selected` (wrapping round to the top, and
// never `selected` itself; every row from 0 when `selected` is -1) whose pinyin initial is
// `letter`; -1 when none. `initialOf(row)` gives a row's upper-case initial.
int FindByInitial(int rowCount, int selected, char letter,
                  const std::function<char(int)>& initialOf);

}  // namespace SongListRules

template <typename T>
void SongListRules::RemoveRows(std::vector<T>& items, std::vector<int> rows) {
    std::vector<bool> doomed(items.size(), false);
    for (int row : rows) {
        if (row >= 0 && static_cast<size_t>(row) < items.size()) {
            doomed[static_cast<size_t>(row)] = true;
        }
    }
    size_t kept = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (!doomed[i]) {
            if (kept != i) {
                items[kept] = std::move(items[i]);
            }
            ++kept;
        }
    }
    items.resize(kept);
}
