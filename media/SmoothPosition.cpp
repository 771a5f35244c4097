#include "media/SmoothPosition.h"

#include <algorithm>

#include "media/GstHandles.h"
#include "media/MediaGraph.h"

namespace {

// The longest the sink's reported position stands still in steady play, with margin. Also
// bounds how far the position runs on past a stream's end or a stalled output.
constexpr int64_t kMaxAhead = 150 * GST_MSECOND;

}  // namespace

int64_t SmoothPosition::Query(GstElement* pipeline) {
    gint64 reported = -1;
    if (!pipeline || !gst_element_query_position(pipeline, GST_FORMAT_TIME, &reported) ||
        reported < 0) {
        return -1;
    }
    const GstRef<GstClock> clock(MediaGraph::IsPlaying(pipeline) ? gst_element_get_clock(pipeline)
                                                                 : nullptr);
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
