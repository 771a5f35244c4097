#pragma once

#include <functional>
#include <string>
#include <string_view>

// Writes a whole file so that a crash or a full disk never leaves it half-written: the bytes go
// to a temporary file in the same folder, which then replaces the target by a rename. A target
// that is a symbolic link is written through the link. On failure the target is untouched, the
// temporary file is removed, and `error` (when given) says why.
bool writeFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);

// A file that no one may write (no write bit at all) is refused by the writers below, also for
// the superuser: its owner made it read-only. A replaced file keeps its mode, owner and group.

// Read-modify-write of a file that other processes update too: under an exclusive lock on the
// hidden ".<name>.lock" beside it (waited for a few seconds at most), reads the file ("" when it is
// missing), lets `change` edit the bytes and writes them back atomically; bytes that come back
// unchanged are not written again. A file that is there but cannot be read is left alone (false).
bool updateFileAtomically(const std::string& path, const std::function<void(std::string&)>& change,
                          std::string* error = nullptr);

// Reads a whole file. False (and `error`) when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& bytes, std::string* error = nullptr);
