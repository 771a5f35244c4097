#include "media/DecoderChoice.h"

#include <string_view>

#include "media/GstHandles.h"

namespace {

// decodebin's answers to "autoplug-select" (its enum is not in the public headers).
enum AutoplugSelect { kAutoplugTry = 0, kAutoplugSkip = 2 };

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
