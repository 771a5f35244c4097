// Throughput of the vocal remover on a 10-minute 44.1 kHz stereo WAV file in the page cache,
// beside a chunked read of the same file's bytes (the copy bandwidth it cannot beat).
// The file is VOCALIA_BENCH_WAV, which the comparison script makes and shares with sox.

#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "audiotools/VocalRemover.h"

namespace {

// The WAV file the comparison script made; empty when run without it.
const std::string& benchWav() {
    static const std::string path = [] {
        const char* given = std::getenv("VOCALIA_BENCH_WAV");
        return std::string(given ? given : "");
    }();
    return path;
}

bool haveBenchWav(benchmark::State& state) {
    if (benchWav().empty()) {
        state.SkipWithError("VOCALIA_BENCH_WAV is not set: run remove-vocals-vs-sox.sh");
        return false;
    }
    return true;
}

int64_t fileBytes() {
    std::ifstream in(benchWav(), std::ios::binary | std::ios::ate);
    return static_cast<int64_t>(in.tellg());
}

void BM_RemoveVocals(benchmark::State& state) {
    if (!haveBenchWav(state)) {
        return;
    }
    const auto passes = static_cast<int>(state.range(0));
    const VocalRemover remover;
    while (state.KeepRunning()) {
        if (!remover.RemoveVocals(benchWav(), passes)) {
            state.SkipWithError("cannot open the WAV file");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * fileBytes());
}
BENCHMARK(BM_RemoveVocals)->Arg(0)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same work on 16 MB of samples already in memory: the processing alone, without the cost
// of reading and writing the file.
void BM_ProcessSamplesInMemory(benchmark::State& state) {
    if (!haveBenchWav(state)) {
        return;
    }
    const auto passes = static_cast<int>(state.range(0));
    std::vector<uint8_t> bytes(16 << 20);
    std::ifstream(benchWav(), std::ios::binary)
        .read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    while (state.KeepRunning()) {
        VocalRemover::processSamples(bytes.data(), bytes.size() / 2, passes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_ProcessSamplesInMemory)->Arg(0)->Arg(2)->Arg(8)->UseRealTime();

void BM_CopyFileBytes(benchmark::State& state) {
    if (!haveBenchWav(state)) {
        return;
    }
    std::vector<char> chunk(1 << 20);
    while (state.KeepRunning()) {
        const int file = ::open(benchWav().c_str(), O_RDONLY | O_CLOEXEC);
        while (::read(file, chunk.data(), chunk.size()) > 0) {
            benchmark::DoNotOptimize(chunk.data());
        }
        ::close(file);
    }
    state.SetBytesProcessed(state.iterations() * fileBytes());
}
BENCHMARK(BM_CopyFileBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
