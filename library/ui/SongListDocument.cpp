#include "library/ui/SongListDocument.h"

#include <QDir>
#include <algorithm>
#include <iterator>

#include "library/KaraokePair.h"
#include "library/M3uPlaylist.h"
#include "library/ui/SongListRules.h"
#include "playback/MelodeckDoc.h"
#include "shell/Settings.h"

SongListDocument::SongListDocument(CMelodeckDoc& doc, DurationProbe probe, QObject* parent)
    : QObject(parent), m_doc(doc), m_probe(probe), m_adder(std::move(probe)) {
    connect(&m_adder, &SongFileAdder::songReady, this, &SongListDocument::Deliver);
}

void SongListDocument::OnNewDocument() {
    m_categories.Load();
    m_listTokens.clear();
    for (int k = 0; k < m_categories.Count(); ++k) {
        m_listTokens.push_back(m_nextListToken++);
    }
    m_doc.m_curCategory = std::clamp(m_doc.m_curCategory, 0, m_categories.Count() - 1);
    m_doc.m_playingCategory = m_doc.m_curCategory;
    LoadShownList(m_doc.m_curCategory);
    emit listReset();
}

void SongListDocument::OnCloseDocument() {
    m_adder.Cancel();
    saveList(SongCategories::FilePath(m_doc.m_curCategory), m_doc.m_songs);
    saveNames();
}

void SongListDocument::saveList(const std::string& file, const std::vector<SongEntry>& songs) {
    std::string error;
    if (!SaveM3u(file, songs, &error)) {
        emit saveFailed(QString::fromStdString(file), QString::fromStdString(error));
    }
}

void SongListDocument::saveNames() {
    if (!m_categories.Save()) {
        emit saveFailed(QString::fromStdString(theSettings.FilePath()), QString());
    }
}

void SongListDocument::LoadShownList(int category) {
    m_doc.m_songs = LoadM3u(SongCategories::FilePath(category));
}

void SongListDocument::Append(const SongEntry& entry) {
    m_doc.m_songs.push_back(entry);
    emit rowAppended(static_cast<int>(m_doc.m_songs.size()) - 1);
}

void SongListDocument::Deliver(const SongEntry& entry, int listToken) {
    const auto it = std::find(m_listTokens.begin(), m_listTokens.end(), listToken);
    if (it == m_listTokens.end()) {
        return;
    }
    const int category = static_cast<int>(it - m_listTokens.begin());
    if (category == m_doc.m_curCategory) {
        Append(entry);
        return;
    }
    const std::string file = SongCategories::FilePath(category);
    std::vector<SongEntry> songs = LoadM3u(file);
    songs.push_back(entry);
    saveList(file, songs);
}

void SongListDocument::RenewShownListToken() {
    int& token = m_listTokens.at(static_cast<size_t>(m_doc.m_curCategory));
    m_adder.Forget(token);
    token = m_nextListToken++;
}

void SongListDocument::AddSongFile(const std::string& path) {
    Append(CreateSongEntry(path, m_probe));
}

void SongListDocument::AddSongFiles(const std::vector<std::string>& chosen) {
    const std::vector<std::string> paths = KaraokePair::SongFiles(chosen);
    m_doc.m_pendingFiles = paths;
    m_adder.Add(paths, m_listTokens.at(static_cast<size_t>(m_doc.m_curCategory)));
}

void SongListDocument::AddDroppedFiles(const std::vector<std::string>& paths) {
    std::vector<std::string> music;
    std::copy_if(paths.begin(), paths.end(), std::back_inserter(music),
                 SongListRules::IsDroppableMusicFile);
    AddSongFiles(music);
}

void SongListDocument::AddFolder(const std::string& folder) {
    ClearSongList();
    const QDir dir(QString::fromStdString(folder));
    const QStringList names = dir.entryList({QStringLiteral("*.mp3")}, QDir::Files | QDir::Readable,
                                            QDir::Name | QDir::IgnoreCase);
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(names.size()));
    for (const QString& name : names) {
        paths.push_back(dir.filePath(name).toStdString());
    }
    AddSongFiles(paths);
}

