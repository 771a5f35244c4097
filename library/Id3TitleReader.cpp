#include "library/Id3TitleReader.h"

#include "library/FileHandle.h"
#include "library/Id3v1Tag.h"

Id3TitleReader::Id3TitleReader(const std::string& path) {
    if (!path.empty()) {
        Read(path);
    }
}

bool Id3TitleReader::Read(const std::string& path) {
    m_path.clear();
    m_artist.clear();
    m_title.clear();
    const FileHandle file(path, O_RDONLY);
    if (!file.isOpen()) {
        return false;
    }
    if (const auto tag = Id3v1Tag::readFrom(file)) {
        m_artist = tag->artist;
        m_title = tag->title;
    }
    m_path = path;
    return true;
}
