#include "library/SongList.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "library/M3uPlaylist.h"

namespace fs = std::filesystem;

SongList::SongList(DurationProbe probe) : m_probe(std::move(probe)) {}

int SongList::CurrentSong() const {
    return m_curSong >= 0 && static_cast<size_t>(m_curSong) < m_songs.size() ? m_curSong : -1;
}

void SongList::SelectCurrentSong(int firstSelectedRow) {
    if (firstSelectedRow >= 0) {
        m_curSong = firstSelectedRow;
    } else if (!m_songs.empty()) {
        m_curSong = 0;
    }
}

void SongList::AdvanceAfterSongEnd() {
    const int next = CurrentSong() + 1;
    m_curSong = CurrentSong() >= 0 && static_cast<size_t>(next) < m_songs.size() ? next : -1;
}

void SongList::AddSongFile(const std::string& path) {
    m_songs.push_back(CreateSongEntry(path, m_probe));
}

void SongList::AddFolder(const std::string& folder) {
    ClearSongList();
    std::vector<std::string> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (HasMp3Extension(it->path().filename().string()) && it->is_regular_file(error)) {
            files.push_back(it->path().string());
        }
    }
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) {
        AddSongFile(file);
    }
}

void SongList::ClearSongList() {
    m_songs.clear();
    m_curSong = -1;
}

void SongList::LoadM3u(const std::string& path) {
    ClearSongList();
    m_songs = ::LoadM3u(path);
}

bool SongList::SaveM3u(const std::string& path, std::string* error) const {
    return ::SaveM3u(path, m_songs, error);
}
