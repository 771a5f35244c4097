#pragma once

#include <gst/gst.h>

#include <functional>

// Keeps a player's sound going when the speaker output stops taking it.
//
// The sound server's client library (before its version 17) can return a time far in the future
// just after a stream is uncorked, which happens at every resume and at every seek while
// playing. The sink then waits for that time for ever: the song stands still, with no error.
// The only way out is a new server stream, so when the position of a playing pipeline stands
// still for three seconds short of its end, the guard takes the pipeline down to READY, brings it
// back and seeks to where it stood.
//
// Ticks on the default GLib main context (the Qt event loop, or vocalia-cli's main loop).
class OutputStallGuard {
public:
    // `pipeline` gives the pipeline to watch, or null when there is none at the moment.
    explicit OutputStallGuard(std::function<GstElement*()> pipeline);
    ~OutputStallGuard();
    OutputStallGuard(const OutputStallGuard&) = delete;
    OutputStallGuard& operator=(const OutputStallGuard&) = delete;

    // The stream reached its end or failed: standing still is then expected, until the
    // position goes back (a seek, another song).
    void StreamEnded() { m_ended = true; }

private:
    static gboolean tick(gpointer self);
    void check();
    static bool isPlayingShortOfItsEnd(GstElement* pipeline, gint64 position);
    static void restartAt(GstElement* pipeline, gint64 position);

    std::function<GstElement*()> m_pipeline;
    guint m_source = 0;
    gint64 m_lastPosition = -1;
    int m_stillTicks = 0;
    int m_restartsInARow = 0;
    bool m_ended = false;
};
