#pragma once

#include <gst/gst.h>

// A new audio sink for the speakers: the sound server's output, or whatever output the system
// offers without one. Floating, like any element fresh from its factory.
//
// The sink does not offer its own clock. The sound server's clock can jump to a time near the
// end of the 64-bit range when a stream is corked and uncorked on a busy machine, and a clock
// never runs backwards, so the pipeline would be stuck there: a resumed song would play with
// its position frozen. The system clock has no such step, and the sink follows it.
GstElement* makeSpeakerSink();
