#include "media/SpeakerSink.h"

GstElement* makeSpeakerSink() {
    GstElement* sink = gst_element_factory_make("pulsesink", nullptr);
    if (!sink) {
        return gst_element_factory_make("autoaudiosink", nullptr);
    }
    g_object_set(sink, "provide-clock", FALSE, nullptr);
    return sink;
}
