#pragma once

#include <mutex>
#include <string>

#include "audiotools/RunSupport.h"

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
// input into a temporary WAV beside it, remove the voice in place, encode the WAV into the
// output, tag the output. Blocks the calling thread (the dialog drives it from a worker) and
// reports each step's text (strings 52 to 56) to the observer.
class AccompanimentRun {
public:
    explicit AccompanimentRun(RunObserver& observer) : m_observer(observer) {}

    // Runs the job; one without an input or an output fails at once. A step that fails ends the
    // run with a message naming the step and its cause; the temporary WAV is gone afterwards either
    // way, and the output exists only when the run succeeded (an existing output file is replaced
    // then, and kept otherwise). A run on files that another run is working on is refused. A file
    // that already has the temporary WAV's name is left as it is; the run then uses a unique name
    // beside it.
    RunOutcome Run(const AccompanimentJob& job);

    // Ends the run from another thread: the conversion under way stops at once, the run fails
    // with the text kCancelledText and leaves neither the temporary WAV nor any output behind.
    // A run started afterwards on this object ends before its first step.
    void Cancel();

    static constexpr const char* kCancelledText = "the run was cancelled";

private:
    void progress(int stringId);
    bool cancelled();
    // Reports the step about to begin; false (and nothing reported) once cancelled.
    bool enterStep(int stringId);
    // Runs a conversion graph that Cancel can stop; the error text, empty when it converted.
    template <typename Graph>
    std::string convert(const std::string& source, const std::string& output);

    RunObserver& m_observer;
    std::mutex m_mutex;
    bool m_cancelled = false;
    MediaGraph* m_runningGraph = nullptr;
};
