#include "media/MixTimeline.h"

#include <memory>
#include <mutex>

#include "media/MediaGraph.h"
#include "media/SpeakerSink.h"

namespace {

constexpr int kFailed = -1;
constexpr GstClockTime kPreviewStartTimeout = 10 * GST_SECOND;

void ensureGesInitialized() {
    static std::once_flag once;
    std::call_once(once, [] {
        ensureGstInitialized();
        ges_init();
    });
}

// Assets are plain GObjects, not GstObjects.
struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

}  // namespace

MixTimeline::MixTimeline() = default;

MixTimeline::~MixTimeline() {
    StopPreview();
}

int MixTimeline::AddVoice(const std::string& path, int64_t offsetMs) {
    return addClip(path, offsetMs);
}

int MixTimeline::AddMusic(const std::string& path) {
    return addClip(path, 0);
}

int MixTimeline::addClip(const std::string& path, int64_t offsetMs) {
    // Positions are nanoseconds in 64 bits; a larger offset would wrap around to a small one.
    constexpr int64_t kMaxOffsetMs = G_MAXINT64 / static_cast<int64_t>(GST_MSECOND) / 2;
    if (offsetMs > kMaxOffsetMs || offsetMs < -kMaxOffsetMs) {
        m_lastError = path + ": an offset of " + std::to_string(offsetMs) + " ms is out of range";
        return kFailed;
    }
    if (mediaFileUri(path).empty()) {
        m_lastError = path + ": no such file";
        return kFailed;
    }
    // Positions in nanoseconds, computed in 64 bits (five minutes is 3e11).
    const auto offset =
        static_cast<GstClockTime>(offsetMs < 0 ? -offsetMs : offsetMs) * GST_MSECOND;
    const MixRenderGraph::Clip clip{path, offsetMs < 0 ? 0 : offset, offsetMs < 0 ? offset : 0};
    if (m_timeline && placeOnTimeline(clip) < 0) {
        return kFailed;
    }
    m_clips.push_back(clip);
    return 0;
}

GESTimeline* MixTimeline::timeline() {
    if (m_timeline) {
        return m_timeline.get();
    }
    ensureGesInitialized();
    m_timeline.reset(GES_TIMELINE(gst_object_ref_sink(ges_timeline_new())));
    ges_timeline_add_track(m_timeline.get(), GES_TRACK(ges_audio_track_new()));
    for (const MixRenderGraph::Clip& clip : m_clips) {
        if (placeOnTimeline(clip) < 0) {
            m_timeline.reset();
            return nullptr;
        }
    }
    return m_timeline.get();
}

int MixTimeline::placeOnTimeline(const MixRenderGraph::Clip& clip) {
    const std::string uri = mediaFileUri(clip.path);
    // The editing services keep every file they have read in a cache; a recording made again
    // under the same name must be read again, not mixed at its old length.
    ges_asset_needs_reload(GES_TYPE_URI_CLIP, uri.c_str());
    GError* raw = nullptr;
    const std::unique_ptr<GESUriClipAsset, GObjectUnref> asset(
        ges_uri_clip_asset_request_sync(uri.c_str(), &raw));
    const GErrorPtr error(raw);
    if (!asset) {
        m_lastError = clip.path + ": " + (error ? error->message : "cannot read the file");
        return kFailed;
    }
    const GstClockTime length = ges_uri_clip_asset_get_duration(asset.get());
    if (clip.inpoint >= length) {
        return 0;
    }
    GESLayer* layer = ges_timeline_append_layer(m_timeline.get());
    if (!ges_layer_add_asset(layer, GES_ASSET(asset.get()), clip.start, clip.inpoint,
                             length - clip.inpoint, GES_TRACK_TYPE_AUDIO)) {
        m_lastError = clip.path + ": cannot place the clip on the timeline";
        return kFailed;
    }
    ges_timeline_commit(m_timeline.get());
    return 0;
}

int64_t MixTimeline::DurationMs() {
    GESTimeline* clips = timeline();
    return clips ? static_cast<int64_t>(ges_timeline_get_duration(clips) / GST_MSECOND) : 0;
}

GstRef<GESPipeline> MixTimeline::makePipeline() {
    GESTimeline* clips = timeline();
    if (!clips) {
        return nullptr;
    }
    GstRef<GESPipeline> pipeline(GES_PIPELINE(gst_object_ref_sink(ges_pipeline_new())));
    // The pipeline takes a reference of its own and drops it when it goes.
    if (!ges_pipeline_set_timeline(pipeline.get(), clips)) {
        m_lastError = "cannot attach the timeline to a pipeline";
        return nullptr;
    }
    return pipeline;
}

int MixTimeline::Preview() {
    StopPreview();
    m_preview = makePipeline();
    if (!m_preview) {
        return kFailed;
    }
    ges_pipeline_set_mode(m_preview.get(), GES_PIPELINE_MODE_PREVIEW_AUDIO);
    g_object_set(m_preview.get(), "audio-sink", makeSpeakerSink(SpeakerTiming::EverySample),
                 nullptr);
    auto* element = GST_ELEMENT(m_preview.get());
    // Waiting for the start to settle (a fraction of a second) keeps a stop that follows at
    // once from racing the pipeline's own start-up.
    if (gst_element_set_state(element, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE ||
        gst_element_get_state(element, nullptr, nullptr, kPreviewStartTimeout) ==
            GST_STATE_CHANGE_FAILURE) {
        m_lastError = "cannot play the mix";
        StopPreview();
        return kFailed;
    }
    return 0;
}

void MixTimeline::StopPreview() {
    if (m_preview) {
        gst_element_set_state(GST_ELEMENT(m_preview.get()), GST_STATE_NULL);
        m_preview.reset();
    }
}

int MixTimeline::SaveMp3(const std::string& outputPath) {
    StopPreview();
    if (m_clips.empty()) {
        m_lastError = "there is nothing to mix";
        return kFailed;
    }
    // The timeline's own render runs the editing services' machinery for two plain files; a
    // graph of two decoders into a mixer and the encoder takes little more than the encoder.
    MixRenderGraph graph;
    if (graph.Build(m_clips, outputPath) < 0 || graph.Play() < 0) {
        m_lastError = graph.LastError();
        return kFailed;
    }
    // Every clip was cut away by its offset.
    if (graph.EncodedSamples() == 0) {
        m_lastError = "there is nothing to mix";
        return kFailed;
    }
    return 0;
}
