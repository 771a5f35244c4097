#pragma once

class CMelodeckDoc;
class QWidget;
struct LyricPick;
struct LyricSearchRow;

// The lyric search, jukebox and manual-match commands: each runs its dialog and, on a choice,
// plays the song with the chosen lyric.
namespace LyricCommands {

// The search for the current song (keyword: its display name).
void Search(CMelodeckDoc& doc, QWidget* parent);
// The jukebox (no song preset) or manual matching (the current song preset).
void Jukebox(CMelodeckDoc& doc, QWidget* parent, bool manualMatch);

// A found lyric for the song at `row` of the list: the song takes the lyric's name
// "singer - title", which also becomes the playing name, and plays with the found file.
void PlayFoundLyric(CMelodeckDoc& doc, int row, const LyricSearchRow& found);
// A picked lyric: the playing name becomes "singer - title", the playing duration the song's,
// and the picked song plays with the library lyric. The list is left as it is.
void PlayPickedLyric(CMelodeckDoc& doc, const LyricPick& pick);

}  // namespace LyricCommands
