#include "tests/media/MediaFixtures.h"

#include <gst/gst.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "media/GstHandles.h"
#include "tests/audiotools/WaveBuilder.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSamplesPerBuffer = 441;  // 10 ms

std::string toneSource(double seconds, int frequency) {
    return "audiotestsrc num-buffers=" + std::to_string(static_cast<int>(seconds * 100)) +
           " samplesperbuffer=" + std::to_string(kSamplesPerBuffer) +
           " freq=" + std::to_string(frequency) + " ! audio/x-raw,rate=" + std::to_string(kRate) +
           ",channels=2 ! audioconvert";
}

std::string videoSource(double seconds, int width, int height) {
    return "videotestsrc num-buffers=" + std::to_string(static_cast<int>(seconds * 25)) +
           " ! video/x-raw,width=" + std::to_string(width) + ",height=" + std::to_string(height) +
           ",framerate=25/1 ! videoconvert";
}

void putLe32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void putBe(std::string& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// MIDI variable-length quantity.
void putVarLen(std::string& out, uint32_t value) {
    std::string bytes(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0) {
        bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    }
    out += bytes;
}

}  // namespace

void runPipeline(const std::string& description) {
    ensureGstInitialized();
    GError* raw = nullptr;
    const GstRef<GstElement> pipeline(
        GST_ELEMENT(gst_object_ref_sink(gst_parse_launch(description.c_str(), &raw))));
    const GErrorPtr parseError(raw);
    if (parseError) {
        throw std::runtime_error("bad pipeline: " + std::string(parseError->message));
    }
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    const GstRef<GstBus> bus(gst_element_get_bus(pipeline.get()));
    const GstMessagePtr message(gst_bus_timed_pop_filtered(
        bus.get(), 60 * GST_SECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    if (!message || GST_MESSAGE_TYPE(message.get()) != GST_MESSAGE_EOS) {
        throw std::runtime_error("pipeline failed: " + errorText(message.get()) + " in " +
                                 description);
    }
}

void makeToneWav(const std::string& path, double seconds, int frequency) {
    runPipeline(toneSource(seconds, frequency) +
                " ! audio/x-raw,format=S16LE ! wavenc ! filesink location=\"" + path + "\"");
}

void makeSweepWav(const std::string& path, double seconds) {
    const auto frames = static_cast<size_t>(seconds * kRate);
    std::vector<int16_t> samples;
    samples.reserve(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double phase = 2 * M_PI * (kSweepStartHz * t + kSweepHzPerSecond * t * t / 2);
        const auto value = static_cast<int16_t>(12000 * std::sin(phase));
        samples.insert(samples.end(), {value, value});
    }
    writeBytes(path, wavFile(samples));
}

std::optional<double> sweepTimeAtEnd(const std::vector<int16_t>& samples) {
    constexpr size_t kWindow = 4410;
    const size_t frames = samples.size() / 2;
    if (frames < kWindow) {
        return std::nullopt;
    }
    // Rising zero crossings, placed between samples, give the frequency to a fraction of a hertz.
    std::vector<double> crossings;
    for (size_t i = frames - kWindow; i + 1 < frames; ++i) {
        const double a = samples[2 * i];
        const double b = samples[2 * (i + 1)];
        if (a < 0 && b >= 0) {
            crossings.push_back(static_cast<double>(i) + a / (a - b));
        }
    }
    if (crossings.size() < 10) {
        return std::nullopt;
    }
    const double span = (crossings.back() - crossings.front()) / kRate;
    const double frequency = static_cast<double>(crossings.size() - 1) / span;
    // The frequency belongs to the middle of the crossings; the end is that much later.
    const double sinceMiddle =
        (static_cast<double>(frames) - (crossings.back() + crossings.front()) / 2) / kRate;
    return (frequency - kSweepStartHz) / kSweepHzPerSecond + sinceMiddle;
}

void makeToneMp3(const std::string& path, double seconds, int frequency) {
    runPipeline(toneSource(seconds, frequency) +
                " ! lamemp3enc target=bitrate cbr=true bitrate=128 ! filesink location=\"" + path +
                "\"");
}

void makeToneWma(const std::string& path, double seconds) {
    runPipeline(toneSource(seconds, 440) + " ! avenc_wmav2 ! asfmux ! filesink location=\"" + path +
                "\"");
}

void makeMpegVideo(const std::string& path, double seconds) {
    // mpeg2enc, because libav's MPEG-1 encoder of this release rejects every frame rate.
    runPipeline(videoSource(seconds, 352, 288) + " ! mpeg2enc format=1 ! mpegvideoparse ! mux. " +
                toneSource(seconds, 440) +
                " ! avenc_mp2 ! mpegaudioparse ! mux. mpegpsmux name=mux ! filesink location=\"" +
                path + "\"");
}

void makeAviVideo(const std::string& path, double seconds) {
    runPipeline(videoSource(seconds, 320, 240) + " ! avenc_mpeg4 ! mux. " +
                toneSource(seconds, 440) + " ! lamemp3enc ! mux. avimux name=mux ! filesink " +
                "location=\"" + path + "\"");
}

void makeAsfVideo(const std::string& path, double seconds) {
    runPipeline(videoSource(seconds, 320, 240) + " ! avenc_wmv2 ! mux. " +
                toneSource(seconds, 440) + " ! avenc_wmav2 ! mux. asfmux name=mux ! filesink " +
                "location=\"" + path + "\"");
}

void makeMidi(const std::string& path, double seconds) {
    constexpr uint32_t kTicksPerBeat = 480;  // 120 beats a minute: 960 ticks a second
    std::string track;
    putVarLen(track, 0);
    track += std::string("\xC0\x00", 2);  // piano
    putVarLen(track, 0);
    track += std::string("\x90\x45\x60", 3);  // A4 on
    putVarLen(track, static_cast<uint32_t>(seconds * 2 * kTicksPerBeat));
    track += std::string("\x80\x45\x40", 3);  // off
    putVarLen(track, 0);
    track += std::string("\xFF\x2F\x00", 3);  // end of track
    std::string file = "MThd";
    putBe(file, 6, 4);
    putBe(file, 0, 2);
    putBe(file, 1, 2);
    putBe(file, kTicksPerBeat, 2);
    file += "MTrk";
    putBe(file, static_cast<uint32_t>(track.size()), 4);
    writeBytes(path, file + track);
}

void makeVcdDat(const std::string& mpegPath, const std::string& datPath) {
    // Mode 2 form 2 sectors: 12 sync bytes, 4 header bytes, 8 subheader bytes, 2324 data bytes
    // and 4 error-detection bytes.
    constexpr size_t kSector = 2352;
    constexpr size_t kPayload = 2324;
    const std::string mpeg = readBytes(mpegPath);
    std::string data;
    for (size_t offset = 0, index = 0; offset < mpeg.size(); offset += kPayload, ++index) {
        std::string sector =
            std::string("\x00", 1) + std::string(10, '\xFF') + std::string("\x00", 1);
        const uint32_t lba = static_cast<uint32_t>(index) + 150;
        const auto bcd = [](uint32_t v) { return static_cast<char>(((v / 10) << 4) | (v % 10)); };
        sector += bcd(lba / 75 / 60);
        sector += bcd(lba / 75 % 60);
        sector += bcd(lba % 75);
        sector += '\x02';
        sector += std::string("\x01\x01\x64\x00\x01\x01\x64\x00", 8);
        std::string payload = mpeg.substr(offset, kPayload);
        payload.resize(kPayload, '\0');
        sector += payload + std::string(4, '\0');
        if (sector.size() != kSector) {
            throw std::logic_error("bad VCD sector size");
        }
        data += sector;
    }
    std::string file = "RIFF";
    putLe32(file, static_cast<uint32_t>(4 + 8 + 16 + 8 + data.size()));
    file += "CDXAfmt ";
    putLe32(file, 16);
    file += std::string(16, '\0');
    file += "data";
    putLe32(file, static_cast<uint32_t>(data.size()));
    writeBytes(datPath, file + data);
}

namespace {

GstRef<GstElement> startPipeline(const std::string& description) {
    ensureGstInitialized();
    GError* raw = nullptr;
    GstRef<GstElement> pipeline(
        GST_ELEMENT(gst_object_ref_sink(gst_parse_launch(description.c_str(), &raw))));
    const GErrorPtr error(raw);
    if (error) {
        throw std::runtime_error("bad pipeline: " + std::string(error->message));
    }
    if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        throw std::runtime_error("cannot start " + description);
    }
    gst_element_get_state(pipeline.get(), nullptr, nullptr, 5 * GST_SECOND);
    return pipeline;
}

uint32_t le32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    }
    return value;
}

}  // namespace

