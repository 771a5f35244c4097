// Playlists of 10,000 songs and the frame scan of a 5-minute MP3.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "library/M3uPlaylist.h"
#include "library/Mp3Info.h"

namespace fs = std::filesystem;

namespace {

std::string benchFile(const std::string& name) {
    return (fs::temp_directory_path() / ("vocalia-bench-" + name)).string();
}

std::vector<SongEntry> tenThousandSongs() {
    std::vector<SongEntry> songs;
    for (int i = 0; i < 10000; ++i) {
        const std::string n = std::to_string(i);
        std::string path = "/home/user/音乐/歌手 ";
        path += n;
        path += "/歌曲 ";
        path += n;
        path += ".mp3";
        std::string name = "歌手 ";
        name += n;
        name += " - 歌曲 ";
        name += n;
        songs.push_back(MakeSongEntry(path, name, 180 + i % 120));
    }
    return songs;
}

void BM_SaveM3u10000Entries(benchmark::State& state) {
    const auto songs = tenThousandSongs();
    const std::string path = benchFile("save.m3u");
    while (state.KeepRunning()) {
        if (!SaveM3u(path, songs)) {
            state.SkipWithError("cannot write the playlist");
            break;
        }
    }
    fs::remove(path);
}
BENCHMARK(BM_SaveM3u10000Entries)->Unit(benchmark::kMillisecond);

void BM_LoadM3u10000Entries(benchmark::State& state) {
    const std::string path = benchFile("load.m3u");
    SaveM3u(path, tenThousandSongs());
    while (state.KeepRunning()) {
        benchmark::DoNotOptimize(LoadM3u(path).size());
    }
    fs::remove(path);
}
BENCHMARK(BM_LoadM3u10000Entries)->Unit(benchmark::kMillisecond);

// $VOCALIA_BENCH_MP3, else 5 minutes of 128 kbit/s 44.1 kHz frames made once.
const std::string& mp3File() {
    static const std::string path = [] {
        if (const char* given = std::getenv("VOCALIA_BENCH_MP3")) {
            return std::string(given);
        }
        std::string made = benchFile("5min.mp3");
        std::ofstream out(made, std::ios::binary);
        std::string frame(417, '\0');
        frame.replace(0, 4, "\xFF\xFB\x90\x44");
        for (int i = 0; i < 300 * 44100 / 1152; ++i) {
            out << frame;
        }
        return made;
    }();
    return path;
}

void BM_Mp3InfoFiveMinutes(benchmark::State& state) {
    while (state.KeepRunning()) {
        const Mp3Info info(mp3File());
        benchmark::DoNotOptimize(info.Duration());
    }
}
BENCHMARK(BM_Mp3InfoFiveMinutes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
