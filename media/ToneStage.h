#pragma once

#include <gst/gst.h>

#include <cstdint>

#include "media/GstHandles.h"
#include "media/SmoothPosition.h"

// Key, tempo and live vocal reduction of the players' sound. Like the channel level, each is
// one value for the whole program: it acts at once on the song or video that plays and on
// every later one. Setters belong to the thread that runs the players (the UI thread).
namespace PlaybackTone {

inline constexpr int kMinKey = -6;
inline constexpr int kMaxKey = 6;
inline constexpr int kMinTempo = 80;
inline constexpr int kMaxTempo = 120;
inline constexpr int kTempoStep = 5;
inline constexpr int kOriginalTempo = 100;

bool validKey(int semitones);
// A tempo of the range that lies on the 5 % steps.
bool validTempo(int percent);

// Semitones up (positive) or down; held within the range.
void setKey(int semitones);
int key();
// Percent of the original speed, pitch kept; held within the range and put on the steps.
void setTempo(int percent);
int tempo();
// Takes the centre out of the voice band.
void setVocalCut(bool on);
bool vocalCut();

}  // namespace PlaybackTone

// The part of one player's audio path that carries the channel level, the vocal reduction and
// the key and tempo shifter. It follows the program-wide values while it lives, and maps the
// position the speakers have reached (which runs at the tempo) back to the time in the song.
//
// Use: construct with the player's pipeline, hand Filter() to playbin as its audio filter,
// call Restart after every open and flushing seek. `followTempo` false keeps the original
// speed (a video, whose pictures would otherwise run away from the sound).
class ToneStage {
public:
    ToneStage(GstElement* pipeline, bool followTempo);
    ~ToneStage();
    ToneStage(const ToneStage&) = delete;
    ToneStage& operator=(const ToneStage&) = delete;

    // The bin for playbin's "audio-filter", with a reference of the caller's; null when an
    // element is missing. Built once.
    GstRef<GstElement> Filter();

    // Song time (ns) of what is heard, from the pipeline's position; -1 when unknown.
    int64_t SongPositionNs() const;
    // Song length (ns) from the length the pipeline reports at the current tempo.
    int64_t SongDurationNs(int64_t reportedNs) const;
    // The position to seek the pipeline to for a song time (the shifter scales it back).
    int64_t SeekTargetNs(int64_t songNs) const;
    // A new segment starts (open, flushing seek): the pipeline's time is the song's again,
    // scaled by the tempo.
    void Restart();

    // Applies the program-wide values (called by their setters).
    void Apply();

private:
    int64_t outputPositionNs() const;

    GstElement* m_pipeline;
    bool m_followTempo;
    GstRef<GstElement> m_shifter;
    double m_ratio = 1.0;
    // The position mapping holds since the last tempo change: song = song0 + (out - out0) * ratio.
    int64_t m_anchorOut = 0;
    int64_t m_anchorSong = 0;
    mutable SmoothPosition m_position;
};
