#pragma once

#include <string>
#include <vector>

// Where vocalia-cli looks for vocalia-cli-media, in order: beside itself (a build tree), then in
// the install's libexec folder.
std::vector<std::string> mediaProgramCandidates();

// Replaces this process with vocalia-cli-media, same arguments, the same program folder; the
// CliHandOff of vocalia-cli. Returns 1 after saying why when no candidate can be started.
int handToMediaProgram(char** argv, const std::string& homeOption, const std::string& command);
