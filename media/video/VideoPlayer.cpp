#include "media/video/VideoPlayer.h"

#include <algorithm>

#include "media/MediaGraph.h"
#include "media/SpeakerSink.h"

namespace {

// playbin's flags: video and sound, no subtitles.
constexpr int kPlayAudioVideo = 0x1 | 0x2;
constexpr GstClockTime kQuickWait = 10 * GST_MSECOND;
constexpr double kNsPerSecond = 1e9;

QImage frameFromSample(GstSample* sample) {
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    const GstStructure* format = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
    int width = 0;
    int height = 0;
    gst_structure_get_int(format, "width", &width);
    gst_structure_get_int(format, "height", &height);
    GstMapInfo map;
    if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        return {};
    }
    QImage frame =
        QImage(map.data, width, height, qsizetype{width} * 4, QImage::Format_RGB32).copy();
    gst_buffer_unmap(buffer, &map);
    return frame;
}

GstState currentState(GstElement* pipeline) {
    GstState state = GST_STATE_NULL;
    gst_element_get_state(pipeline, &state, nullptr, kQuickWait);
    return state;
}

}  // namespace

VideoPlayer::VideoPlayer(QObject* parent) : QObject(parent) {
    // Frames come from a streaming thread; the queued connection brings them to this one.
    connect(this, &VideoPlayer::frameArrived, this, &VideoPlayer::takeFrame, Qt::QueuedConnection);
}

VideoPlayer::~VideoPlayer() {
    Close();
}

bool VideoPlayer::Create() {
    if (m_graph) {
        return false;
    }
    auto graph = std::make_unique<MediaGraph>("playbin");
    if (!graph->Pipeline()) {
        return false;
    }
    graph->GuardOutputStalls();
    m_graph = std::move(graph);
    return true;
}

void VideoPlayer::Close() {
    m_graph.reset();  // stops the streaming threads before anything they use goes
    m_tone.reset();
    m_sizeFilter = nullptr;
    m_frame = QImage();
    m_visible = false;
}

bool VideoPlayer::RenderFile(const std::string& path) {
    if (!m_graph) {
        return false;
    }
    const std::string uri = mediaFileUri(path);
    if (uri.empty()) {
        return false;
    }
    GstElement* bin = gst_parse_bin_from_description(
        "videoconvert ! videoscale ! capsfilter name=size ! appsink name=frames", TRUE, nullptr);
    if (!bin) {
        return false;
    }
    const GstRef<GstElement> sizeFilter(gst_bin_get_by_name(GST_BIN(bin), "size"));
    const GstRef<GstElement> frames(gst_bin_get_by_name(GST_BIN(bin), "frames"));
    m_sizeFilter = sizeFilter.get();
    applyFrameSize();
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &VideoPlayer::onNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(frames.get()), &callbacks, this, nullptr);
    // Paced by the clock like any video sink; the sound is the master.
    g_object_set(frames.get(), "sync", TRUE, "max-buffers", 2, "drop", TRUE, nullptr);

    m_tone = std::make_unique<ToneStage>(m_graph->Pipeline(), false);
    g_object_set(m_graph->Pipeline(), "uri", uri.c_str(), "flags", kPlayAudioVideo, "video-sink",
                 bin, "audio-sink", makeSpeakerSink(SpeakerTiming::WithThePictures), "audio-filter",
                 m_tone->Filter().release(), nullptr);
    const GstStateChangeReturn result =
        gst_element_set_state(m_graph->Pipeline(), GST_STATE_PAUSED);
    if (result == GST_STATE_CHANGE_FAILURE ||
        gst_element_get_state(m_graph->Pipeline(), nullptr, nullptr, 10 * GST_SECOND) ==
            GST_STATE_CHANGE_FAILURE) {
        gst_element_set_state(m_graph->Pipeline(), GST_STATE_NULL);
        return false;
    }
    return true;
}

bool VideoPlayer::SetOwner(int width, int height) {
    if (!m_graph) {
        return false;
    }
    m_visible = false;
    SetRect(0, 0, width, height);
    m_visible = width > 0 && height > 0;
    return true;
}

void VideoPlayer::SetRect(int left, int top, int width, int height) {
    m_rect = QRect(left, top, width, height);
    applyFrameSize();
}

void VideoPlayer::applyFrameSize() {
    if (!m_sizeFilter) {
        return;
    }
    GstCapsPtr caps(gst_caps_from_string("video/x-raw,format=BGRx,pixel-aspect-ratio=1/1"));
    if (m_rect.width() > 0 && m_rect.height() > 0) {
        gst_caps_set_simple(caps.get(), "width", G_TYPE_INT, m_rect.width(), "height", G_TYPE_INT,
                            m_rect.height(), nullptr);
    }
    g_object_set(m_sizeFilter, "caps", caps.get(), nullptr);
}

// Runs on a streaming thread: the frame travels to the owner's thread through frameArrived.
GstFlowReturn VideoPlayer::onNewSample(GstAppSink* sink, gpointer self) {
    const GstSamplePtr sample(gst_app_sink_pull_sample(sink));
    if (!sample) {
        return GST_FLOW_OK;
    }
    QImage frame = frameFromSample(sample.get());
    Q_EMIT static_cast<VideoPlayer*>(self)->frameArrived(frame);
    return GST_FLOW_OK;
}

void VideoPlayer::takeFrame(const QImage& frame) {
    m_frame = frame;
    Q_EMIT frameReady(m_frame);
}

bool VideoPlayer::Run() {
    if (!m_graph) {
        return false;
    }
    if (currentState(m_graph->Pipeline()) == GST_STATE_PLAYING) {
        return true;
    }
    return gst_element_set_state(m_graph->Pipeline(), GST_STATE_PLAYING) !=
           GST_STATE_CHANGE_FAILURE;
}

bool VideoPlayer::Stop() {
    if (!m_graph) {
        return false;
    }
    if (currentState(m_graph->Pipeline()) <= GST_STATE_READY) {
        return true;
    }
    return gst_element_set_state(m_graph->Pipeline(), GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
}

bool VideoPlayer::Pause() {
    if (!m_graph) {
        return false;
    }
    if (currentState(m_graph->Pipeline()) == GST_STATE_PAUSED) {
        return true;
    }
    return gst_element_set_state(m_graph->Pipeline(), GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
}

void VideoPlayer::SetFullScreen(bool on) {
    if (on == m_fullScreen) {
        return;
    }
    m_fullScreen = on;
    Q_EMIT fullScreenChanged(on);
}

double VideoPlayer::GetPosition() const {
    gint64 position = 0;
    if (!m_graph || !gst_element_query_position(m_graph->Pipeline(), GST_FORMAT_TIME, &position)) {
        return 0;
    }
    return static_cast<double>(position) / kNsPerSecond;
}

double VideoPlayer::GetDuration() const {
    gint64 duration = 0;
    if (!m_graph || !gst_element_query_duration(m_graph->Pipeline(), GST_FORMAT_TIME, &duration)) {
        return 0;
    }
    return static_cast<double>(duration) / kNsPerSecond;
}

void VideoPlayer::Seek(double seconds) {
    if (!m_graph) {
        return;
    }
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT);
    gst_element_seek_simple(m_graph->Pipeline(), GST_FORMAT_TIME, flags,
                            static_cast<gint64>(std::max(0.0, seconds) * kNsPerSecond));
}

bool VideoPlayer::SaveFrame(const std::string& path) const {
    return !m_frame.isNull() && m_frame.save(QString::fromStdString(path), "BMP");
}
