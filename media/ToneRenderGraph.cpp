#include "media/ToneRenderGraph.h"

#include <cmath>

#include "media/EncodeGraph.h"
#include "media/ToneStage.h"

int ToneRenderGraph::Build(const std::string& sourcePath, const std::string& outputPath,
                           int semitones, int tempoPercent) {
    if (!PlaybackTone::validKey(semitones) || !PlaybackTone::validTempo(tempoPercent)) {
        SetLastError("the key or the tempo is out of range");
        return kFailed;
    }
    GstElement* decoded = AddDecodingFront(sourcePath);
    if (!decoded) {
        return kFailed;
    }
    GstElement* shifter = AddFilter("pitch", "Shifter");
    GstElement* convert = AddFilter("audioconvert", nullptr);
    GstElement* encoder = AddFilter("lamemp3enc", "LAME");
    if (!shifter || !convert || !encoder) {
        return kFailed;
    }
    g_object_set(shifter, "pitch", static_cast<float>(std::exp2(semitones / 12.0)), "tempo",
                 static_cast<float>(tempoPercent / 100.0), nullptr);
    gst_util_set_object_arg(G_OBJECT(encoder), "target", "bitrate");
    g_object_set(encoder, "bitrate", EncodeGraph::kBitrate, "cbr", TRUE, nullptr);
    if (LinkChain({decoded, shifter, convert, encoder}) < 0) {
        return kFailed;
    }
    return AddFileSink(encoder, outputPath);
}
