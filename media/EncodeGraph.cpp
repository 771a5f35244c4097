#include "media/EncodeGraph.h"

int EncodeGraph::Build(const std::string& sourcePath, const std::string& outputPath) {
    GstElement* decoded = AddDecodingFront(sourcePath);
    if (decoded) {
        decoded = AddBeforeEncoder(decoded);
    }
    if (!decoded) {
        return kFailed;
    }
    return EncodeInto(decoded, outputPath);
}

int EncodeGraph::EncodeInto(GstElement* decoded, const std::string& outputPath) {
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
    m_gapless = GaplessMp3();
    m_gapless.countInto(encoder);
    m_outputPath = outputPath;
    return AddFileSink(encoder, outputPath);
}

int EncodeGraph::Play() {
    const int result = FileConversionGraph::Play();
    if (result < 0) {
        return result;
    }
    std::string error;
    if (!m_gapless.tag(m_outputPath, error)) {
        SetLastError(error);
        return kFailed;
    }
    return 0;
}
