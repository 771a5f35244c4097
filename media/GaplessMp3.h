#pragma once

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

// Counts the samples that go into an MP3 encoder and, once the file is complete, records the
// encoder's lead-in and padding in its header frame (a LAME tag), so that decoders trim them and
// play exactly the samples encoded, from the first one on.
class GaplessMp3 {
public:
    // Counts what reaches `encoder` from now on.
    void countInto(GstElement* encoder);
    // Samples a channel counted so far.
    int64_t samples() const { return m_samples->load(); }
    // Tags the finished file at `path`; false with `error` when it cannot.
    bool tag(const std::string& path, std::string& error) const;

private:
    // Shared with the streaming threads, which may run on briefly after this object has gone.
    std::shared_ptr<std::atomic<int64_t>> m_samples = std::make_shared<std::atomic<int64_t>>(0);
};