void SongListDocument::OpenM3u(const std::string& path) {
    ClearSongList();
    m_doc.m_songs = LoadM3u(path);
    emit listReset();
}

void SongListDocument::ClearSongList() {
    RenewShownListToken();
    m_doc.m_songs.clear();
    m_doc.m_curSong = -1;
    // The playing song's row went with the list; no row of the next list may carry its mark.
    m_doc.m_playingSong = -1;
    emit listReset();
}

void SongListDocument::SwitchCategory(int t) {
    if (t < 0 || t >= m_categories.Count() || t == m_doc.m_curCategory) {
        return;
    }
    saveList(SongCategories::FilePath(m_doc.m_curCategory), m_doc.m_songs);
    LoadShownList(t);
    m_doc.m_curCategory = t;
    emit listReset();
}

int SongListDocument::NewCategory() {
    m_listTokens.push_back(m_nextListToken++);
    const int k = m_categories.Append();
    saveNames();
    return k;
}

bool SongListDocument::RenameCategory(int k, const std::string& name) {
    if (!m_categories.Rename(k, name)) {
        return false;
    }
    saveNames();
    return true;
}

bool SongListDocument::DeleteCategory() {
    const int deleted = m_doc.m_curCategory;
    const int shown = m_categories.Remove(deleted);
    if (shown < 0) {
        return false;
    }
    // The files were renumbered: the names follow at once, not at exit.
    saveNames();
    m_adder.Forget(m_listTokens.at(static_cast<size_t>(deleted)));
    m_listTokens.erase(m_listTokens.begin() + deleted);
    // The playing song's category moved one down with the files, or is gone.
    if (m_doc.m_playingCategory == deleted) {
        m_doc.m_playingCategory = -1;
    } else if (m_doc.m_playingCategory > deleted) {
        --m_doc.m_playingCategory;
    }
    LoadShownList(shown);
    m_doc.m_curCategory = shown;
    emit listReset();
    return true;
}

void SongListDocument::RemoveRows(const std::vector<int>& rows) {
    const int count = static_cast<int>(m_doc.m_songs.size());
    std::vector<int> valid;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(valid),
                 [count](int row) { return row >= 0 && row < count; });
    // The marks follow their songs; a removed playing song plays on unmarked.
    if (ShowsPlayingRow()) {
        bool playingGone = false;
        const int playing = SongListRules::FollowRemoval(m_doc.m_playingSong, valid, &playingGone);
        m_doc.m_playingSong = playingGone ? -1 : playing;
    }
    m_doc.m_curSong = SongListRules::FollowRemoval(m_doc.m_curSong, valid);
    SongListRules::RemoveRows(m_doc.m_songs, rows);
    emit listReset();
}

bool SongListDocument::RenameRow(int row, const std::string& name) {
    if (name.empty() || row < 0 || row >= static_cast<int>(m_doc.m_songs.size())) {
        return false;
    }
    m_doc.m_songs[static_cast<size_t>(row)].DisplayName = name;
    return true;
}

void SongListDocument::SwapRows(int a, int b) {
    const int count = static_cast<int>(m_doc.m_songs.size());
    if (a == b || a < 0 || b < 0 || a >= count || b >= count) {
        return;
    }
    std::swap(m_doc.m_songs[static_cast<size_t>(a)], m_doc.m_songs[static_cast<size_t>(b)]);
    if (ShowsPlayingRow()) {
        m_doc.m_playingSong = SongListRules::FollowSwap(m_doc.m_playingSong, a, b);
    }
}

bool SongListDocument::ShowsPlayingRow() const {
    return m_doc.m_playingSong != -1 && m_doc.m_playingCategory == m_doc.m_curCategory;
}
