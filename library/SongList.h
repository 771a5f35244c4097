#pragma once

#include <string>
#include <vector>

#include "library/SongEntry.h"

// The songs of the shown category and its current song, as the document keeps them. Each
// category is stored as an M3U playlist (library/M3uPlaylist.h).
class SongList {
public:
    // `probe` measures added files (MakeDurationProbe with the media engine's probe, as a rule).
    explicit SongList(DurationProbe probe = MakeDurationProbe());

    const std::vector<SongEntry>& Songs() const { return m_songs; }
    // For the window's own edits (remove, rename, swap); they leave the current song alone.
    std::vector<SongEntry>& Songs() { return m_songs; }

    // The current song's index, -1 for none. An index that edits left past the end counts as
    // none, so it is never used to read past the list.
    int CurrentSong() const;
    void SetCurrentSong(int index) { m_curSong = index; }
    // A click in the list: the first selected row, or row 0 with no selection (none when empty).
    void SelectCurrentSong(int firstSelectedRow);
    // The end of a song moves on to the next one, or to none after the last.
    void AdvanceAfterSongEnd();

    // Appends one file, named from its tag or file name and measured by the probe. Never
    // refuses a file; the same file twice gives two entries.
    void AddSongFile(const std::string& path);
    // Replaces the list with the MP3 files of a folder (not its sub-folders; ".mp3" in any
    // case), in the order of their names.
    void AddFolder(const std::string& folder);
    // Empties the list; no current song.
    void ClearSongList();
    // Replaces the list with a playlist's entries (empty when it cannot be read); no current
    // song.
    void LoadM3u(const std::string& path);
    // Writes the list as a playlist. False, with `error`, when the file cannot be written.
    bool SaveM3u(const std::string& path, std::string* error = nullptr) const;

private:
    DurationProbe m_probe;
    std::vector<SongEntry> m_songs;
    int m_curSong = -1;
};
