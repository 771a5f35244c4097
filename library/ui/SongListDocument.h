#pragma once

#include <QObject>
#include <string>
#include <vector>

#include "library/SongEntry.h"
#include "library/ui/SongCategories.h"
#include "library/ui/SongFileAdder.h"

class CMelodeckDoc;

// The document's song list life cycle: the shown category's list in the document's m_songs,
// the categories and their playlist files, and the roads by which songs come in. The song list
// window shows what this keeps and asks it for every change; it needs no window itself.
class SongListDocument : public QObject {
    Q_OBJECT

public:
    SongListDocument(CMelodeckDoc& doc, DurationProbe probe, QObject* parent = nullptr);

    // A new document: reads the category names and loads the list of the category shown first
    // ("MusicList"/"CurIndex", kept within the categories that exist).
    void OnNewDocument();
    // Closing: saves the shown list to its category file and the category names.
    void OnCloseDocument();

    SongCategories& Categories() { return m_categories; }
    SongFileAdder& Adder() { return m_adder; }

    // Appends one file (probed on this thread).
    void AddSongFile(const std::string& path);
    // Probes the files on the worker thread; each entry is appended as it arrives. A .cdg file
    // adds the audio file beside it.
    void AddSongFiles(const std::vector<std::string>& paths);
    // Dropped files: those with one of the music extensions join the list.
    void AddDroppedFiles(const std::vector<std::string>& paths);
    // The folder's MP3 files (by extension, any case; not its sub-folders) replace the list.
    void AddFolder(const std::string& folder);
    // The playlist replaces the list; it is saved as the shown category's list later.
    void OpenM3u(const std::string& path);
    // Empties the list; m_curSong and m_playingSong become -1.
    void ClearSongList();

    // Saves the shown list and shows category t; m_curSong keeps its number.
    void SwitchCategory(int t);
    // Appends a category; returns its position. The names are saved at once.
    int NewCategory();
    // Renames category k (an empty name is refused) and saves the names.
    bool RenameCategory(int k, const std::string& name);
    // Deletes the shown category (its list is not saved), saves the names with the renumbered
    // files and shows the one that takes its place. False when it is the only one.
    bool DeleteCategory();

    // Editing the rows.
    void RemoveRows(const std::vector<int>& rows);
    // An empty name is refused (false) and the entry keeps its name.
    bool RenameRow(int row, const std::string& name);
    // Swaps two rows; the playing mark follows the playing entry.
    void SwapRows(int a, int b);
    // True when the playing song's row is shown (its category is the shown one).
    bool ShowsPlayingRow() const;

signals:
    // A row was appended at the end.
    void rowAppended(int row);
    // The list changed as a whole: rebuild every row.
    void listReset();
    // A playlist file or the configuration holding the names could not be written.
    void saveFailed(const QString& file, const QString& reason);

private:
    void LoadShownList(int category);
    void saveList(const std::string& file, const std::vector<SongEntry>& songs);
    void saveNames();
    void Append(const SongEntry& entry);
    // An added file's entry reaches the list it was chosen for, also when another category is
    // shown by now; a list replaced or deleted since then takes nothing.
    void Deliver(const SongEntry& entry, int listToken);
    // The shown list is replaced: files still being added to it are forgotten.
    void RenewShownListToken();

    CMelodeckDoc& m_doc;
    DurationProbe m_probe;
    SongCategories m_categories;
    SongFileAdder m_adder;
    // One token per category position, naming the list that files are being added to.
    std::vector<int> m_listTokens;
    int m_nextListToken = 0;
};
