#pragma once

#include <cstdint>

// GStreamer speaks 64-bit nanoseconds; the player speaks milliseconds for positions and whole
// seconds for durations. All conversions stay in 64 bits and truncate.

constexpr int64_t kNsPerMs = 1'000'000;
constexpr int64_t kNsPerSecond = 1'000'000'000;

constexpr int64_t nsToMs(int64_t ns) {
    return ns / kNsPerMs;
}
constexpr int64_t nsToWholeSeconds(int64_t ns) {
    return ns / kNsPerSecond;
}
constexpr int64_t msToNs(int64_t ms) {
    return ms * kNsPerMs;
}
