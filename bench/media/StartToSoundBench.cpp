// Start-to-sound time of the song player: from Open to the first buffer reaching the audio
// output. Needs a sound server (scripts/sound-server.sh).

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>

#include "media/GstHandles.h"
#include "media/MusicPlayer.h"

namespace {

using Clock = std::chrono::steady_clock;

// Makes a media file with a gst-launch style description ending in a file sink.
std::string makeFile(const std::string& name, const std::string& encoder) {
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    if (std::filesystem::exists(path)) {
        return path;
    }
    const std::string description =
        "audiotestsrc num-buffers=500 ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! " +
        encoder + " ! filesink location=\"" + path + "\"";
    ensureGstInitialized();
    GError* raw = nullptr;
    const GstRef<GstElement> pipeline(
        GST_ELEMENT(gst_object_ref_sink(gst_parse_launch(description.c_str(), &raw))));
    const GErrorPtr error(raw);
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    const GstRef<GstBus> bus(gst_element_get_bus(pipeline.get()));
    const GstMessagePtr done(gst_bus_timed_pop_filtered(
        bus.get(), 60 * GST_SECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return path;
}

GstPadProbeReturn markFirstBuffer(GstPad*, GstPadProbeInfo*, gpointer flag) {
    static_cast<std::atomic<bool>*>(flag)->store(true);
    return GST_PAD_PROBE_REMOVE;
}

void startToSound(benchmark::State& state, const std::string& path) {
    while (state.KeepRunning()) {
        std::atomic<bool> sounded{false};
        const auto start = Clock::now();
        MusicPlayer player;
        if (player.Open(path) < 0) {
            state.SkipWithError(("cannot open " + path + ": " + player.LastError()).c_str());
            return;
        }
        GstElement* sink = nullptr;
        g_object_get(player.Pipeline(), "audio-sink", &sink, nullptr);
        const GstRef<GstElement> sinkRef(sink);
        const GstRef<GstPad> pad(gst_element_get_static_pad(sink, "sink"));
        gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_BUFFER, markFirstBuffer, &sounded, nullptr);
        player.Play();
        while (!sounded.load()) {
            g_main_context_iteration(nullptr, FALSE);
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        player.Stop();
    }
}

void BM_StartToSoundWav(benchmark::State& state) {
    startToSound(state, makeFile("vocalia-bench.wav", "wavenc"));
}
void BM_StartToSoundMp3(benchmark::State& state) {
    startToSound(state, makeFile("vocalia-bench.mp3", "lamemp3enc"));
}

BENCHMARK(BM_StartToSoundWav)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_StartToSoundMp3)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
