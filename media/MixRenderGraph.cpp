#include "media/MixRenderGraph.h"

#include <memory>

#include "media/GstHandles.h"

namespace {

// The mixer sums its inputs at one rate and layout.
constexpr const char* kMixCaps = "audio/x-raw,rate=44100,channels=2";
constexpr guint64 kMixBlock = 200 * GST_MSECOND;

struct Placement {
    GstClockTime start;
    GstClockTime inpoint;
};

// A decoder's segment starts the file at running time 0. Starting the segment at the in-point
// leaves out what lies before it (the mixer clips it), and its base puts the in-point at the
// clip's start on the mix's time.
GstPadProbeReturn placeSegment(GstPad*, GstPadProbeInfo* info, gpointer data) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) != GST_EVENT_SEGMENT) {
        return GST_PAD_PROBE_OK;
    }
    const auto* placement = static_cast<const Placement*>(data);
    const GstSegment* original = nullptr;
    gst_event_parse_segment(event, &original);
    GstSegment segment = *original;
    if (segment.format == GST_FORMAT_TIME) {
        segment.start += placement->inpoint;
        segment.time += placement->inpoint;
        segment.position = segment.start;
        segment.base += placement->start;
    }
    GstEvent* placed = gst_event_new_segment(&segment);
    gst_event_set_seqnum(placed, gst_event_get_seqnum(event));
    GST_PAD_PROBE_INFO_DATA(info) = placed;
    gst_event_unref(event);
    return GST_PAD_PROBE_OK;
}

void dropPlacement(gpointer placement) {
    std::unique_ptr<Placement>(static_cast<Placement*>(placement)).reset();
}

}  // namespace

std::string MixRenderGraph::branchSuffix(size_t index) {
    // Appended rather than summed: GCC 12 warns wrongly (-Wrestrict) on " " + string at -O2.
    std::string suffix(1, ' ');
    suffix += std::to_string(index + 1);
    return suffix;
}

int MixRenderGraph::Build(const std::vector<Clip>& clips, const std::string& outputPath) {
    m_clips = clips;
    GstElement* mixer = AddFilter("audiomixer", "Mixer");
    GstElement* mixed = AddFilter("capsfilter", "Mixed");
    if (!mixer || !mixed) {
        SetLastError("the audio mixer is not installed");
        return kFailed;
    }
    const GstCapsPtr caps(gst_caps_from_string(kMixCaps));
    g_object_set(mixed, "caps", caps.get(), nullptr);
    // The mixer's default 10 ms blocks cost every element after it more in handing over than
    // in work; nothing waits for the sound here.
    g_object_set(mixer, "output-buffer-duration", kMixBlock, nullptr);
    for (size_t index = 0; index < clips.size(); ++index) {
        GstElement* branch = addClipBranch(clips[index], index);
        if (!branch) {
            return kFailed;
        }
        if (LinkChain({branch, mixer}) < 0) {
            return kFailed;
        }
    }
    // The encoder is the slowest step: a queue gives it a thread of its own, so the decoders
    // and the mixer work on the other processor meanwhile.
    GstElement* handOver = AddFilter("queue", "Hand-over");
    if (!handOver || LinkChain({mixer, mixed, handOver}) < 0) {
        return kFailed;
    }
    return EncodeInto(handOver, outputPath);
}

GstElement* MixRenderGraph::addClipBranch(const Clip& clip, size_t index) {
    const std::string suffix = branchSuffix(index);
    GstElement* decoded = AddDecodingFront(clip.path, suffix);
    if (!decoded) {
        SetLastError(clip.path + ": " + LastError());
        return nullptr;
    }
    GstElement* shaped = AddFilter("capsfilter", ("Shape" + suffix).c_str());
    GstElement* ahead = AddFilter("queue", ("Ahead" + suffix).c_str());
    if (!shaped || !ahead || LinkChain({decoded, shaped, ahead}) < 0) {
        return nullptr;
    }
    const GstCapsPtr caps(gst_caps_from_string(kMixCaps));
    g_object_set(shaped, "caps", caps.get(), nullptr);
    const GstRef<GstPad> pad(gst_element_get_static_pad(shaped, "src"));
    gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, placeSegment,
                      std::make_unique<Placement>(Placement{clip.start, clip.inpoint}).release(),
                      dropPlacement);
    return ahead;
}

int MixRenderGraph::Play() {
    // Every branch must find sound in its file before the mix can start.
    if (ChangeState(GST_STATE_PAUSED) < 0) {
        if (const Clip* clip = unreadableClip()) {
            SetLastError(clip->path + ": cannot read the file (" + LastError() + ")");
        }
        gst_element_set_state(Pipeline(), GST_STATE_NULL);
        return kFailed;
    }
    return EncodeGraph::Play();
}

const MixRenderGraph::Clip* MixRenderGraph::unreadableClip() const {
    for (size_t index = 0; index < m_clips.size(); ++index) {
        const GstRef<GstElement> decoder(
            gst_bin_get_by_name(GST_BIN(Pipeline()), ("Decoder" + branchSuffix(index)).c_str()));
        if (decoder && decoder->numsrcpads == 0) {
            return &m_clips[index];
        }
    }
    return nullptr;
}
