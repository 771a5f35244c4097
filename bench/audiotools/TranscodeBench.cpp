// Speed of the conversion graphs and of the whole accompaniment run on one song, as seconds of
// audio per second (the realtime factor). The comparison script gives the files:
// VOCALIA_BENCH_MP3 (the song), VOCALIA_BENCH_PCM (the same song decoded to WAV) and
// VOCALIA_BENCH_SECONDS (its length).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "audiotools/AccompanimentRun.h"
#include "media/DecodeGraph.h"
#include "media/EncodeGraph.h"

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

void countRealtime(benchmark::State& state) {
    const double seconds = std::atof(environment("VOCALIA_BENCH_SECONDS").c_str());
    state.counters["realtime"] =
        benchmark::Counter(seconds * double(state.iterations()), benchmark::Counter::kIsRate);
}

template <typename Graph>
void convertFile(benchmark::State& state, const char* inputVariable, const char* suffix) {
    const std::string input = environment(inputVariable);
    const std::string output = input + suffix;
    while (state.KeepRunning()) {
        Graph graph;
        if (graph.Build(input, output) < 0 || graph.Play() < 0) {
            state.SkipWithError(graph.LastError().c_str());
            return;
        }
    }
    std::remove(output.c_str());
    countRealtime(state);
}

void BM_DecodeGraph(benchmark::State& state) {
    convertFile<DecodeGraph>(state, "VOCALIA_BENCH_MP3", ".bench.wav");
}
BENCHMARK(BM_DecodeGraph)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_EncodeGraph(benchmark::State& state) {
    convertFile<EncodeGraph>(state, "VOCALIA_BENCH_PCM", ".bench.mp3");
}
BENCHMARK(BM_EncodeGraph)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

class QuietObserver : public RunObserver {
public:
    void onProgress(int, const std::string&) override {}
};

void BM_AccompanimentRun(benchmark::State& state) {
    AccompanimentJob job = accompanimentJobFor(environment("VOCALIA_BENCH_MP3"));
    QuietObserver observer;
    while (state.KeepRunning()) {
        const RunOutcome outcome = AccompanimentRun(observer).Run(job);
        if (!outcome.ok()) {
            state.SkipWithError(outcome.error.c_str());
            return;
        }
    }
    std::remove(job.output.c_str());
    countRealtime(state);
}
BENCHMARK(BM_AccompanimentRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
