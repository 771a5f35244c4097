// Parsing a long lyric, choosing its current line, and searching a large lyric library.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "lyrics/LrcLyric.h"
#include "lyrics/LyricSearch.h"

namespace fs = std::filesystem;

namespace {

constexpr int kLines = 10000;

std::string tenThousandLines() {
    std::string text = "[ti:长歌]\r\n[ar:歌手]\r\n[by:bench]\r\n";
    char tag[32];
    for (int i = 0; i < kLines; ++i) {
        std::snprintf(tag, sizeof tag, "[%02d:%02d.%02d]", i / 6000 % 100, i / 100 % 60, i % 100);
        text += tag;
        text += "我们一起唱这首歌 line " + std::to_string(i) + "\r\n";
    }
    return text;
}

void BM_ParseLrc10000Lines(benchmark::State& state) {
    const std::string text = tenThousandLines();
    while (state.KeepRunning()) {
        LrcLyric lyric;
        lyric.Parse(text);
        benchmark::DoNotOptimize(lyric.Lines().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseLrc10000Lines);

void BM_FindCurrentLine10000Lines(benchmark::State& state) {
    LrcLyric lyric;
    lyric.Parse(tenThousandLines());
    const int last = lyric.Lines().back().End;
    int position = 0;
    int current = -1;
    while (state.KeepRunning()) {
        current = lyric.FindCurrentLine(position, 500, current);
        benchmark::DoNotOptimize(current);
        position = (position + 7919) % last;
    }
}
BENCHMARK(BM_FindCurrentLine10000Lines);

// The library to search: $VOCALIA_BENCH_LYRICS, else one made once: 1,000 singer folders of
// 20 lyric files each.
const std::string& libraryRoot() {
    static const std::string root = [] {
        if (const char* given = std::getenv("VOCALIA_BENCH_LYRICS")) {
            return std::string(given);
        }
        std::string made = (fs::temp_directory_path() / "vocalia-bench-lyrics/").string();
        if (!fs::exists(made + "done")) {
            for (int s = 0; s < 1000; ++s) {
                const std::string singer = "Singer " + std::to_string(s);
                fs::create_directories(made + singer);
                for (int t = 0; t < 20; ++t) {
                    const std::string title = "Title " + std::to_string(s * 20 + t);
                    std::ofstream(fs::path(made) / singer / (title + ".lrc"))
                        << "[ar:" << singer << "]\r\n[ti:" << title << "]\r\n[00:01.00]la\r\n";
                }
            }
            std::ofstream(made + "done");
        }
        return made;
    }();
    return root;
}

void BM_SearchLibrary20000Files(benchmark::State& state) {
    const char* key = std::getenv("VOCALIA_BENCH_KEY");
    const std::string keyword = key ? key : "77";
    size_t found = 0;
    while (state.KeepRunning()) {
        found = 0;
        SearchFolder(libraryRoot(), keyword, [&](const LyricSearchRow&) { ++found; });
    }
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_SearchLibrary20000Files)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
