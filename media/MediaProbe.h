#pragma once

#include <optional>
#include <string>

// Length of a media file in whole seconds, as the player measures it: nullopt when the file
// cannot be opened, 0 when it opens but its length cannot be measured. Plays nothing; safe on
// any thread.
std::optional<int> probeDurationSeconds(const std::string& path);
