#include "media/SourcePorts.h"

#include "mixer/PulseClient.h"

namespace {

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

// Every request waits at most PulseClient::kWait, so a graph build never hangs on the server.
std::optional<SourceQuery> querySource(PulseClient& server, const std::string& sourceName) {
    SourceQuery query;
    const std::string name = sourceName.empty() ? "@DEFAULT_SOURCE@" : sourceName;
    if (!server.Request([&](pa_context* context) {
            return pa_context_get_source_info_by_name(context, name.c_str(), collectSource, &query);
        }) ||
        !query.found) {
        return std::nullopt;
    }
    return query;
}

}  // namespace

std::string defaultSourceName() {
    PulseClient server;
    const auto query = querySource(server, {});
    return query ? query->name : std::string();
}

std::optional<std::vector<SourcePort>> listSourcePorts(const std::string& sourceName) {
    PulseClient server;
    const auto query = querySource(server, sourceName);
    if (!query) {
        return std::nullopt;
    }
    return query->ports;
}

bool activateSourcePort(const std::string& sourceName, const std::string& line) {
    PulseClient server;
    const auto query = querySource(server, sourceName);
    if (!query) {
        return false;
    }
    for (const SourcePort& port : query->ports) {
        if (port.name != line && port.description != line) {
            continue;
        }
        if (!port.active) {
            server.Request([&](pa_context* context) {
                return pa_context_set_source_port_by_name(context, query->name.c_str(),
                                                          port.name.c_str(), nullptr, nullptr);
            });
        }
        return true;
    }
    return false;
}
