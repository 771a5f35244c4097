#include "media/SourcePorts.h"

#include <pulse/pulseaudio.h>

#include <memory>

namespace {

struct MainloopFree {
    void operator()(pa_mainloop* loop) const { pa_mainloop_free(loop); }
};
struct ContextRelease {
    void operator()(pa_context* context) const {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
};
struct OperationUnref {
    void operator()(pa_operation* operation) const { pa_operation_unref(operation); }
};
using OperationPtr = std::unique_ptr<pa_operation, OperationUnref>;

// A blocking connection to the sound server for a few short requests.
class ServerConnection {
public:
    ServerConnection() : m_loop(pa_mainloop_new()) {
        if (!m_loop) {
            return;
        }
        m_context.reset(pa_context_new(pa_mainloop_get_api(m_loop.get()), "Vocalia"));
        if (!m_context ||
            pa_context_connect(m_context.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            m_context.reset();
            return;
        }
        while (true) {
            const pa_context_state_t state = pa_context_get_state(m_context.get());
            if (state == PA_CONTEXT_READY) {
                return;
            }
            if (!PA_CONTEXT_IS_GOOD(state) || pa_mainloop_iterate(m_loop.get(), 1, nullptr) < 0) {
                m_context.reset();
                return;
            }
        }
    }

    pa_context* context() const { return m_context.get(); }

    // Runs the loop until the operation is done; false when it could not be started.
    bool wait(pa_operation* raw) {
        const OperationPtr operation(raw);
        if (!operation) {
            return false;
        }
        while (pa_operation_get_state(operation.get()) == PA_OPERATION_RUNNING) {
            if (pa_mainloop_iterate(m_loop.get(), 1, nullptr) < 0) {
                return false;
            }
        }
        return true;
    }

private:
    std::unique_ptr<pa_mainloop, MainloopFree> m_loop;
    std::unique_ptr<pa_context, ContextRelease> m_context;
};

struct SourceQuery {
    bool found = false;
    std::string name;
    std::vector<SourcePort> ports;
};

void collectSource(pa_context*, const pa_source_info* info, int eol, void* userdata) {
    auto* query = static_cast<SourceQuery*>(userdata);
    if (eol != 0 || !info) {
        return;
    }
    query->found = true;
    query->name = info->name ? info->name : "";
    for (uint32_t i = 0; i < info->n_ports; ++i) {
        const pa_source_port_info* port = info->ports[i];
        query->ports.push_back({port->name ? port->name : "",
                                port->description ? port->description : "",
                                port == info->active_port});
    }
}

std::optional<SourceQuery> querySource(ServerConnection& server, const std::string& sourceName) {
    if (!server.context()) {
        return std::nullopt;
    }
    SourceQuery query;
    const std::string name = sourceName.empty() ? "@DEFAULT_SOURCE@" : sourceName;
    if (!server.wait(pa_context_get_source_info_by_name(server.context(), name.c_str(),
                                                        collectSource, &query)) ||
        !query.found) {
        return std::nullopt;
    }
    return query;
}

}  // namespace

std::optional<std::vector<SourcePort>> listSourcePorts(const std::string& sourceName) {
    ServerConnection server;
    const auto query = querySource(server, sourceName);
    if (!query) {
        return std::nullopt;
    }
    return query->ports;
}

bool activateSourcePort(const std::string& sourceName, const std::string& line) {
    ServerConnection server;
    const auto query = querySource(server, sourceName);
    if (!query) {
        return false;
    }
    for (const SourcePort& port : query->ports) {
        if (port.name != line && port.description != line) {
            continue;
        }
        if (!port.active) {
            server.wait(pa_context_set_source_port_by_name(server.context(), query->name.c_str(),
                                                           port.name.c_str(), nullptr, nullptr));
        }
        return true;
    }
    return false;
}
