#pragma once

#include <string>

// The file an accompaniment run makes, named from the input song's path.
namespace AccompanimentNames {

// The default output: the input path up to its last "." followed by "(music).mp3". The cut is
// made at the last "." anywhere in the path, so a dot in a folder name counts; a path without
// any "." gives "(music).mp3" alone.
std::string defaultOutput(const std::string& input);

}  // namespace AccompanimentNames
