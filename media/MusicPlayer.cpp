#include "media/MusicPlayer.h"

#include "media/MediaProbe.h"
#include "media/MediaTime.h"
#include "media/SpeakerSink.h"

namespace {

// playbin's flags: the sound only. Videos show through VideoPlayer.
constexpr int kPlayAudio = 0x2;

// The MIDI synthesizer's default gain (0.2) leaves General MIDI songs some 20 dB below ordinary
// recordings; this brings them near without clipping dense arrangements.
constexpr double kMidiSynthGain = 0.6;

void raiseMidiGain(GstElement* /*playbin*/, GstElement* element, gpointer /*data*/) {
    const GstElementFactory* factory = gst_element_get_factory(element);
    if (factory != nullptr && g_strcmp0(GST_OBJECT_NAME(factory), "fluiddec") == 0) {
        g_object_set(element, "synth-gain", kMidiSynthGain, nullptr);
    }
}

}  // namespace

MusicPlayer::MusicPlayer(QObject* parent) : QObject(parent), MediaGraph("playbin") {
    WatchBus();
    GuardOutputStalls();
    setUpPipeline();
}

void MusicPlayer::setUpPipeline() {
    if (GstElement* playbin = Pipeline()) {
        g_signal_connect(playbin, "element-setup", G_CALLBACK(raiseMidiGain), nullptr);
    }
}

MusicPlayer::~MusicPlayer() = default;

void MusicPlayer::Reset() {
    m_opened = false;
    m_path.clear();
    m_probedSeconds.reset();
    m_notify = false;
    m_events.clear();
    MediaGraph::Reset();
    m_tone.reset();
    setUpPipeline();
}

int MusicPlayer::Open(const std::string& path) {
    GstElement* playbin = Pipeline();
    if (!playbin) {
        return kFailed;
    }
    const std::string uri = mediaFileUri(path);
    if (uri.empty()) {
        SetLastError("not a media file that can be read");
        return kFailed;
    }
    gst_element_set_state(playbin, GST_STATE_READY);
    m_tone = std::make_unique<ToneStage>(playbin, true);
    // playbin sinks the floating references of the new elements.
    // The video sink is set too, so that playbin never plugs a windowing sink of its own.
    g_object_set(playbin, "uri", uri.c_str(), "flags", kPlayAudio, "audio-sink",
                 makeSpeakerSink(SpeakerTiming::EverySample), "audio-filter",
                 m_tone->Filter().release(), "video-sink",
                 gst_element_factory_make("fakesink", nullptr), nullptr);
    m_path = path;
    m_probedSeconds.reset();
    m_tone->Restart();
    m_opened = ChangeState(GST_STATE_PAUSED) == 0;
    SetGraphState(GraphState::Stopped);
    if (!m_opened) {
        gst_element_set_state(playbin, GST_STATE_NULL);
        DiscardBusMessages();
        return kFailed;
    }
    return 0;
}

int MusicPlayer::Stop() {
    SetGraphState(GraphState::Stopped);
    // Paused rather than torn down, so that the position and the duration stay known.
    return m_opened ? ChangeState(GST_STATE_PAUSED, 0) : 0;
}

int64_t MusicPlayer::GetDurationSec() {
    if (!m_opened) {
        return 0;
    }
    gint64 duration = 0;
    if (gst_element_query_duration(Pipeline(), GST_FORMAT_TIME, &duration) && duration >= 0) {
        return nsToWholeSeconds(m_tone->SongDurationNs(duration));
    }
    if (!m_probedSeconds) {
        m_probedSeconds = probeDurationSeconds(m_path).value_or(0);
    }
    return *m_probedSeconds;
}

int64_t MusicPlayer::GetPositionMs() const {
    const int64_t position = m_opened ? m_tone->SongPositionNs() : -1;
    return position < 0 ? 0 : nsToMs(position);
}

void MusicPlayer::SeekMs(int64_t ms) {
    if (!m_opened) {
        return;
    }
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT);
    if (gst_element_seek_simple(Pipeline(), GST_FORMAT_TIME, flags,
                                m_tone->SeekTargetNs(msToNs(ms < 0 ? 0 : ms)))) {
        m_tone->Restart();
    }
}

bool MusicPlayer::GetEvent(MediaEvent& event) {
    if (m_events.empty()) {
        return false;
    }
    event = std::move(m_events.front());
    m_events.pop_front();
    return true;
}

void MusicPlayer::OnBusMessage(GstMessage* message) {
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
            queueEvent({MediaEvent::Complete, {}});
            break;
        case GST_MESSAGE_ERROR:
            queueEvent({MediaEvent::ErrorAbort, errorText(message)});
            break;
        default:
            break;
    }
}

void MusicPlayer::queueEvent(MediaEvent event) {
    m_events.push_back(std::move(event));
    if (m_notify) {
        Q_EMIT eventsQueued();
    }
}
