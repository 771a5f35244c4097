#pragma once

#include <QStringList>
#include <functional>
#include <string>
#include <vector>

// Programs and documents the player starts through the desktop.
namespace ShellStarts {

// The player's home page.
inline constexpr const char* kHomePageUrl = "https://vocalia.example.org/";

// Folders that may hold the Tools and the Help, in the order they are tried: beside the
// executable (a build or an unpacked folder), the installed shared data folder, then the
// program folder. Each ends with "/".
std::vector<std::string> resourceFolders();

// The first of `folders` that holds the file `relative` (an executable one when asked); the
// whole path, or empty when none does.
std::string findIn(const std::vector<std::string>& folders, const std::string& relative,
                   bool executable);
// The first executable "Tools/<name>" of the resource folders; empty when there is none.
std::string toolPath(const std::string& name);
// The first "Help/index.html" of the resource folders; empty when there is none.
std::string helpPath();

// Starts a tool with `arguments`; false when it cannot be found or started.
bool startTool(const std::string& name, const QStringList& arguments = {});
// The help page in the user's browser; false when it cannot be found or opened.
bool openHelp();
bool openHomePage();

// The command that opens `path` in the user's editor: $VISUAL, else $EDITOR (either may carry
// arguments). An editor that needs a terminal runs in the desktop's terminal emulator. Empty
// when neither variable is set: the desktop's default application opens the file then.
QStringList editorCommand(const std::string& path,
                          const std::function<std::string(const char*)>& environment);
// Opens a text file in the user's editor; false when nothing could be started.
bool openInTextEditor(const std::string& path);

}  // namespace ShellStarts
