#pragma once

#include <string>

// The program folder: every path of the player is built from it. It ends with "/".
namespace ProgramFolder {

inline constexpr const char* ConfigFileName = "OrvMelodeck.ini";
inline constexpr const char* LyricsFolder = "MyLyrics/";
inline constexpr const char* ToolsFolder = "Tools/";
inline constexpr const char* HelpFile = "Help/index.html";
inline constexpr const char* RecordingFile = "temp.mp3";
inline constexpr const char* MixOutputFile = "output.mp3";
inline constexpr const char* HomeEnvironmentVariable = "VOCALIA_HOME";

// "OrvMusicList<number>.m3u", the playlist file of a category.
std::string categoryFileName(int number);

// The folder of the running executable, ending with "/".
std::string executableFolder();

// The folder start-up uses: `homeOption` (from --home) when not empty, else $VOCALIA_HOME,
// else the executable's folder when it is writable and not an installed bin/ folder (one beside
// share/vocalia/), else $XDG_DATA_HOME/Vocalia/ (by default ~/.local/share/Vocalia/). Always
// ends with "/".
std::string resolve(const std::string& homeOption);

// Start-up: resolves the folder, creates it when missing, points theSettings at its
// configuration file and writes "App"/"AppPath". False, with `error`, when the folder cannot be
// created.
bool start(const std::string& homeOption, std::string& folder, std::string* error = nullptr);

// The program folder as the read sites see it: "App"/"AppPath" of the configuration.
std::string current();

}  // namespace ProgramFolder
