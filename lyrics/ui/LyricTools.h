#pragma once

class QWidget;

namespace LyricTools {

// The add-lyric command: asks for a lyric file and moves it into the library, telling the user
// how it went.
void AddLyricToLibraryInteractive(QWidget* parent);

}  // namespace LyricTools
