#pragma once

#include <string>
#include <string_view>

// Writes a whole file so that a crash or a full disk never leaves it half-written: the bytes go
// to a temporary file in the same folder, which then replaces the target by a rename. A target
// that is a symbolic link is written through the link. On failure the target is untouched, the
// temporary file is removed, and `error` (when given) says why.
bool writeFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);

// Reads a whole file. False (and `error`) when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& bytes, std::string* error = nullptr);
