#pragma once

// Geometry of the lyrics view, in pixels, from the text height th of the lyric font and the
// client height H. Kept apart from the window so it can be checked without one.
namespace LyricsLayout {

// Rows are th high with this gap between them.
inline constexpr int kLineGap = 5;

inline int linePitch(int textHeight) {
    return textHeight + kLineGap;
}

// Multi-line mode: the top of line 0. The current line sits at mid-height and moves up by th
// while it runs: the last term is th when the line starts and 0 when it ends. A line whose end
// equals its start adds nothing. Divisions truncate toward zero; 64-bit so long songs cannot
// overflow the product.
int multiLineScrollY(int clientHeight, int textHeight, int curLine, int lineStart, int lineEnd,
                     int positionMs);

// Two-line mode: the top of the row that line `index` is drawn in (even lines in the lower row
// at mid-height, odd lines in the upper one).
int twoLineRowY(int clientHeight, int textHeight, int index);

}  // namespace LyricsLayout
