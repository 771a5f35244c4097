#pragma once

#include <pulse/pulseaudio.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// One connection to the sound server with its own main-loop thread. Every request waits for
// its answer at most kWait; a server that does not answer in time breaks the client, so that
// later requests fail at once instead of waiting again.
//
// Callbacks of requests and subscriptions run on the loop thread; whoever needs their results
// on another thread posts them there.
class PulseClient {
public:
    static constexpr std::chrono::milliseconds kWait{1500};

    PulseClient();
    ~PulseClient();
    PulseClient(const PulseClient&) = delete;
    PulseClient& operator=(const PulseClient&) = delete;

    // Connected and not broken by a request that timed out.
    bool IsReady() const { return m_ready; }

    // Starts one request on the context (under the loop's lock) and waits until the server has
    // answered it. `start` returns the request's operation, or null when it cannot be started.
    // False when the client is not ready, the request could not start or timed out.
    bool Request(const std::function<pa_operation*(pa_context*)>& start);

    // Subscribes to the server's events of `mask`; `handler` runs on the loop thread with the
    // context, so it may start further requests without waiting for them.
    using EventHandler = std::function<void(pa_context*, pa_subscription_event_type_t, uint32_t)>;
    bool Subscribe(pa_subscription_mask_t mask, EventHandler handler);

private:
    struct LoopFree {
        void operator()(pa_threaded_mainloop* loop) const;
    };
    struct ContextRelease {
        void operator()(pa_context* context) const;
    };
    bool connect();
    static void onStateChange(pa_context* context, void* userdata);
    static void onSubscriptionEvent(pa_context* context, pa_subscription_event_type_t type,
                                    uint32_t index, void* userdata);

    std::unique_ptr<pa_threaded_mainloop, LoopFree> m_loop;
    std::unique_ptr<pa_context, ContextRelease> m_context;
    EventHandler m_eventHandler;
    std::atomic<bool> m_ready = false;
    // Woken by the loop thread whenever the context or an awaited request changes state.
    std::mutex m_mutex;
    std::condition_variable m_changed;
};
