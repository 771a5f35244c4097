#include "media/MixTimeline.h"

#include <memory>
#include <mutex>
#include <string_view>

#include "media/DecoderChoice.h"
#include "media/EncodeGraph.h"
#include "media/GaplessMp3.h"
#include "media/MediaGraph.h"
#include "media/SpeakerSink.h"

namespace {

constexpr int kFailed = -1;
constexpr GstClockTime kPreviewStartTimeout = 10 * GST_SECOND;
// Rendering runs far faster than playing; a render that takes longer than this is stuck.
constexpr GstClockTime kRenderTimeoutBase = 60 * GST_SECOND;
constexpr int kRenderTimeoutPerSecond = 2;

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

struct ProfileUnref {
    void operator()(GstEncodingProfile* profile) const { gst_encoding_profile_unref(profile); }
};

// A bare MP3 stream (no container) from the same encoder and settings as EncodeGraph.
std::unique_ptr<GstEncodingProfile, ProfileUnref> mp3Profile() {
    const GstCapsPtr caps(gst_caps_from_string("audio/mpeg,mpegversion=1,layer=3"));
    GstEncodingProfile* profile =
        GST_ENCODING_PROFILE(gst_encoding_audio_profile_new(caps.get(), nullptr, nullptr, 0));
    gst_encoding_profile_set_preset_name(profile, "lamemp3enc");
    GstStructure* properties =
        gst_structure_new("element-properties", "bitrate", G_TYPE_INT, EncodeGraph::kBitrate, "cbr",
                          G_TYPE_BOOLEAN, TRUE, nullptr);
    // The encoder's enum type of "target" exists only once an encoder has been made.
    const GstRef<GstElement> encoder = MediaGraph::MakeElement("lamemp3enc");
    const GParamSpec* target =
        encoder ? g_object_class_find_property(G_OBJECT_GET_CLASS(encoder.get()), "target")
                : nullptr;
    if (target) {
        GValue bitrate = G_VALUE_INIT;
        g_value_init(&bitrate, target->value_type);
        if (gst_value_deserialize(&bitrate, "bitrate")) {
            gst_structure_take_value(properties, "target", &bitrate);
        } else {
            g_value_unset(&bitrate);
        }
    }
    gst_encoding_profile_set_element_properties(profile, properties);
    return std::unique_ptr<GstEncodingProfile, ProfileUnref>(profile);
}

// The editing services start a new segment wherever a clip begins or ends. At each one the
// encoder ends its stream (the encoder pads it out to whole frames and starts over), which puts
// silence into the mix there and makes everything after it late. A segment that only carries on
// the same timeline is kept from the encoder; the first is left open so that it spans them all.
struct SegmentJoin {
    bool started = false;
    GstSegment first{};
};

GstPadProbeReturn joinSegments(GstPad*, GstPadProbeInfo* info, gpointer data) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) != GST_EVENT_SEGMENT) {
        return GST_PAD_PROBE_OK;
    }
    auto* join = static_cast<SegmentJoin*>(data);
    const GstSegment* segment = nullptr;
    gst_event_parse_segment(event, &segment);
    if (!join->started) {
        join->started = true;
        join->first = *segment;
        join->first.stop = GST_CLOCK_TIME_NONE;
        GST_PAD_PROBE_INFO_DATA(info) = gst_event_new_segment(&join->first);
        gst_event_unref(event);
        return GST_PAD_PROBE_OK;
    }
    const bool carriesOn =
        segment->format == GST_FORMAT_TIME && join->first.format == GST_FORMAT_TIME &&
        segment->rate == join->first.rate &&
        gst_segment_to_running_time(segment, GST_FORMAT_TIME, segment->start) ==
            gst_segment_to_running_time(&join->first, GST_FORMAT_TIME, segment->start);
    return carriesOn ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
}

void dropJoin(gpointer join) {
    std::unique_ptr<SegmentJoin>(static_cast<SegmentJoin*>(join)).reset();
}

void joinSegmentsAtEncoder(GstBin*, GstBin*, GstElement* element, gpointer) {
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory || std::string_view(GST_OBJECT_NAME(factory)) != "lamemp3enc") {
        return;
    }
    const GstRef<GstPad> pad(gst_element_get_static_pad(element, "sink"));
    if (pad) {
        gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, joinSegments,
                          std::make_unique<SegmentJoin>().release(), dropJoin);
    }
}

}  // namespace

