#include "lyrics/ui/LyricsLayout.h"

#include <algorithm>
#include <cstdint>

namespace LyricsLayout {

int multiLineScrollY(int clientHeight, int textHeight, int curLine, int lineStart, int lineEnd,
                     int positionMs) {
    const std::int64_t duration = std::int64_t{lineEnd} - lineStart;
    const std::int64_t movement =
        duration == 0 ? 0 : (std::int64_t{lineEnd} - positionMs) * textHeight / duration;
    const std::int64_t y =
        clientHeight / 2 - std::int64_t{curLine} * linePitch(textHeight) + movement;
    return static_cast<int>(std::clamp<std::int64_t>(y, INT32_MIN, INT32_MAX));
}

int twoLineRowY(int clientHeight, int textHeight, int index) {
    const int lower = clientHeight / 2;
    return index % 2 == 0 ? lower : lower - linePitch(textHeight);
}

}  // namespace LyricsLayout
