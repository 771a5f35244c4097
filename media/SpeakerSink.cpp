#include "media/SpeakerSink.h"

GstElement* makeSpeakerSink(SpeakerTiming timing) {
    GstElement* sink = gst_element_factory_make("pulsesink", nullptr);
    if (!sink) {
        return gst_element_factory_make("autoaudiosink", nullptr);
    }
    g_object_set(sink, "provide-clock", FALSE, nullptr);
    if (timing == SpeakerTiming::EverySample) {
        gst_util_set_object_arg(G_OBJECT(sink), "slave-method", "none");
    }
    return sink;
}
