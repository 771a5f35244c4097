#pragma once

#include <string>

class QWidget;

// The lyric commands that leave the player: the user's text editor and the lyric editor tool.
namespace LyricTools {

// Opens the file in the user's text editor ($VISUAL, else $EDITOR, else the desktop's default
// application), without waiting. A missing file is left to the editor.
void EditLyricFile(const std::string& path);

// Starts the lyric editor tool from the program folder's "Tools/"; a failure is not reported.
void StartLyricEditor();

// The add-lyric command: asks for a lyric file and moves it into the library, telling the user
// how it went.
void AddLyricToLibraryInteractive(QWidget* parent);

}  // namespace LyricTools
