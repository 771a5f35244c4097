#include "media/MediaProbe.h"

#include "media/MediaGraph.h"
#include "media/MediaTime.h"

namespace {

// playbin's flags: audio and video only (no subtitles, no software volume).
constexpr int kPlayAudioVideo = 0x1 | 0x2;
// How long the probe lets a file run to learn its length (an MP3 without a length header is
// measured from its bit rate once a few frames have passed).
constexpr gint64 kRunLimitUs = gint64{3} * G_USEC_PER_SEC;
constexpr gulong kPollUs = 2000;

GstElement* discardingSink() {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", FALSE, nullptr);
    return sink;
}

std::optional<gint64> queryDuration(GstElement* pipeline) {
    gint64 duration = 0;
    if (gst_element_query_duration(pipeline, GST_FORMAT_TIME, &duration) && duration >= 0) {
        return duration;
    }
    return std::nullopt;
}

// A player whose outputs discard everything: it is only rolled up to measure the file.
class ProbeGraph : public MediaGraph {
public:
    ProbeGraph() : MediaGraph("playbin") {}

    std::optional<int> measure(const std::string& path) {
        GstElement* playbin = Pipeline();
        const std::string uri = mediaFileUri(path);
        if (!playbin || uri.empty()) {
            return std::nullopt;
        }
        // playbin sinks the floating references of the new sinks.
        g_object_set(playbin, "uri", uri.c_str(), "flags", kPlayAudioVideo, "audio-sink",
                     discardingSink(), "video-sink", discardingSink(), nullptr);
        if (ChangeState(GST_STATE_PAUSED) < 0) {
            return std::nullopt;
        }
        auto duration = queryDuration(playbin);
        if (!duration) {
            duration = runUntilMeasured(playbin);
        }
        return duration ? static_cast<int>(nsToWholeSeconds(*duration)) : 0;
    }

private:
    // Lets the file run unclocked until its length is known, it ends, or the limit passes.
    std::optional<gint64> runUntilMeasured(GstElement* playbin) {
        if (ChangeState(GST_STATE_PLAYING, 0) < 0) {
            return std::nullopt;
        }
        const gint64 deadline = g_get_monotonic_time() + kRunLimitUs;
        while (g_get_monotonic_time() < deadline) {
            if (auto duration = queryDuration(playbin)) {
                return duration;
            }
            if (WaitForEnd(kPollUs * GST_USECOND) == 0) {
                return queryDuration(playbin);
            }
        }
        return std::nullopt;
    }
};

}  // namespace

std::optional<int> probeDurationSeconds(const std::string& path) {
    ProbeGraph graph;
    return graph.measure(path);
}
