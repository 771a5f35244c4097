#include "media/ChannelLevel.h"

#include <atomic>

namespace {

std::atomic<uint32_t> g_level{kChannelLevelStereo};

constexpr float kFullLevel = 65535.0F;

GstPadProbeReturn applyLevelToBuffer(GstPad*, GstPadProbeInfo* info, gpointer) {
    const uint32_t level = outputChannelLevel();
    if (level == kChannelLevelStereo) {
        return GST_PAD_PROBE_OK;
    }
    GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GstMapInfo map;
    if (gst_buffer_map(buffer, &map, GST_MAP_READWRITE)) {
        applyChannelLevel(reinterpret_cast<float*>(map.data), map.size / (2 * sizeof(float)),
                          level);
        gst_buffer_unmap(buffer, &map);
    }
    return GST_PAD_PROBE_OK;
}

GstElement* owned(GstElement* element) {
    return element ? GST_ELEMENT(gst_object_ref_sink(element)) : nullptr;
}

void addGhostPad(GstElement* bin, GstElement* inner, const char* padName) {
    const GstRef<GstPad> target(gst_element_get_static_pad(inner, padName));
    gst_element_add_pad(bin, gst_ghost_pad_new(padName, target.get()));
}

}  // namespace

void setOutputChannelLevel(uint32_t level) {
    g_level.store(level);
}

uint32_t outputChannelLevel() {
    return g_level.load();
}

void applyChannelLevel(float* samples, size_t frames, uint32_t level) {
    const float left = static_cast<float>(level & 0xFFFF) / kFullLevel;
    const float right = static_cast<float>(level >> 16) / kFullLevel;
    for (size_t i = 0; i < frames; ++i) {
        samples[2 * i] *= left;
        samples[2 * i + 1] *= right;
    }
}

GstRef<GstElement> makeChannelLevelStage() {
    ensureGstInitialized();
    GstRef<GstElement> bin(GST_ELEMENT(gst_object_ref_sink(gst_bin_new("ChannelLevel"))));
    const GstRef<GstElement> convert(owned(gst_element_factory_make("audioconvert", nullptr)));
    const GstRef<GstElement> caps(owned(gst_element_factory_make("capsfilter", nullptr)));
    if (!convert || !caps) {
        return nullptr;
    }
    const GstCapsPtr stereo(
        gst_caps_from_string("audio/x-raw,format=F32LE,layout=interleaved,channels=2"));
    g_object_set(caps.get(), "caps", stereo.get(), nullptr);
    gst_bin_add_many(GST_BIN(bin.get()), convert.get(), caps.get(), nullptr);
    if (!gst_element_link(convert.get(), caps.get())) {
        return nullptr;
    }
    addGhostPad(bin.get(), convert.get(), "sink");
    addGhostPad(bin.get(), caps.get(), "src");
    const GstRef<GstPad> out(gst_element_get_static_pad(caps.get(), "src"));
    gst_pad_add_probe(out.get(), GST_PAD_PROBE_TYPE_BUFFER, applyLevelToBuffer, nullptr, nullptr);
    return bin;
}