namespace {

constexpr const char* kToAppSink =
    "audio/x-raw,format=S16LE,rate=44100,channels=2 ! appsink name=samples emit-signals=true "
    "sync=false";

std::string monoFrom(const std::string& device, const std::string& pad) {
    return " pulsesrc device=" + device +
           " ! audio/x-raw,format=S16LE,rate=44100,channels=1 ! both." + pad;
}

}  // namespace

SourceRecording::SourceRecording(const std::string& device)
    : SourceRecording(startPipeline("pulsesrc device=" + device + " ! " + kToAppSink)) {}

SourceRecording::SourceRecording(const std::string& left, const std::string& right)
    : SourceRecording(startPipeline("interleave name=both ! audioconvert ! " +
                                    std::string(kToAppSink) + monoFrom(left, "sink_0") +
                                    monoFrom(right, "sink_1"))) {}

SourceRecording::SourceRecording(GstRef<GstElement> pipeline) : m_pipeline(std::move(pipeline)) {
    const GstRef<GstElement> sink(gst_bin_get_by_name(GST_BIN(m_pipeline.get()), "samples"));
    g_signal_connect(sink.get(), "new-sample", G_CALLBACK(&SourceRecording::takeSample), this);
}

SourceRecording::~SourceRecording() {
    finish();
}

