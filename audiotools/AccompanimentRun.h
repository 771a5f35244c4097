#pragma once

#include <mutex>
#include <string>

#include "audiotools/RunSupport.h"

class AccompanimentGraph;
class MediaGraph;

// What one accompaniment run makes: from the sung `input` MP3 an MP3 without the centre voice.
struct AccompanimentJob {
    std::string input;
    std::string output;
    int passes = 2;
    TagTexts tag;
};

// A job for `input` filled as the dialog fills it when the input is chosen: the default output
// name and the tag texts of the input's own ID3v1 tag (empty when it has none).
AccompanimentJob accompanimentJobFor(const std::string& input);

// The accompaniment maker's run, shared by the dialog and the command-line tool: decode the
// input, remove the voice and encode the rest into the output in one stream, then tag the
// output. Blocks the calling thread (the dialog drives it from a worker) and reports each
// step's text (strings 52 to 56) to the observer, in order, as the step gets under way.
class AccompanimentRun {
public:
    explicit AccompanimentRun(RunObserver& observer) : m_observer(observer) {}

    // Runs the job; one without an input or an output fails at once. A step that fails ends the
    // run with a message naming the step and its cause. Nothing but the output is written, and
    // it exists only when the run succeeded (an existing output file is replaced then, and kept
    // otherwise). A run on an output that another run in this program is writing is refused.
    RunOutcome Run(const AccompanimentJob& job);

    // Ends the run from another thread: the conversion under way stops at once, the run fails
    // with the text kCancelledText and leaves no output behind.
    // A run started afterwards on this object ends before its first step.
    void Cancel();

    static constexpr const char* kCancelledText = "the run was cancelled";

private:
    void progress(int stringId);
    bool cancelled();
    // Reports the step about to begin; false (and nothing reported) once cancelled.
    bool enterStep(int stringId);
    // Runs one step of the graph where Cancel can stop it; the error text, empty when it went
    // well.
    std::string watchWhile(AccompanimentGraph& graph, int (AccompanimentGraph::*step)());

    RunObserver& m_observer;
    std::mutex m_mutex;
    bool m_cancelled = false;
    MediaGraph* m_runningGraph = nullptr;
};
