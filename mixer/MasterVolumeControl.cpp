#include "mixer/MasterVolumeControl.h"

MasterVolumeControl* MasterVolumeControl::s_current = nullptr;

namespace {

constexpr int kMinimum = 0;
constexpr int kMaximum = static_cast<int>(PA_VOLUME_NORM);

}  // namespace

MasterVolumeControl::MasterVolumeControl() {
    if (!m_client.IsReady()) {
        return;
    }
    s_current = this;
    if (!lookUp()) {
        s_current = nullptr;
        return;
    }
    subscribe();
}

MasterVolumeControl::~MasterVolumeControl() {
    if (s_current == this) {
        s_current = nullptr;
    }
}

bool MasterVolumeControl::readSink(SinkState& state) {
    const std::string name = m_sinkIndex == PA_INVALID_INDEX ? "@DEFAULT_SINK@" : "";
    const bool answered = m_client.Request([&](pa_context* context) {
        const auto collect = [](pa_context*, const pa_sink_info* info, int eol, void* userdata) {
            if (eol != 0 || info == nullptr) {
                return;
            }
            auto* s = static_cast<SinkState*>(userdata);
            s->found = true;
            s->index = info->index;
            s->description = info->description != nullptr ? info->description : "";
            s->volume = info->volume;
            s->muted = info->mute != 0;
            s->steps = info->n_volume_steps;
        };
        return name.empty()
                   ? pa_context_get_sink_info_by_index(context, m_sinkIndex, collect, &state)
                   : pa_context_get_sink_info_by_name(context, name.c_str(), collect, &state);
    });
    return answered && state.found && state.volume.channels > 0;
}

bool MasterVolumeControl::lookUp() {
    SinkState sink;
    if (!readSink(sink)) {
        return false;
    }
    m_sinkIndex = sink.index;
    m_channels = sink.volume.channels;
    m_steps = static_cast<int>(sink.steps);
    m_description = sink.description;
    m_usable = true;
    return true;
}

// Sink events are answered on the loop thread with a fresh read of the sink, whose level is
// then posted to the creating thread.
void MasterVolumeControl::subscribe() {
    QObject::connect(
        &m_receiver, &LevelNotice::levelChanged, &m_receiver,
        [this](int level) { onLevelChanged(level); }, Qt::QueuedConnection);
    m_client.Subscribe(
        PA_SUBSCRIPTION_MASK_SINK,
        [this](pa_context* context, pa_subscription_event_type_t type, uint32_t index) {
            if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) != PA_SUBSCRIPTION_EVENT_SINK ||
                (type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) != PA_SUBSCRIPTION_EVENT_CHANGE ||
                index != m_sinkIndex) {
                return;
            }
            pa_operation* read = pa_context_get_sink_info_by_index(
                context, index,
                [](pa_context*, const pa_sink_info* info, int eol, void* userdata) {
                    if (eol != 0 || info == nullptr || info->volume.channels == 0) {
                        return;
                    }
                    auto* self = static_cast<MasterVolumeControl*>(userdata);
                    const int level = static_cast<int>(info->volume.values[0]);
                    emit self->m_receiver.levelChanged(level);
                },
                this);
            if (read != nullptr) {
                pa_operation_unref(read);
            }
        });
}

void MasterVolumeControl::onLevelChanged(int level) {
    if (s_current != this || !m_handler) {
        return;
    }
    m_handler(level, m_userValue);
}

bool MasterVolumeControl::IsUsable() const {
    return m_usable && m_client.IsReady();
}

int MasterVolumeControl::GetStepCount() const {
    return IsUsable() ? m_steps : -1;
}

int MasterVolumeControl::GetMinimum() const {
    return IsUsable() ? kMinimum : -1;
}

int MasterVolumeControl::GetMaximum() const {
    return IsUsable() ? kMaximum : -1;
}

int MasterVolumeControl::GetLevel() {
    SinkState sink;
    if (!IsUsable() || !readSink(sink)) {
        return -1;
    }
    return static_cast<int>(sink.volume.values[0]);
}

bool MasterVolumeControl::IsMuted() {
    SinkState sink;
    return IsUsable() && readSink(sink) && sink.muted;
}

void MasterVolumeControl::SetLevel(int value) {
    if (!IsUsable() || value < kMinimum || value > kMaximum) {
        return;
    }
    pa_cvolume volume;
    pa_cvolume_set(&volume, m_channels, static_cast<pa_volume_t>(value));
    m_client.Request([&](pa_context* context) {
        return pa_context_set_sink_volume_by_index(context, m_sinkIndex, &volume, nullptr, nullptr);
    });
}

void MasterVolumeControl::setMute(bool muted) {
    if (!IsUsable()) {
        return;
    }
    m_client.Request([&](pa_context* context) {
        return pa_context_set_sink_mute_by_index(context, m_sinkIndex, muted ? 1 : 0, nullptr,
                                                 nullptr);
    });
}

void MasterVolumeControl::Mute() {
    setMute(true);
}

void MasterVolumeControl::Unmute() {
    setMute(false);
}

void MasterVolumeControl::SetChangeHandler(ChangeHandler handler, int userValue) {
    m_handler = std::move(handler);
    m_userValue = userValue;
}
