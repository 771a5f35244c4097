#pragma once

#include <string>

// Reads only the title and artist of a file's ID3v1 tag (its last 128 bytes). The texts are the
// stored bytes; callers decode them with TextCodec::decodeStoredText.
class Id3TitleReader {
public:
    // Reads `path` when it is not empty.
    explicit Id3TitleReader(const std::string& path = {});

    // False, with the fields empty, when the file cannot be opened; true otherwise, tag or not.
    bool Read(const std::string& path);

    const std::string& Path() const { return m_path; }
    std::string Artist() const { return m_artist; }
    std::string Title() const { return m_title; }

private:
    std::string m_path;
    std::string m_artist;
    std::string m_title;
};
