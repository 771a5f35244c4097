#include "media/ServerLoopback.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "mixer/PulseClient.h"

namespace {

constexpr const char* kModule = "module-loopback";
constexpr std::string_view kTagKey = "vocalia.monitor=";

struct ModuleEntry {
    uint32_t index;
    std::string argument;
};

void collectModule(pa_context*, const pa_module_info* info, int eol, void* userdata) {
    if (eol != 0 || !info || !info->name || std::string_view(info->name) != kModule) {
        return;
    }
    static_cast<std::vector<ModuleEntry>*>(userdata)->push_back(
        {info->index, info->argument ? info->argument : ""});
}

// The loopback modules on the server; empty when it cannot be asked.
std::vector<ModuleEntry> loopbackModules(PulseClient& server) {
    std::vector<ModuleEntry> modules;
    server.Request([&](pa_context* context) {
        return pa_context_get_module_info_list(context, collectModule, &modules);
    });
    return modules;
}

void unloadModule(PulseClient& server, uint32_t index) {
    server.Request([index](pa_context* context) {
        return pa_context_unload_module(context, index, nullptr, nullptr);
    });
}

// "host:pid" from a module's argument; empty when it carries no tag.
std::string tagOf(const std::string& argument) {
    const size_t at = argument.find(kTagKey);
    if (at == std::string::npos) {
        return {};
    }
    const size_t from = at + kTagKey.size();
    const size_t end = argument.find_first_of(" '\"", from);
    return argument.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

std::string hostName() {
    std::array<char, 256> name{};
    return gethostname(name.data(), name.size() - 1) == 0 ? std::string(name.data()) : "";
}

// True when the tag names a process of this host that has ended.
bool isLeftover(const std::string& tag) {
    const size_t colon = tag.rfind(':');
    if (colon == std::string::npos || tag.substr(0, colon) != hostName()) {
        return false;
    }
    char* end = nullptr;
    const long pid = std::strtol(tag.c_str() + colon + 1, &end, 10);
    if (pid <= 0 || *end != '\0' || pid == getpid()) {
        return false;
    }
    return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// True when the server holds the module `index` loaded by this process. An index of a server
// that has restarted since may name someone else's module.
bool holds(PulseClient& server, uint32_t index) {
    const std::string tag = ServerLoopback::ProcessTag();
    for (const ModuleEntry& module : loopbackModules(server)) {
        if (module.index == index && tagOf(module.argument) == tag) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string ServerLoopback::ProcessTag() {
    return hostName() + ":" + std::to_string(getpid());
}

std::string ServerLoopback::Arguments(const Settings& settings) {
    std::string arguments = "source=\"" + settings.source + "\"" +
                            " latency_msec=" + std::to_string(settings.latencyMs);
    if (!settings.sampleFormat.empty()) {
        arguments += " format=" + settings.sampleFormat + " rate=" + std::to_string(settings.rate) +
                     " channels=" + std::to_string(settings.channels);
    }
    // Follows the source, not the default: the monitor plays what it was built for.
    arguments += " source_dont_move=true";
    arguments += " sink_input_properties=\"media.name='Vocalia microphone monitor' " +
                 std::string(kTagKey) + ProcessTag() + "\"";
    return arguments;
}

bool ServerLoopback::Load(const Settings& settings, std::string& error) {
    Unload();
    PulseClient server;
    if (!server.IsReady()) {
        error = "the sound server cannot be reached";
        return false;
    }
    const std::string arguments = Arguments(settings);
    uint32_t index = kNone;
    const bool answered = server.Request([&](pa_context* context) {
        return pa_context_load_module(
            context, kModule, arguments.c_str(),
            [](pa_context*, uint32_t loaded, void* userdata) {
                *static_cast<uint32_t*>(userdata) = loaded;
            },
            &index);
    });
    if (!answered || index == kNone) {
        error = "the sound server refused the loopback from " + settings.source;
        return false;
    }
    m_index = index;
    return true;
}

void ServerLoopback::Unload() {
    if (m_index == kNone) {
        return;
    }
    PulseClient server;
    if (holds(server, m_index)) {
        unloadModule(server, m_index);
    }
    m_index = kNone;
}

bool ServerLoopback::IsLoaded() const {
    if (m_index == kNone) {
        return false;
    }
    PulseClient server;
    return holds(server, m_index);
}

int ServerLoopback::UnloadLeftovers() {
    PulseClient server;
    int unloaded = 0;
    for (const ModuleEntry& module : loopbackModules(server)) {
        if (isLeftover(tagOf(module.argument))) {
            unloadModule(server, module.index);
            ++unloaded;
        }
    }
    return unloaded;
}