GstFlowReturn SourceRecording::takeSample(GstElement* sink, gpointer self) {
    GstSample* raw = nullptr;
    g_signal_emit_by_name(sink, "pull-sample", &raw);
    const GstSamplePtr sample(raw);
    if (!sample) {
        return GST_FLOW_EOS;
    }
    GstMapInfo map;
    GstBuffer* buffer = gst_sample_get_buffer(sample.get());
    if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        auto* recording = static_cast<SourceRecording*>(self);
        const std::lock_guard lock(recording->m_mutex);
        const auto* first = reinterpret_cast<const int16_t*>(map.data);
        recording->m_samples.insert(recording->m_samples.end(), first, first + map.size / 2);
        gst_buffer_unmap(buffer, &map);
    }
    return GST_FLOW_OK;
}

std::vector<int16_t> SourceRecording::samples() const {
    const std::lock_guard lock(m_mutex);
    return m_samples;
}

size_t SourceRecording::sampleCount() const {
    const std::lock_guard lock(m_mutex);
    return m_samples.size();
}

bool SourceRecording::waitFor(const std::function<bool(const std::vector<int16_t>&)>& heard,
                              int timeoutMs) {
    // Judged again only when more has been recorded, not at every turn of the loop.
    size_t judged = 0;
    bool holds = false;
    return pumpUntil(
        [&] {
            const size_t count = sampleCount();
            if (count != judged) {
                judged = count;
                holds = heard(samples());
            }
            return holds;
        },
        timeoutMs);
}

void SourceRecording::finish() {
    if (m_pipeline) {
        gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
        m_pipeline.reset();
    }
}

SinkFeed::SinkFeed(const std::string& wavPath, const std::string& device)
    : m_pipeline(startPipeline("filesrc location=\"" + wavPath +
                               "\" ! wavparse ! audioconvert ! pulsesink device=" + device)) {}

SinkFeed::~SinkFeed() {
    gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
}

