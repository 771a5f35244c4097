#include "media/GaplessMp3.h"

#include <gst/audio/audio.h>

#include "library/LameTag.h"
#include "media/GstHandles.h"

namespace {

using Counter = std::shared_ptr<std::atomic<int64_t>>;

// A copy of the counter handed to GStreamer, which drops it when the probe or handler goes.
gpointer lendCounter(const Counter& counter) {
    return std::make_unique<Counter>(counter).release();
}

void dropCounter(gpointer counter) {
    std::unique_ptr<Counter>(static_cast<Counter*>(counter)).reset();
}

// The encoder keeps only what lies inside its segment.
GstPadProbeReturn countBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer counter) {
    const GstCapsPtr caps(gst_pad_get_current_caps(pad));
    GstAudioInfo format;
    if (!caps || !gst_audio_info_from_caps(&format, caps.get()) ||
        GST_AUDIO_INFO_BPF(&format) == 0) {
        return GST_PAD_PROBE_OK;
    }
    const GstEventPtr event(gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0));
    const GstSegment* segment = nullptr;
    if (event) {
        gst_event_parse_segment(event.get(), &segment);
    }
    GstBuffer* buffer = gst_buffer_ref(GST_PAD_PROBE_INFO_BUFFER(info));
    const GstBufferPtr kept(segment ? gst_audio_buffer_clip(buffer, segment,
                                                            GST_AUDIO_INFO_RATE(&format),
                                                            GST_AUDIO_INFO_BPF(&format))
                                    : buffer);
    if (kept) {
        **static_cast<Counter*>(counter) +=
            static_cast<int64_t>(gst_buffer_get_size(kept.get()) / GST_AUDIO_INFO_BPF(&format));
    }
    return GST_PAD_PROBE_OK;
}

void probeSinkPad(GstElement* encoder, const Counter& counter) {
    const GstRef<GstPad> pad(gst_element_get_static_pad(encoder, "sink"));
    if (pad) {
        gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_BUFFER, countBuffer, lendCounter(counter),
                          dropCounter);
    }
}

}  // namespace

void GaplessMp3::countInto(GstElement* encoder) {
    probeSinkPad(encoder, m_samples);
}

bool GaplessMp3::tag(const std::string& path, std::string& error) const {
    // Nothing encoded, no frames to describe.
    return samples() == 0 || LameTag::writeGap(path, samples(), error);
}
