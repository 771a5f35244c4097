#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

// The fuzz input as a file, for the parsers that read files: made once per process under
// TMPDIR and rewritten for every input.
inline const std::string& fuzzFilePath() {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir ? dir : "/tmp") + "/vocalia-fuzz-" + std::to_string(::getpid());
    }();
    return path;
}

inline const std::string& writeFuzzFile(const uint8_t* data, size_t size) {
    std::ofstream(fuzzFilePath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return fuzzFilePath();
}
