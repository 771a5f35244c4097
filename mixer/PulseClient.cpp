#include "mixer/PulseClient.h"

namespace {

struct OperationUnref {
    void operator()(pa_operation* operation) const { pa_operation_unref(operation); }
};
using OperationPtr = std::unique_ptr<pa_operation, OperationUnref>;

// Holds the loop's lock for a scope.
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : m_loop(loop) {
        pa_threaded_mainloop_lock(m_loop);
    }
    ~LoopLock() { pa_threaded_mainloop_unlock(m_loop); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* m_loop;
};

bool isFinal(pa_context_state_t state) {
    return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
}

}  // namespace

void PulseClient::LoopFree::operator()(pa_threaded_mainloop* loop) const {
    pa_threaded_mainloop_stop(loop);
    pa_threaded_mainloop_free(loop);
}

void PulseClient::ContextRelease::operator()(pa_context* context) const {
    pa_context_disconnect(context);
    pa_context_unref(context);
}

PulseClient::PulseClient() : m_loop(pa_threaded_mainloop_new()) {
    m_ready = m_loop && connect();
}

PulseClient::~PulseClient() {
    if (m_loop) {
        // No callback runs once the loop thread has stopped.
        pa_threaded_mainloop_stop(m_loop.get());
    }
    m_context.reset();
}

bool PulseClient::connect() {
    if (pa_threaded_mainloop_start(m_loop.get()) < 0) {
        return false;
    }
    {
        const LoopLock lock(m_loop.get());
        m_context.reset(pa_context_new(pa_threaded_mainloop_get_api(m_loop.get()), "Vocalia"));
        if (!m_context) {
            return false;
        }
        pa_context_set_state_callback(m_context.get(), onStateChange, this);
        if (pa_context_connect(m_context.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            return false;
        }
    }
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, kWait,
                       [this] { return isFinal(pa_context_get_state(m_context.get())); });
    return pa_context_get_state(m_context.get()) == PA_CONTEXT_READY;
}

void PulseClient::onStateChange(pa_context* context, void* userdata) {
    auto* client = static_cast<PulseClient*>(userdata);
    if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) {
        client->m_ready = false;
    }
    const std::lock_guard lock(client->m_mutex);
    client->m_changed.notify_all();
}

bool PulseClient::Request(const std::function<pa_operation*(pa_context*)>& start) {
    if (!m_ready) {
        return false;
    }
    OperationPtr operation;
    {
        const LoopLock lock(m_loop.get());
        operation.reset(start(m_context.get()));
        if (!operation) {
            return false;
        }
        pa_operation_set_state_callback(
            operation.get(),
            [](pa_operation*, void* userdata) {
                auto* client = static_cast<PulseClient*>(userdata);
                const std::lock_guard guard(client->m_mutex);
                client->m_changed.notify_all();
            },
            this);
    }
    bool answered = false;
    {
        std::unique_lock lock(m_mutex);
        answered = m_changed.wait_for(lock, kWait, [&operation] {
            return pa_operation_get_state(operation.get()) != PA_OPERATION_RUNNING;
        });
    }
    const LoopLock lock(m_loop.get());
    pa_operation_set_state_callback(operation.get(), nullptr, nullptr);
    if (!answered) {
        // The answer may still come; cancelling makes sure no callback sees the caller's data.
        pa_operation_cancel(operation.get());
        m_ready = false;
        return false;
    }
    return pa_operation_get_state(operation.get()) == PA_OPERATION_DONE;
}

bool PulseClient::Subscribe(pa_subscription_mask_t mask, EventHandler handler) {
    if (!m_ready) {
        return false;
    }
    {
        const LoopLock lock(m_loop.get());
        m_eventHandler = std::move(handler);
        pa_context_set_subscribe_callback(m_context.get(), onSubscriptionEvent, this);
    }
    return Request([mask](pa_context* context) {
        return pa_context_subscribe(context, mask, nullptr, nullptr);
    });
}

void PulseClient::onSubscriptionEvent(pa_context* context, pa_subscription_event_type_t type,
                                      uint32_t index, void* userdata) {
    auto* client = static_cast<PulseClient*>(userdata);
    if (client->m_eventHandler) {
        client->m_eventHandler(context, type, index);
    }
}
