#include "media/ToneStage.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <vector>

#include "media/ChannelLevel.h"
#include "media/MediaGraph.h"
#include "media/VocalCut.h"

namespace {

std::atomic<int> g_key{0};
std::atomic<int> g_tempo{PlaybackTone::kOriginalTempo};
std::atomic<bool> g_vocalCut{false};

// The stages that live now; touched on the players' thread only.
std::vector<ToneStage*>& liveStages() {
    static std::vector<ToneStage*> stages;
    return stages;
}

void applyToAll() {
    for (ToneStage* stage : liveStages()) {
        stage->Apply();
    }
}

int bufferRate(GstPad* pad) {
    const GstCapsPtr caps(gst_pad_get_current_caps(pad));
    int rate = 0;
    if (caps && gst_caps_get_size(caps.get()) > 0) {
        gst_structure_get_int(gst_caps_get_structure(caps.get(), 0), "rate", &rate);
    }
    return rate;
}

// Runs on the streaming thread; the filter belongs to this one probe.
GstPadProbeReturn cutVocals(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
    auto* cut = static_cast<VocalCut*>(data);
    cut->SetRate(bufferRate(pad));
    GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GstMapInfo map;
    if (gst_buffer_map(buffer, &map, GST_MAP_READWRITE)) {
        cut->Process(reinterpret_cast<float*>(map.data), map.size / (2 * sizeof(float)),
                     PlaybackTone::vocalCut());
        gst_buffer_unmap(buffer, &map);
    }
    return GST_PAD_PROBE_OK;
}

void dropVocalCut(gpointer cut) {
    const std::unique_ptr<VocalCut> owned(static_cast<VocalCut*>(cut));
}

void addGhostPad(GstElement* bin, GstElement* inner, const char* padName) {
    const GstRef<GstPad> target(gst_element_get_static_pad(inner, padName));
    gst_element_add_pad(bin, gst_ghost_pad_new(padName, target.get()));
}

}  // namespace

namespace PlaybackTone {

bool validKey(int semitones) {
    return semitones >= kMinKey && semitones <= kMaxKey;
}

bool validTempo(int percent) {
    return percent >= kMinTempo && percent <= kMaxTempo && percent % kTempoStep == 0;
}

void setKey(int semitones) {
    g_key.store(std::clamp(semitones, kMinKey, kMaxKey));
    applyToAll();
}

int key() {
    return g_key.load();
}

void setTempo(int percent) {
    const int stepped =
        (std::clamp(percent, kMinTempo, kMaxTempo) + kTempoStep / 2) / kTempoStep * kTempoStep;
    g_tempo.store(stepped);
    applyToAll();
}

int tempo() {
    return g_tempo.load();
}

void setVocalCut(bool on) {
    g_vocalCut.store(on);
}

bool vocalCut() {
    return g_vocalCut.load();
}

}  // namespace PlaybackTone

ToneStage::ToneStage(GstElement* pipeline, bool followTempo)
    : m_pipeline(pipeline), m_followTempo(followTempo) {
    liveStages().push_back(this);
}

ToneStage::~ToneStage() {
    auto& stages = liveStages();
    stages.erase(std::remove(stages.begin(), stages.end(), this), stages.end());
}

GstRef<GstElement> ToneStage::Filter() {
    if (m_shifter) {
        return nullptr;
    }
    GstRef<GstElement> level = makeChannelLevelStage();
    GstRef<GstElement> shifter = MediaGraph::MakeElement("pitch");
    if (!level || !shifter) {
        return nullptr;
    }
    GstRef<GstElement> bin(GST_ELEMENT(gst_object_ref_sink(gst_bin_new("Tone"))));
    gst_bin_add_many(GST_BIN(bin.get()), GST_ELEMENT(gst_object_ref(level.get())),
                     GST_ELEMENT(gst_object_ref(shifter.get())), nullptr);
    if (!gst_element_link(level.get(), shifter.get())) {
        return nullptr;
    }
    addGhostPad(bin.get(), level.get(), "sink");
    addGhostPad(bin.get(), shifter.get(), "src");
    const GstRef<GstPad> input(gst_element_get_static_pad(shifter.get(), "sink"));
    gst_pad_add_probe(input.get(), GST_PAD_PROBE_TYPE_BUFFER, cutVocals,
                      std::make_unique<VocalCut>().release(), dropVocalCut);
    m_shifter = std::move(shifter);
    Apply();
    return bin;
}

void ToneStage::Apply() {
    if (!m_shifter) {
        return;
    }
    const auto pitch = static_cast<float>(std::exp2(PlaybackTone::key() / 12.0));
    g_object_set(m_shifter.get(), "pitch", pitch, nullptr);
    const double ratio = m_followTempo ? PlaybackTone::tempo() / 100.0 : 1.0;
    if (ratio == m_ratio) {
        return;
    }
    // From here on the song moves at the new rate; what was heard so far keeps its time.
    const int64_t out = outputPositionNs();
    if (out >= 0) {
        m_anchorSong = SongPositionNs();
        m_anchorOut = out;
    }
    m_ratio = ratio;
    g_object_set(m_shifter.get(), "tempo", static_cast<float>(ratio), nullptr);
}

int64_t ToneStage::outputPositionNs() const {
    return m_pipeline ? m_position.Query(m_pipeline) : -1;
}

int64_t ToneStage::SongPositionNs() const {
    const int64_t out = outputPositionNs();
    if (out < 0) {
        return -1;
    }
    const auto song = m_anchorSong + std::llround(static_cast<double>(out - m_anchorOut) * m_ratio);
    return std::max<int64_t>(song, 0);
}

int64_t ToneStage::SongDurationNs(int64_t reportedNs) const {
    return std::llround(static_cast<double>(reportedNs) * m_ratio);
}

int64_t ToneStage::SeekTargetNs(int64_t songNs) const {
    return std::llround(static_cast<double>(songNs) / m_ratio);
}

void ToneStage::Restart() {
    m_anchorOut = 0;
    m_anchorSong = 0;
    m_position.Reset();
}
