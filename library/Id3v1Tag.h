#pragma once

#include <optional>
#include <string>
#include <string_view>

class FileHandle;

// An ID3v1 tag: the last 128 bytes of a file, starting "TAG". Text fields are the stored bytes
// (GBK or UTF-8, as the writer left them), each up to its first NUL.
struct Id3v1Tag {
    static constexpr size_t kSize = 128;

    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
    int track = 0;    // ID3v1.1 track number, 0 = none
    int genre = 255;  // 255 = none

    // The tag at the end of an open file, when there is one.
    static std::optional<Id3v1Tag> readFrom(const FileHandle& file);
    // The tag of a 128-byte block, when it starts with "TAG".
    static std::optional<Id3v1Tag> parse(std::string_view block);
    // The 128 bytes to store. UTF-8 text is stored as GBK; every field is cut at a character
    // boundary so that no double-byte character is split.
    std::string toBlock() const;
};

// Whether the last 128 bytes of an open file are a tag.
bool hasId3v1Tag(const FileHandle& file);
