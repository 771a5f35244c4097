#include "media/SmoothPosition.h"

#include <algorithm>

#include "media/GstHandles.h"

namespace {

// The longest the sink's reported position stands still in steady play, with margin. Also
// bounds how far the position runs on past a stream's end or a stalled output.
constexpr int64_t kMaxAhead = 150 * GST_MSECOND;

bool isPlaying(GstElement* pipeline) {
    GstState state = GST_STATE_VOID_PENDING;
    GstState pending = GST_STATE_VOID_PENDING;
    return gst_element_get_state(pipeline, &state, &pending, 0) == GST_STATE_CHANGE_SUCCESS &&
           state == GST_STATE_PLAYING && pending == GST_STATE_VOID_PENDING;
}

}  // namespace

int64_t SmoothPosition::Query(GstElement* pipeline) {
    gint64 reported = -1;
    if (!pipeline || !gst_element_query_position(pipeline, GST_FORMAT_TIME, &reported) ||
        reported < 0) {
        return -1;
    }
    const GstRef<GstClock> clock(isPlaying(pipeline) ? gst_element_get_clock(pipeline) : nullptr);
    if (!clock) {
        Reset();
        return reported;
    }
    const auto running =
        static_cast<int64_t>(gst_clock_get_time(clock.get()) - gst_element_get_base_time(pipeline));
    const int64_t lead = reported - running;
    // A lead that drops far below the known one is a jump back (a seek), not a block boundary.
    if (!m_lead || lead > *m_lead || lead < *m_lead - kMaxAhead) {
        m_lead = lead;
    }
    int64_t position = std::min(running + *m_lead, reported + kMaxAhead);
    // The sink's own steps can go back a little; a jump back further is a real one.
    if (m_last && position < *m_last && position > *m_last - kMaxAhead) {
        position = *m_last;
    }
    m_last = position;
    return position;
}
