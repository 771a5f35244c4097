#pragma once

#include <string>
#include <vector>

#include "lyrics/SingerTitle.h"

// The lyric library: program folder + "MyLyrics/" + singer + "/" + title + ".lrc". A song finds
// its lyric by its display name alone.

// Singer and title of a song's display name, split at its first "-": the singer loses trailing
// blanks, the title loses leading "-" and then leading blanks. No "-": empty singer, the whole
// name as title.
SingerTitle SplitDisplayName(const std::string& name);

// The library root, `programFolder` + "MyLyrics/".
std::string LyricLibraryRoot(const std::string& programFolder);

// The folder of a singer's lyrics, ending with "/"; the library root for an empty singer.
std::string LyricLibrarySingerFolder(const std::string& programFolder, const std::string& singer);

// The library file of a singer and title; an empty singer gives a file in the library root.
// A "/" inside a name, or a name of dots alone, would reach outside its folder; such characters
// become "_".
std::string LyricLibraryPath(const std::string& programFolder, const SingerTitle& names);
// The same in the program folder of the configuration ("App"/"AppPath").
std::string LyricLibraryPath(const SingerTitle& names);

// Makes sure a lyric file exists so that an editor has something to open: a missing file is
// created empty, with its singer folder. An existing file is left as it is. False when it
// cannot be created.
bool EnsureLyricFile(const std::string& path);

struct AddLyricResult {
    bool added = false;
    std::string message;  // the text for the user
    std::string path;     // the library file, empty when refused
};

// Moves a lyric file into the library: singer and title from its tag head, else from its file
// name "singer - title.ext"; the singer folder is created when missing, the file copied onto
// its library file (replacing one of that name) and the source deleted only after the copy
// succeeded. A file that already is its own library file stays where it is.
AddLyricResult AddLyricToLibrary(const std::string& programFolder, const std::string& source);
