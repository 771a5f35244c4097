#pragma once

#include <string>

// Programs and documents the player starts through the desktop. None of them reports a
// failure: a missing tool, help page or browser simply does nothing.
namespace ShellStarts {

// The player's home page.
inline constexpr const char* kHomePageUrl = "https://vocalia.example.org/";

// Program folder + "Tools/" + name, started without arguments when it exists.
bool startTool(const std::string& name);
// Program folder + "Help/index.html" in the user's browser.
bool openHelp();
bool openHomePage();
// A text file in the user's editor: $VISUAL, else $EDITOR, else the desktop's default.
bool openInTextEditor(const std::string& path);

// The paths the commands use, as the program folder stands now.
std::string toolPath(const std::string& name);
std::string helpPath();

}  // namespace ShellStarts
