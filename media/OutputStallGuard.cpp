#include "media/OutputStallGuard.h"

#include "media/MediaGraph.h"

namespace {

constexpr guint kTickMs = 250;
// Three seconds without progress. A healthy output can stand still for a second while the
// server fills its buffer at the start; a stalled one stands for ever.
constexpr int kStillTicks = 12;
// The last moments of a song may stand still while the sink drains; that is no stall.
constexpr gint64 kEndMargin = 500 * GST_MSECOND;
// An output that keeps failing after fresh streams is left to report its own error.
constexpr int kMaxRestartsInARow = 3;
constexpr GstClockTime kRestartTimeout = 3 * GST_SECOND;

}  // namespace

OutputStallGuard::OutputStallGuard(std::function<GstElement*()> pipeline)
    : m_pipeline(std::move(pipeline)),
      m_source(g_timeout_add(kTickMs, &OutputStallGuard::tick, this)) {}

OutputStallGuard::~OutputStallGuard() {
    g_source_remove(m_source);
}

gboolean OutputStallGuard::tick(gpointer self) {
    static_cast<OutputStallGuard*>(self)->check();
    return G_SOURCE_CONTINUE;
}

void OutputStallGuard::check() {
    GstElement* pipeline = m_pipeline();
    gint64 position = -1;
    const bool playing = pipeline != nullptr &&
                         gst_element_query_position(pipeline, GST_FORMAT_TIME, &position) &&
                         isPlayingShortOfItsEnd(pipeline, position);
    if (position != m_lastPosition) {
        m_restartsInARow = 0;
    }
    // The sink may still drain after the end is posted; only a way back starts anew.
    if (position < m_lastPosition) {
        m_ended = false;
    }
    if (!playing || m_ended || position != m_lastPosition) {
        m_lastPosition = position;
        m_stillTicks = 0;
        return;
    }
    if (++m_stillTicks < kStillTicks || m_restartsInARow >= kMaxRestartsInARow) {
        return;
    }
    m_stillTicks = 0;
    ++m_restartsInARow;
    restartAt(pipeline, position);
}

bool OutputStallGuard::isPlayingShortOfItsEnd(GstElement* pipeline, gint64 position) {
    if (!MediaGraph::IsPlaying(pipeline)) {
        return false;
    }
    gint64 duration = -1;
    return !gst_element_query_duration(pipeline, GST_FORMAT_TIME, &duration) || duration < 0 ||
           position < duration - kEndMargin;
}

void OutputStallGuard::restartAt(GstElement* pipeline, gint64 position) {
    gst_element_set_state(pipeline, GST_STATE_READY);
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    if (gst_element_get_state(pipeline, nullptr, nullptr, kRestartTimeout) ==
        GST_STATE_CHANGE_FAILURE) {
        return;
    }
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    gst_element_seek_simple(pipeline, GST_FORMAT_TIME, flags, position);
    gst_element_get_state(pipeline, nullptr, nullptr, kRestartTimeout);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
}
