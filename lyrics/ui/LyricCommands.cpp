#include "lyrics/ui/LyricCommands.h"

#include "library/SongEntry.h"
#include "lyrics/ui/LyricJukeboxDlg.h"
#include "lyrics/ui/LyricSearchDlg.h"
#include "playback/MelodeckDoc.h"

namespace {

// The current song's row, −1 for none.
int currentRow(const CMelodeckDoc& doc) {
    return doc.m_curSong >= 0 && doc.m_curSong < static_cast<int>(doc.m_songs.size())
               ? doc.m_curSong
               : -1;
}

std::string nameOf(const SingerTitle& names) {
    return names.singer + " - " + names.title;
}

}  // namespace

namespace LyricCommands {

// The row is fixed when the dialog opens: the list may move on to the next song while the
// dialog is open, and the lyric belongs to the song that was tagged.
void Search(CMelodeckDoc& doc, QWidget* parent) {
    const int row = currentRow(doc);
    const SongEntry song = row >= 0 ? doc.m_songs[static_cast<size_t>(row)] : SongEntry();
    CLyricSearchDlg dialog(song.DisplayName, song.Path, parent);
    if (dialog.exec() == QDialog::Accepted) {
        PlayFoundLyric(doc, row, dialog.Result());
    }
}

void Jukebox(CMelodeckDoc& doc, QWidget* parent, bool manualMatch) {
    const int row = manualMatch ? currentRow(doc) : -1;
    CLyricJukeboxDlg dialog(row >= 0 ? doc.m_songs[static_cast<size_t>(row)].Path : std::string(),
                            parent);
    if (dialog.exec() == QDialog::Accepted) {
        PlayPickedLyric(doc, dialog.Result());
    }
}

void PlayFoundLyric(CMelodeckDoc& doc, int row, const LyricSearchRow& found) {
    if (row < 0 || row >= static_cast<int>(doc.m_songs.size())) {
        return;
    }
    SongEntry& song = doc.m_songs[static_cast<size_t>(row)];
    song.DisplayName = nameOf({found.singer, found.title});
    emit doc.songRenamed(row);
    doc.PlayWithLyric(found.path, song.Path);
    doc.m_playingName = song.DisplayName;
}

// The picked song may lie outside the list: the time pane shows its own length.
void PlayPickedLyric(CMelodeckDoc& doc, const LyricPick& pick) {
    doc.PlayWithLyric(pick.lyricPath, pick.songPath);
    doc.m_playingName = nameOf(pick.names);
    doc.m_playingDuration = FormatDuration(MakeDurationProbe()(pick.songPath));
}

}  // namespace LyricCommands
