#pragma once

#include <string>
#include <vector>

// The lyric library's singers and titles as lists, in the collation of the locale (through Qt
// Core, kept out of the library's paths so that programs that only find lyrics load no Qt).

// The singers of the library (its sub-folders, full names), sorted in the locale's order.
std::vector<std::string> LibrarySingers(const std::string& programFolder);
// The titles of a singer: the names of its ".lrc" files (lower case, as the lyric path is
// built) without the extension, sorted in the locale's order.
std::vector<std::string> LibraryTitles(const std::string& programFolder, const std::string& singer);