std::vector<int16_t> readWavSamples(const std::string& path) {
    const std::string bytes = readBytes(path);
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string id = bytes.substr(at, 4);
        const size_t size = le32(bytes, at + 4);
        if (id == "data") {
            const size_t end = std::min(bytes.size(), at + 8 + size);
            std::vector<int16_t> samples((end - at - 8) / 2);
            std::memcpy(samples.data(), bytes.data() + at + 8, samples.size() * 2);
            return samples;
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

double channelRms(const std::vector<int16_t>& samples, int channel, int channels, size_t from) {
    double sum = 0;
    size_t count = 0;
    for (size_t i = from * static_cast<size_t>(channels) + static_cast<size_t>(channel);
         i < samples.size(); i += static_cast<size_t>(channels)) {
        sum += static_cast<double>(samples[i]) * samples[i];
        ++count;
    }
    return count ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
}

namespace {

struct BlockTone {
    double rms = 0;
    double share = 0;  // of the block's energy at the frequency; 1 for a pure tone
};

// One block of one channel through the Goertzel filter. A tone with a whole number of cycles
// in the block puts all of its energy in the one bin.
BlockTone blockTone(const std::vector<int16_t>& samples, size_t first, size_t step, size_t count,
                    int frequency) {
    const double coefficient = 2.0 * std::cos(2.0 * M_PI * frequency / static_cast<double>(kRate));
    double previous = 0;
    double beforePrevious = 0;
    double energy = 0;
    for (size_t n = 0; n < count; ++n) {
        const double x = samples[first + n * step];
        energy += x * x;
        const double current = x + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    if (energy <= 0) {
        return {};
    }
    const double power = previous * previous + beforePrevious * beforePrevious -
                         coefficient * previous * beforePrevious;
    const auto n = static_cast<double>(count);
    return {std::sqrt(energy / n), 2.0 * power / (n * energy)};
}

}  // namespace

double toneSeconds(const std::vector<int16_t>& samples, int channels, int frequency, int channel) {
    constexpr size_t kBlock = kRate / 100;
    constexpr double kLoudRms = 1000.0;
    constexpr double kToneShare = 0.7;
    const auto step = static_cast<size_t>(channels);
    const size_t frames = samples.size() / step;
    size_t heard = 0;
    for (size_t frame = 0; frame + kBlock <= frames; frame += kBlock) {
        const BlockTone tone = blockTone(samples, frame * step + static_cast<size_t>(channel), step,
                                         kBlock, frequency);
        heard += tone.rms > kLoudRms && tone.share > kToneShare ? 1 : 0;
    }
    return static_cast<double>(heard) / 100.0;
}

double toneShare(const std::vector<int16_t>& samples, int channels, double frequency,
                 double seconds, int channel) {
    constexpr size_t kBlock = kRate / 10;
    const auto step = static_cast<size_t>(channels);
    const size_t frames = samples.size() / step;
    const auto wanted = static_cast<size_t>(seconds * kRate);
    if (frames < wanted || wanted < kBlock) {
        return 0;
    }
    const double coefficient = 2.0 * std::cos(2.0 * M_PI * frequency / kRate);
    double share = 0;
    int blocks = 0;
    for (size_t first = frames - wanted; first + kBlock <= frames; first += kBlock, ++blocks) {
        double previous = 0;
        double beforePrevious = 0;
        double energy = 0;
        for (size_t n = 0; n < kBlock; ++n) {
            const double x = samples[(first + n) * step + static_cast<size_t>(channel)];
            energy += x * x;
            const double current = x + coefficient * previous - beforePrevious;
            beforePrevious = previous;
            previous = current;
        }
        const double power = previous * previous + beforePrevious * beforePrevious -
                             coefficient * previous * beforePrevious;
        share += energy > 0 ? 2.0 * power / (static_cast<double>(kBlock) * energy) : 0.0;
    }
    return share / blocks;
}

std::vector<std::string> monitorModules() {
    struct Close {
        void operator()(FILE* pipe) const { pclose(pipe); }
    };
    const std::unique_ptr<FILE, Close> list(popen("pactl list modules short", "r"));
    std::vector<std::string> found;
    std::array<char, 4096> line{};
    while (list && fgets(line.data(), line.size(), list.get())) {
        const std::string text(line.data());
        if (text.find("vocalia.monitor=") != std::string::npos) {
            found.push_back(text);
        }
    }
    return found;
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const gint64 deadline = g_get_monotonic_time() + gint64{timeoutMs} * 1000;
    while (!done()) {
        if (g_get_monotonic_time() > deadline) {
            return false;
        }
        if (!g_main_context_iteration(nullptr, FALSE)) {
            g_usleep(2000);
        }
    }
    return true;
}
