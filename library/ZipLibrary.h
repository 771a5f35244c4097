#pragma once

#include <zip.h>

#include <string>

// libzip, loaded the first time a zip archive is opened rather than at every start of the
// programs: with the compression and cryptography libraries it brings along, linking it cost
// each start of the command-line tool 2 ms, while few songs come in zip archives.
struct ZipLibrary {
    decltype(&zip_open) open = nullptr;
    decltype(&zip_discard) discard = nullptr;
    decltype(&zip_get_num_entries) entryCount = nullptr;
    decltype(&zip_get_name) entryName = nullptr;
    decltype(&zip_stat_index) statIndex = nullptr;
    decltype(&zip_fopen_index) openEntry = nullptr;
    decltype(&zip_fread) readEntry = nullptr;
    decltype(&zip_fclose) closeEntry = nullptr;

    // The library, loaded once and kept until the program ends; nullptr, with a user text in
    // `error`, when it is not installed.
    static const ZipLibrary* Get(std::string& error);
};
