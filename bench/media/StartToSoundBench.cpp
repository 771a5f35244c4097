// Start-to-sound time of the song player: from Open to the first buffer reaching the audio
// output. Needs a sound server (scripts/sound-server.sh).

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>

#include "media/GstHandles.h"
#include "media/MusicPlayer.h"
#include "tests/media/MediaFixtures.h"

namespace {

using Clock = std::chrono::steady_clock;

// A five-second tone in the temporary folder, made by one of the test fixtures' makers.
std::string toneFile(const std::string& name,
                     void (*make)(const std::string& path, double seconds, int frequency)) {
    std::string path = (std::filesystem::temp_directory_path() / name).string();
    make(path, 5.0, 440);
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
    startToSound(state, toneFile("vocalia-bench.wav", makeToneWav));
}
void BM_StartToSoundMp3(benchmark::State& state) {
    startToSound(state, toneFile("vocalia-bench.mp3", makeToneMp3));
}

BENCHMARK(BM_StartToSoundWav)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_StartToSoundMp3)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
