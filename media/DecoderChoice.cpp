#include "media/DecoderChoice.h"

#include <string_view>

#include "media/GstHandles.h"

namespace {

// decodebin's answers to "autoplug-select" (its enum is not in the public headers).
enum AutoplugSelect { kAutoplugTry = 0, kAutoplugSkip = 2 };

void decoderAdded(GstBin*, GstBin*, GstElement* element, gpointer) {
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory && std::string_view(GST_OBJECT_NAME(factory)) == "decodebin") {
        g_signal_connect(element, "autoplug-select", G_CALLBACK(preferMpg123), nullptr);
    }
}

}  // namespace

int preferMpg123(GstElement*, GstPad*, GstCaps*, GstElementFactory* factory, gpointer) {
    static const bool haveMpg123 = [] {
        const GstRef<GstElementFactory> mpg123(gst_element_factory_find("mpg123audiodec"));
        return mpg123 != nullptr;
    }();
    const std::string_view name = GST_OBJECT_NAME(factory);
    const bool libavMp3 = name == "avdec_mp3" || name == "avdec_mp3float";
    return haveMpg123 && libavMp3 ? kAutoplugSkip : kAutoplugTry;
}

void preferMpg123Inside(GstElement* bin) {
    g_signal_connect(bin, "deep-element-added", G_CALLBACK(decoderAdded), nullptr);
}
