#include "media/DecodeGraph.h"

namespace {

// The WAV writer appends a LIST chunk after the samples when the stream carries tags; the
// readers of the decoded file want the bare header and nothing after the data.
GstPadProbeReturn dropTags(GstPad*, GstPadProbeInfo* info, gpointer) {
    const GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    return GST_EVENT_TYPE(event) == GST_EVENT_TAG ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
}

}  // namespace

int DecodeGraph::Build(const std::string& sourcePath, const std::string& outputPath) {
    GstElement* decoded = AddDecodingFront(sourcePath);
    if (!decoded) {
        return kFailed;
    }
    GstElement* format = AddFilter("capsfilter", "Format");
    GstElement* writer = AddFilter("wavenc", "Wav Dest");
    if (!format || !writer) {
        SetLastError("the WAV writer is not installed");
        return kFailed;
    }
    const GstCapsPtr caps(gst_caps_from_string("audio/x-raw,format=S16LE,channels=2"));
    g_object_set(format, "caps", caps.get(), nullptr);
    const GstRef<GstPad> writerInput(gst_element_get_static_pad(writer, "sink"));
    gst_pad_add_probe(writerInput.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, dropTags, nullptr,
                      nullptr);
    if (LinkChain({decoded, format, writer}) < 0) {
        return kFailed;
    }
    return AddFileSink(writer, outputPath);
}
