#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "library/SongEntry.h"

// Song lists as extended M3U playlists. Written as UTF-8:
//   "#EXTM3U" LF, then per song "#EXTINF:<seconds>,<name>" CR LF and the path CR LF.
// Read back entry for entry; ordinary M3U/M3U8 files from elsewhere read as well.

// The playlist text of a list. Line breaks inside a name or path would split its entry, so they
// are written as blanks.
std::string FormatM3u(const std::vector<SongEntry>& songs);

// Writes the list through a temporary file and a rename, so a failed write never destroys the
// playlist that was there. False, with `error`, when the file cannot be written.
bool SaveM3u(const std::string& path, const std::vector<SongEntry>& songs,
             std::string* error = nullptr);

// The entries of a playlist text. LF or CR LF line ends, blank and comment lines, entries
// without "#EXTINF" (named after their file, 0 seconds), UTF-8 or GBK text; the text ends at a
// NUL byte. Relative paths are taken from `folder` (ending with "/").
std::vector<SongEntry> ParseM3u(std::string_view bytes, const std::string& folder);

// The same entries handed to `visit` one by one, in order, so that a playlist of millions of
// entries can be read without holding them all.
void ForEachM3uEntry(std::string_view bytes, const std::string& folder,
                     const std::function<void(SongEntry&&)>& visit);

// The folder against which a playlist's relative paths are read: its own, ending with "/".
std::string PlaylistFolder(const std::string& path);

// The entries of a playlist file; a missing or unreadable file gives an empty list.
std::vector<SongEntry> LoadM3u(const std::string& path);

// The playlist file of a category: program folder + "OrvMusicList<number>.m3u".
std::string CategoryFilePath(const std::string& programFolder, int category);
