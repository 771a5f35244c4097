#include "audiotools/AccompanimentGraph.h"

#include <memory>

#include "audiotools/VocalRemover.h"

namespace {

// The removal's state travels with the stream; GStreamer drops it with the probe.
void dropRemoval(gpointer removal) {
    std::unique_ptr<VocalRemovalStream>(static_cast<VocalRemovalStream*>(removal)).reset();
}

// Removes the voice from each buffer on its way through, in stream order (one streaming
// thread calls the probe). Raw audio buffers hold whole frames.
GstPadProbeReturn removeFromBuffer(GstPad*, GstPadProbeInfo* info, gpointer removal) {
    GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READWRITE)) {
        return GST_PAD_PROBE_OK;
    }
    static_cast<VocalRemovalStream*>(removal)->process(map.data, map.size / 4);
    gst_buffer_unmap(buffer, &map);
    return GST_PAD_PROBE_OK;
}

}  // namespace

GstElement* AccompanimentGraph::AddBeforeEncoder(GstElement* decoded) {
    GstElement* format = AddFilter("capsfilter", "Format");
    GstElement* queue = AddFilter("queue", "Handover");
    if (!format || !queue) {
        SetLastError("a component of the graph is not installed");
        return nullptr;
    }
    const GstCapsPtr caps(
        gst_caps_from_string("audio/x-raw,format=S16LE,channels=2,layout=interleaved"));
    g_object_set(format, "caps", caps.get(), nullptr);
    const GstRef<GstPad> removed(gst_element_get_static_pad(format, "src"));
    gst_pad_add_probe(removed.get(), GST_PAD_PROBE_TYPE_BUFFER, removeFromBuffer,
                      std::make_unique<VocalRemovalStream>(m_passes).release(), dropRemoval);
    if (LinkChain({decoded, format, queue}) < 0) {
        return nullptr;
    }
    return queue;
}

int AccompanimentGraph::Preroll() {
    return ChangeState(GST_STATE_PAUSED);
}
