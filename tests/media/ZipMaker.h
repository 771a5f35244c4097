#pragma once

#include <zip.h>

#include <string>
#include <utility>
#include <vector>

// Writes a zip archive of (name, bytes) entries for tests; false when it cannot be written.
inline bool writeZip(const std::string& path,
                     const std::vector<std::pair<std::string, std::string>>& entries) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (archive == nullptr) {
        return false;
    }
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        if (source == nullptr ||
            zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    // The buffers are read here, while `entries` still holds them.
    return zip_close(archive) == 0;
}
