#pragma once

#include <atomic>
#include <string>

#include "lyrics/LyricSearch.h"

// What one lyric search looks through, fixed when it starts.
struct LyricSearchJob {
    std::string keyword;
    std::string libraryRoot;
    std::string customFolder;  // the user's own lyric folder; empty: not searched
};

// The job the search dialog starts: the library of the configured program folder and, when
// `alsoCustom` holds and "Lyrics"/"CustomPath" is set, the user's own folder.
LyricSearchJob lyricSearchJobFor(const std::string& keyword, bool alsoCustom);

// Receives the rows of a search as they are found, on the thread that drives the run.
class LyricSearchObserver {
public:
    virtual ~LyricSearchObserver() = default;
    virtual void onRow(const LyricSearchRow& row) = 0;
};

// The lyric search, shared by the dialog and the command-line tool: the library first, then the
// user's own folder. Blocks the calling thread (the dialog drives it from a worker). An empty
// keyword finds nothing.
class LyricSearchRun {
public:
    explicit LyricSearchRun(LyricSearchObserver& observer) : m_observer(observer) {}

    // False when `stop` ended the search early.
    bool Run(const LyricSearchJob& job, const std::atomic<bool>* stop = nullptr);

private:
    LyricSearchObserver& m_observer;
};

// What taking a found lyric did.
struct TakenLyric {
    bool copied = false;  // the file went into the library (false when one was there already)
    bool tagged = false;  // the song's ID3v1 tag names the lyric's singer and title
};

// Takes a found lyric for a song: the file is copied into the library under its singer and
// title unless the library holds a file of that name (which is kept), and singer and title
// become the ID3v1 tag of `songPath`. A song path that is empty or names no file is not
// written (nor created).
TakenLyric TakeFoundLyric(const std::string& programFolder, const LyricSearchRow& row,
                          const std::string& songPath);
