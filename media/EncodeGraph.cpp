#include "media/EncodeGraph.h"

int EncodeGraph::Build(const std::string& sourcePath, const std::string& outputPath) {
    GstElement* decoded = AddDecodingFront(sourcePath);
    if (!decoded) {
        return kFailed;
    }
    GstElement* encoder = AddFilter("lamemp3enc", "LAME");
    if (!encoder) {
        SetLastError("the MP3 encoder (lamemp3enc) is not installed");
        return kFailed;
    }
    gst_util_set_object_arg(G_OBJECT(encoder), "target", "bitrate");
    g_object_set(encoder, "bitrate", kBitrate, "cbr", TRUE, nullptr);
    if (LinkChain({decoded, encoder}) < 0) {
        return kFailed;
    }
    return AddFileSink(encoder, outputPath);
}
