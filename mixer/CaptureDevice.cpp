#include "mixer/CaptureDevice.h"

#include <algorithm>

namespace {

constexpr int kFullLevel = 100;

int percentOf(const pa_cvolume& volume) {
    if (volume.channels == 0) {
        return -1;
    }
    return static_cast<int>(static_cast<uint64_t>(pa_cvolume_max(&volume)) * kFullLevel /
                            PA_VOLUME_NORM);
}

}  // namespace

CaptureDevice::CaptureDevice() {
    SourceInfo source;
    if (readDefaultSource(source)) {
        m_deviceName = source.description.empty() ? source.name : source.description;
    }
}

bool CaptureDevice::readDefaultSource(SourceInfo& source) {
    const bool answered = m_client.Request([&source](pa_context* context) {
        return pa_context_get_source_info_by_name(
            context, "@DEFAULT_SOURCE@",
            [](pa_context*, const pa_source_info* info, int eol, void* userdata) {
                if (eol != 0 || info == nullptr) {
                    return;
                }
                auto* s = static_cast<SourceInfo*>(userdata);
                s->name = info->name != nullptr ? info->name : "";
                s->description = info->description != nullptr ? info->description : "";
                s->level = percentOf(info->volume);
                for (uint32_t i = 0; i < info->n_ports; ++i) {
                    const pa_source_port_info* port = info->ports[i];
                    s->ports.push_back({port->description != nullptr ? port->description : "",
                                        port->name != nullptr ? port->name : "",
                                        port == info->active_port, s->level});
                }
            },
            &source);
    });
    return answered && !source.name.empty();
}

std::vector<CaptureDevice::SourceInfo> CaptureDevice::readSources() {
    std::vector<SourceInfo> sources;
    const bool answered = m_client.Request([&sources](pa_context* context) {
        return pa_context_get_source_info_list(
            context,
            [](pa_context*, const pa_source_info* info, int eol, void* userdata) {
                if (eol != 0 || info == nullptr) {
                    return;
                }
                SourceInfo s;
                s.name = info->name != nullptr ? info->name : "";
                s.description = info->description != nullptr ? info->description : s.name;
                s.monitor = info->monitor_of_sink != PA_INVALID_INDEX;
                s.level = percentOf(info->volume);
                static_cast<std::vector<SourceInfo>*>(userdata)->push_back(std::move(s));
            },
            &sources);
    });
    return answered ? sources : std::vector<SourceInfo>{};
}

std::vector<CaptureDevice::Input> CaptureDevice::inputs(bool& byPort, std::string& portOwner) {
    SourceInfo source;
    if (!readDefaultSource(source)) {
        return {};
    }
    byPort = !source.ports.empty();
    portOwner = source.name;
    if (byPort) {
        return source.ports;
    }
    std::vector<Input> list;
    for (const SourceInfo& s : readSources()) {
        if (!s.monitor) {
            list.push_back({s.description, s.name, s.name == source.name, s.level});
        }
    }
    return list;
}

std::vector<std::string> CaptureDevice::ListCaptureSources() {
    bool byPort = false;
    std::string owner;
    std::vector<std::string> names;
    for (const Input& input : inputs(byPort, owner)) {
        names.push_back(input.description);
    }
    return names;
}

bool CaptureDevice::IsSourceEnabled(const std::string& name) {
    bool byPort = false;
    std::string owner;
    const auto list = inputs(byPort, owner);
    return std::any_of(list.begin(), list.end(), [&name](const Input& input) {
        return input.description == name && input.enabled;
    });
}

void CaptureDevice::SetSourceEnabled(const std::string& name, bool on) {
    bool byPort = false;
    std::string owner;
    for (const Input& input : inputs(byPort, owner)) {
        if (!on || input.description != name || input.enabled) {
            continue;
        }
        m_client.Request([&](pa_context* context) {
            return byPort ? pa_context_set_source_port_by_name(
                                context, owner.c_str(), input.serverName.c_str(), nullptr, nullptr)
                          : pa_context_set_default_source(context, input.serverName.c_str(),
                                                          nullptr, nullptr);
        });
        return;
    }
}

int CaptureDevice::GetSourceLevel(const std::string& name) {
    bool byPort = false;
    std::string owner;
    for (const Input& input : inputs(byPort, owner)) {
        if (input.description == name) {
            return input.level;
        }
    }
    return -1;
}

void CaptureDevice::SetSourceLevel(const std::string& name, int level) {
    bool byPort = false;
    std::string owner;
    const int percent = std::clamp(level, 0, kFullLevel);
    for (const Input& input : inputs(byPort, owner)) {
        if (input.description != name) {
            continue;
        }
        const std::string target = byPort ? owner : input.serverName;
        // A volume of one channel sets every channel of the source alike.
        pa_cvolume volume;
        // Rounded up, so that the level reads back as the same percentage.
        const uint64_t raw =
            (static_cast<uint64_t>(PA_VOLUME_NORM) * percent + kFullLevel - 1) / kFullLevel;
        pa_cvolume_set(&volume, 1, static_cast<pa_volume_t>(raw));
        m_client.Request([&](pa_context* context) {
            return pa_context_set_source_volume_by_name(context, target.c_str(), &volume, nullptr,
                                                        nullptr);
        });
        return;
    }
}
