#pragma once

#include <gst/gst.h>

// How the speakers keep time with the pipeline's clock when the sound server starts a stream
// late (it can take up to a second to wake its card).
enum class SpeakerTiming {
    // Sound alone: every sample is played, in order, from the first. Skipping sound to catch
    // up with the clock would cut the start of a song and leave it in jumps.
    EverySample,
    // The sound of a video: the sound keeps up with the clock that the pictures follow, and
    // skips what it is late for.
    WithThePictures,
};

// A new audio sink for the speakers: the sound server's output, or whatever output the system
// offers without one. Floating, like any element fresh from its factory.
//
// The sink does not offer its own clock. The sound server's clock can jump to a time near the
// end of the 64-bit range when a stream is corked and uncorked on a busy machine, and a clock
// never runs backwards, so the pipeline would be stuck there: a resumed song would play with
// its position frozen. The system clock has no such step.
GstElement* makeSpeakerSink(SpeakerTiming timing);
