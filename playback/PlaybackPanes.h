#pragma once

#include <memory>
#include <string>

#include "media/cdg/CdgDecoder.h"

// What the playback controller asks of the two views of the main window. The lyrics view and
// the song list window implement these; the document holds them without owning them.

class LyricsPane {
public:
    virtual ~LyricsPane() = default;
    // Loads the lyric file; false (and the no-lyrics hint shown) when it cannot be loaded.
    virtual bool LoadLyrics(const std::string& path) = 0;
    // Plays a video inside the view.
    virtual void PlayVideo(const std::string& path) = 0;
    // Drops the video, when one plays.
    virtual void StopVideo() = 0;
    // Shows the CD+G graphics of the playing song in time with it instead of a lyric; false
    // when the view cannot show them.
    virtual bool ShowGraphics(std::unique_ptr<CdgDecoder> /*graphics*/) { return false; }
    // Drops the graphics, when they show.
    virtual void StopGraphics() {}
};

class SongListPane {
public:
    virtual ~SongListPane() = default;
    // Marks `row` as the playing row.
    virtual void MarkPlayingRow(int row) = 0;
    // Clears the playing mark and the selection of `row`.
    virtual void ClearRowMarks(int row) = 0;
    // Gives `row` the selection.
    virtual void SelectRow(int row) = 0;
    // Name of the category whose tab is selected.
    virtual std::string SelectedCategoryName() const = 0;
};