MixTimeline::MixTimeline() {
    ensureGesInitialized();
    m_timeline.reset(GES_TIMELINE(gst_object_ref_sink(ges_timeline_new())));
    ges_timeline_add_track(m_timeline.get(), GES_TRACK(ges_audio_track_new()));
}

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
    const std::string uri = mediaFileUri(path);
    if (uri.empty()) {
        m_lastError = path + ": no such file";
        return kFailed;
    }
    // The editing services keep every file they have read in a cache; a recording made again
    // under the same name must be read again, not mixed at its old length.
    ges_asset_needs_reload(GES_TYPE_URI_CLIP, uri.c_str());
    GError* raw = nullptr;
    const std::unique_ptr<GESUriClipAsset, GObjectUnref> asset(
        ges_uri_clip_asset_request_sync(uri.c_str(), &raw));
    const GErrorPtr error(raw);
    if (!asset) {
        m_lastError = path + ": " + (error ? error->message : "cannot read the file");
        return kFailed;
    }
    const GstClockTime length = ges_uri_clip_asset_get_duration(asset.get());
    // Positions in nanoseconds, computed in 64 bits (five minutes is 3e11).
    const auto offset =
        static_cast<GstClockTime>(offsetMs < 0 ? -offsetMs : offsetMs) * GST_MSECOND;
    const GstClockTime start = offsetMs < 0 ? 0 : offset;
    const GstClockTime inpoint = offsetMs < 0 ? offset : 0;
    if (inpoint >= length) {
        return 0;
    }
    GESLayer* layer = ges_timeline_append_layer(m_timeline.get());
    GESClip* clip = ges_layer_add_asset(layer, GES_ASSET(asset.get()), start, inpoint,
                                        length - inpoint, GES_TRACK_TYPE_AUDIO);
    if (!clip) {
        m_lastError = path + ": cannot place the clip on the timeline";
        return kFailed;
    }
    ges_timeline_commit(m_timeline.get());
    return 0;
}

int64_t MixTimeline::DurationMs() const {
    return static_cast<int64_t>(ges_timeline_get_duration(m_timeline.get()) / GST_MSECOND);
}

GstRef<GESPipeline> MixTimeline::makePipeline() {
    GstRef<GESPipeline> pipeline(GES_PIPELINE(gst_object_ref_sink(ges_pipeline_new())));
    // The pipeline takes a reference of its own and drops it when it goes.
    if (!ges_pipeline_set_timeline(pipeline.get(), m_timeline.get())) {
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
    g_object_set(m_preview.get(), "audio-sink", makeSpeakerSink(), nullptr);
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
    if (DurationMs() <= 0) {
        m_lastError = "there is nothing to mix";
        return kFailed;
    }
    const GstRef<GESPipeline> pipeline = makePipeline();
    if (!pipeline) {
        return kFailed;
    }
    g_signal_connect(pipeline.get(), "deep-element-added", G_CALLBACK(joinSegmentsAtEncoder),
                     nullptr);
    preferMpg123Inside(GST_ELEMENT(pipeline.get()));
    GaplessMp3 gapless;
    gapless.countInside(GST_ELEMENT(pipeline.get()));
    const auto profile = mp3Profile();
    if (!ges_pipeline_set_render_settings(pipeline.get(), fileUri(outputPath).c_str(),
                                          profile.get()) ||
        !ges_pipeline_set_mode(pipeline.get(), GES_PIPELINE_MODE_RENDER)) {
        m_lastError = outputPath + ": cannot set up the MP3 encoder";
        return kFailed;
    }
    auto* element = GST_ELEMENT(pipeline.get());
    const bool started =
        gst_element_set_state(element, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    // A failed start has put its error on the bus already.
    const GstClockTime renderTimeout =
        kRenderTimeoutBase + kRenderTimeoutPerSecond * ges_timeline_get_duration(m_timeline.get());
    const int result = waitForEnd(element, started ? renderTimeout : 0);
    gst_element_set_state(element, GST_STATE_NULL);
    if (!started && result == 0) {
        m_lastError = outputPath + ": cannot start the mix";
        return kFailed;
    }
    if (result == 0 && !gapless.tag(outputPath, m_lastError)) {
        return kFailed;
    }
    return result;
}

int MixTimeline::waitForEnd(GstElement* pipeline, GstClockTime timeout) {
    const GstRef<GstBus> bus(gst_element_get_bus(pipeline));
    const auto types = static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR);
    const GstMessagePtr message(gst_bus_timed_pop_filtered(bus.get(), timeout, types));
    if (!message && timeout > 0) {
        m_lastError = "the mix did not finish in time";
        return kFailed;
    }
    if (message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
        m_lastError = errorText(message.get());
        return kFailed;
    }
    return 0;
}
