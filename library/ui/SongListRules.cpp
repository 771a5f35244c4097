#include "library/ui/SongListRules.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace SongListRules {

bool IsDroppableMusicFile(const std::string& path) {
    static constexpr std::array<std::string_view, 16> kExtensions = {
        ".mp3", ".MP3", ".wma", ".WMA", ".wav", ".WAV", ".mid", ".MID",
        ".kar", ".KAR", ".ASF", ".asf", ".cdg", ".CDG", ".zip", ".ZIP"};
    if (path.size() < 4) {
        return false;
    }
    const std::string_view tail = std::string_view(path).substr(path.size() - 4);
    return std::find(kExtensions.begin(), kExtensions.end(), tail) != kExtensions.end();
}

int FollowSwap(int playing, int a, int b) {
    if (playing == a) {
        return b;
    }
    return playing == b ? a : playing;
}

int FollowRemoval(int row, const std::vector<int>& rows, bool* removed) {
    const bool gone = std::find(rows.begin(), rows.end(), row) != rows.end();
    if (removed != nullptr) {
        *removed = gone;
    }
    if (row < 0) {
        return row;
    }
    std::vector<int> below;
    for (int r : rows) {
        if (r >= 0 && r < row) {
            below.push_back(r);
        }
    }
    std::sort(below.begin(), below.end());
    below.erase(std::unique(below.begin(), below.end()), below.end());
    const int kept = row - static_cast<int>(below.size());
    return gone ? kept - 1 : kept;
}

int FindByInitial(int rowCount, int selected, char letter,
                  const std::function<char(int)>& initialOf) {
    const int first = selected < 0 ? 0 : selected + 1;
    const int examined = selected < 0 ? rowCount : rowCount - 1;
    for (int step = 0; step < examined; ++step) {
        const int row = (first + step) % rowCount;
        if (initialOf(row) == letter) {
            return row;
        }
    }
    return -1;
}

}  // namespace SongListRules
