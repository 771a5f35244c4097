#pragma once

#include <gst/gst.h>

#include <cstdint>
#include <optional>

// A playing pipeline's position that moves with its clock.
//
// A sink never reports a position beyond the end of the last buffer it took, and the key and
// tempo shifter hands it sound in blocks of some 65 ms, so the position it reports stands still
// for up to 100 ms and then jumps: a wipe across the words would stutter. Between blocks the
// pipeline's clock says how far the sound has got. The reported position is never ahead of
// the clock's, so the largest lead of the reported position over the running time seen since
// the last jump back is the clock's own offset, or close below it.
class SmoothPosition {
public:
    // Position (ns) of `pipeline`, moving with the clock while it plays and never more than a
    // block ahead of what the pipeline reports; -1 when unknown.
    int64_t Query(GstElement* pipeline);
    // The next position starts from what the pipeline reports (after a flushing seek).
    void Reset() {
        m_lead.reset();
        m_last.reset();
    }

private:
    std::optional<int64_t> m_lead;
    std::optional<int64_t> m_last;
};
