#pragma once

#include <gst/gst.h>

#include <memory>
#include <string>

// Small owners of GStreamer and GLib references, so that no error path leaks one.

struct GstObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
template <typename T>
using GstRef = std::unique_ptr<T, GstObjectUnref>;

struct GstMessageUnref {
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
using GstMessagePtr = std::unique_ptr<GstMessage, GstMessageUnref>;

struct GstCapsUnref {
    void operator()(GstCaps* caps) const { gst_caps_unref(caps); }
};
using GstCapsPtr = std::unique_ptr<GstCaps, GstCapsUnref>;

struct GstSampleUnref {
    void operator()(GstSample* sample) const { gst_sample_unref(sample); }
};
using GstSamplePtr = std::unique_ptr<GstSample, GstSampleUnref>;

struct GstEventUnref {
    void operator()(GstEvent* event) const { gst_event_unref(event); }
};
using GstEventPtr = std::unique_ptr<GstEvent, GstEventUnref>;

struct GstBufferUnref {
    void operator()(GstBuffer* buffer) const { gst_buffer_unref(buffer); }
};
using GstBufferPtr = std::unique_ptr<GstBuffer, GstBufferUnref>;

struct GErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;

struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<gchar, GFree>;

// Initialises GStreamer once per process; safe to call from any thread.
void ensureGstInitialized();

// "file://" URI of a local path (relative paths are taken from the working folder); empty
// when the path cannot be expressed as one.
std::string fileUri(const std::string& path);

// As fileUri, for a file to read media from: empty unless the path names a regular file (after
// links), since reading a pipe or a device would wait for a writer that may never come.
std::string mediaFileUri(const std::string& path);

// The text of an error message ("cannot open: no such file"), or "" for another message.
std::string errorText(GstMessage* message);
