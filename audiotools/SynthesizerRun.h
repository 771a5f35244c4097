#pragma once

#include <cstdint>
#include <string>

#include "audiotools/RunSupport.h"

// What one save of the synthesizer makes: the voice recording and the background music mixed
// into one tagged MP3, the voice starting `offsetMs` after the music.
struct SynthesisJob {
    std::string voice;
    std::string music;
    int64_t offsetMs = 0;
    std::string output;
    TagTexts tag;
};

// A job filled as the dialog fills it when it opens, from the program folder and the settings:
// the last recording as the voice, "output.mp3" there as the output, the offset at which the
// recording began, and the stock tag texts. `music` and `title` come from the current song
// (both empty when there is none; the title then stays "Title").
SynthesisJob synthesisDefaults(const std::string& music = {}, const std::string& title = {});

// The synthesizer's save, shared by the dialog and the command-line tool: lays the voice and
// the music on a fresh mixing timeline, renders it as MP3 into the output, tags the output.
// Blocks the calling thread and reports strings 66 and 56 to the observer.
class SynthesizerRun {
public:
    explicit SynthesizerRun(RunObserver& observer) : m_observer(observer) {}

    // Runs the job. With both paths empty nothing is made and the run fails after string 66.
    // A step that fails ends the run with a message naming the step and its cause; the output
    // exists only when the run succeeded. A second run on the same output is refused.
    RunOutcome Run(const SynthesisJob& job);

private:
    void progress(int stringId);

    RunObserver& m_observer;
};
