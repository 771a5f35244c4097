#pragma once

#include <QStringList>
#include <string>
#include <vector>

class CMelodeckDoc;
class CLeftForm;

// Files the player is started with (as a file manager passes them) or handed by a later start.
struct OpenedFiles {
    // Music files and the songs of playlists: they join the shown category, the first plays.
    std::vector<std::string> songs;
    // A lyric file and the song file beside it with the same name, played together when no
    // song was given.
    std::string lyric;
    std::string lyricMedia;
    // A karaoke video, played in the lyrics view when neither songs nor a lyric were given.
    std::string video;

    // Sorts command-line arguments: paths (relative ones taken from `workingFolder`) or file
    // URLs. Options ("--...") and their values, missing files and other kinds of file are left
    // out.
    static OpenedFiles FromArguments(const QStringList& arguments, const QString& workingFolder);
    // The same from absolute paths.
    static OpenedFiles FromPaths(const QStringList& paths);

    bool empty() const { return songs.empty() && lyric.empty() && video.empty(); }
    // Absolute paths of everything given, for handing to a running player.
    QStringList Paths() const;

    // Carries the request out: songs are added to the list and the first that arrives plays;
    // else the lyric with its song; else the video.
    void Open(CMelodeckDoc& doc, CLeftForm& songList) const;
};
