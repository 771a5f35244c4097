// Throughput of the vocal remover on a 10-minute 44.1 kHz stereo WAV file in the page cache,
// beside a chunked read of the same file's bytes (the copy bandwidth it cannot beat).
// The file is VOCALIA_BENCH_WAV when set (the comparison script shares it with sox), else one
// made here.

#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "audiotools/VocalRemover.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 600;

void putLe(std::ofstream& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.put(static_cast<char>(value >> (8 * i) & 0xFF));
    }
}

// Two tones, one centred and one on the left only, so the work is not all zeros.
void writeTestWav(const std::string& path) {
    const uint32_t dataBytes = uint32_t{kRate} * kSeconds * 4;
    std::ofstream out(path, std::ios::binary);
    out << "RIFF";
    putLe(out, dataBytes + 36, 4);
    out << "WAVEfmt ";
    putLe(out, 16, 4);
    putLe(out, 1, 2);
    putLe(out, 2, 2);
    putLe(out, kRate, 4);
    putLe(out, kRate * 4, 4);
    putLe(out, 4, 2);
    putLe(out, 16, 2);
    out << "data";
    putLe(out, dataBytes, 4);
    std::vector<int16_t> frames(2 * kRate);
    for (int second = 0; second < kSeconds; ++second) {
        for (int i = 0; i < kRate; ++i) {
            const double t = (second * kRate + i) / double(kRate);
            const double voice = 8000 * std::sin(2 * M_PI * 440 * t);
            const double guitar = 6000 * std::sin(2 * M_PI * 110 * t);
            frames[2 * i] = static_cast<int16_t>(voice + guitar);
            frames[2 * i + 1] = static_cast<int16_t>(voice);
        }
        out.write(reinterpret_cast<const char*>(frames.data()),
                  static_cast<std::streamsize>(frames.size() * 2));
    }
}

const std::string& benchWav() {
    static const std::string path = [] {
        if (const char* given = std::getenv("VOCALIA_BENCH_WAV")) {
            return std::string(given);
        }
        std::string made = "/tmp/vocalia-bench-" + std::to_string(::getpid()) + ".wav";
        writeTestWav(made);
        std::atexit([] { std::remove(benchWav().c_str()); });
        return made;
    }();
    return path;
}

int64_t fileBytes() {
    std::ifstream in(benchWav(), std::ios::binary | std::ios::ate);
    return static_cast<int64_t>(in.tellg());
}

void BM_RemoveVocals(benchmark::State& state) {
    const auto passes = static_cast<int>(state.range(0));
    const VocalRemover remover;
    for (auto _ : state) {
        if (!remover.RemoveVocals(benchWav(), passes)) {
            state.SkipWithError("cannot open the WAV file");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * fileBytes());
}
BENCHMARK(BM_RemoveVocals)->Arg(0)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same work on 16 MB of samples already in memory: the processing alone, without the cost
// of mapping the file's pages.
void BM_ProcessSamplesInMemory(benchmark::State& state) {
    const auto passes = static_cast<int>(state.range(0));
    std::vector<uint8_t> bytes(16 << 20);
    std::ifstream(benchWav(), std::ios::binary)
        .read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    for (auto _ : state) {
        VocalRemover::processSamples(bytes.data(), bytes.size() / 2, passes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_ProcessSamplesInMemory)->Arg(0)->Arg(2)->Arg(8)->UseRealTime();

void BM_CopyFileBytes(benchmark::State& state) {
    std::vector<char> chunk(1 << 20);
    for (auto _ : state) {
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
