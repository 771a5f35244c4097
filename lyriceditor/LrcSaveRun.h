#pragma once

#include <string>
#include <vector>

#include "audiotools/RunSupport.h"
#include "lyriceditor/LrcDraft.h"

// What one save writes: the header and rows of a lyric into the LRC file `path`.
struct LrcSaveJob {
    std::string path;
    LrcHeader header;
    std::vector<LrcRow> rows;
};

// Writes a lyric file as UTF-8 (which the player's reader takes as it is). The file appears
// whole or not at all: an existing file is replaced only once the new text is on disk, and
// stays as it was when the write fails. Reports the saving step and its end to the observer.
class LrcSaveRun {
public:
    static constexpr int kSavingText = 112;
    static constexpr int kSavedText = 113;

    explicit LrcSaveRun(RunObserver& observer) : m_observer(observer) {}

    // A job with an incomplete header is refused; a file that cannot be written ends the run
    // with a message naming the file and the cause.
    RunOutcome Run(const LrcSaveJob& job);

private:
    RunObserver& m_observer;
};
