#include "audiotools/AccompanimentRun.h"

#include "audiotools/AccompanimentGraph.h"
#include "audiotools/AccompanimentNames.h"
#include "library/Mp3Info.h"
#include "resources/StringTable.h"
#include "shell/TextCodec.h"

namespace {

constexpr int kDecodingText = 52;
constexpr int kRemovingText = 53;
constexpr int kEncodingText = 54;
constexpr int kTaggingText = 55;
constexpr int kFinishedText = 56;

// Makes a running conversion graph end with an error, as a failing element would.
void interrupt(MediaGraph& graph) {
    GstElement* pipeline = graph.Pipeline();
    if (pipeline == nullptr) {
        return;
    }
    GError* error = g_error_new_literal(GST_CORE_ERROR, GST_CORE_ERROR_FAILED,
                                        AccompanimentRun::kCancelledText);
    gst_element_post_message(pipeline, gst_message_new_error(GST_OBJECT(pipeline), error, nullptr));
    g_error_free(error);
}

}  // namespace

void AccompanimentRun::Cancel() {
    const std::lock_guard lock(m_mutex);
    m_cancelled = true;
    if (m_runningGraph != nullptr) {
        interrupt(*m_runningGraph);
    }
}

bool AccompanimentRun::enterStep(int stringId) {
    if (cancelled()) {
        return false;
    }
    progress(stringId);
    return true;
}

bool AccompanimentRun::cancelled() {
    const std::lock_guard lock(m_mutex);
    return m_cancelled;
}

std::string AccompanimentRun::watchWhile(AccompanimentGraph& graph,
                                         int (AccompanimentGraph::*step)()) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_cancelled) {
            return kCancelledText;
        }
        m_runningGraph = &graph;
    }
    const int result = (graph.*step)();
    const std::lock_guard lock(m_mutex);
    m_runningGraph = nullptr;
    if (m_cancelled) {
        return kCancelledText;
    }
    return result < 0 ? graph.LastError() : std::string();
}

AccompanimentJob accompanimentJobFor(const std::string& input) {
    AccompanimentJob job;
    job.input = input;
    job.output = AccompanimentNames::defaultOutput(input);
    const Mp3Info info(input);
    job.tag = {TextCodec::decodeStoredText(info.Title()),
               TextCodec::decodeStoredText(info.Artist()),
               TextCodec::decodeStoredText(info.Album()), TextCodec::decodeStoredText(info.Year()),
               TextCodec::decodeStoredText(info.Comment())};
    return job;
}

void AccompanimentRun::progress(int stringId) {
    m_observer.onProgress(stringId, loadString(stringId));
}

RunOutcome AccompanimentRun::Run(const AccompanimentJob& job) {
    if (job.input.empty() || job.output.empty()) {
        return {"no input song or no output file was given"};
    }
    const RunClaim claim({job.output});
    if (!claim.claimed()) {
        return {claim.busyPath() + ": another run is working on it"};
    }
    PendingOutput output(job.output);
    if (!output.created()) {
        return {job.output + ": cannot create the output (" + output.error() + ")"};
    }

    // Decoding, removal and encoding run together in one stream. Each step is reported as it
    // gets under way: decoding first, then, once the first samples have come through the
    // removal into the encoder, the other two.
    if (!enterStep(kDecodingText)) {
        return {kCancelledText};
    }
    AccompanimentGraph graph(job.passes);
    if (graph.Build(job.input, output.temporaryPath()) < 0) {
        return {"decoding " + job.input + " failed: " + graph.LastError()};
    }
    if (std::string error = watchWhile(graph, &AccompanimentGraph::Preroll); !error.empty()) {
        return {cancelled() ? kCancelledText : "decoding " + job.input + " failed: " + error};
    }
    if (!enterStep(kRemovingText) || !enterStep(kEncodingText)) {
        return {kCancelledText};
    }
    if (std::string error = watchWhile(graph, &AccompanimentGraph::Play); !error.empty()) {
        return {cancelled() ? kCancelledText : "encoding " + job.output + " failed: " + error};
    }
    if (!enterStep(kTaggingText)) {
        return {kCancelledText};
    }
    if (RunOutcome tagged = tagAndCommit(output, job.output, job.tag); !tagged.ok()) {
        return tagged;
    }
    progress(kFinishedText);
    return {};
}
