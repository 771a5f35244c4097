// Repaint cost of the lyrics view with a 500-line lyric in both display modes, and the time
// to add 1,000 MP3 files to the song list through the add-files worker (rows appear as each
// file is probed; the window thread only appends).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "library/ui/LeftForm.h"
#include "lyrics/ui/LyricsView.h"
#include "playback/MelodeckDoc.h"
#include "resources/CommandIds.h"
#include "shell/AtomicFile.h"
#include "shell/ConfigKeys.h"
#include "shell/Settings.h"

namespace {

// A scratch program folder under the temporary folder; VOCALIA_BENCH_DIR overrides it.
std::string benchFolder() {
    const char* given = std::getenv("VOCALIA_BENCH_DIR");
    std::string folder = given != nullptr ? given : "/tmp/vocalia-views-bench";
    if (folder.back() != '/') {
        folder += '/';
    }
    std::filesystem::create_directories(folder);
    return folder;
}

void startProgramFolder(const std::string& folder) {
    theSettings.SetFilePath((folder + "OrvMelodeck.ini").c_str());
    writeSetting(ConfigKey::AppPath, folder);
}

std::string lyricOf500Lines(const std::string& folder) {
    std::string text = "[ti:测试]\r\n[ar:歌手]\r\n";
    for (int i = 0; i < 500; ++i) {
        char tag[32];
        std::snprintf(tag, sizeof tag, "[%02d:%02d.%02d]", i * 3 / 60, i * 3 % 60, i % 100);
        text += std::string(tag) + "第" + std::to_string(i) + "行 歌词文字在这里滚动显示\r\n";
    }
    const std::string path = folder + "bench.lrc";
    writeFileAtomically(path, text);
    return path;
}

// 1,000 MP3 files of 200 silent MPEG-1 layer III frames (128 kbit/s, 44.1 kHz, about 5 s).
std::vector<std::string> thousandMp3Files(const std::string& folder) {
    std::string frame(417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = '\x90';
    frame[3] = '\x00';
    std::string bytes;
    for (int i = 0; i < 200; ++i) {
        bytes += frame;
    }
    std::filesystem::create_directories(folder + "mp3");
    std::vector<std::string> paths;
    for (int i = 0; i < 1000; ++i) {
        paths.push_back(folder + "mp3/song" + std::to_string(i) + ".mp3");
        if (!std::filesystem::exists(paths.back())) {
            writeFileAtomically(paths.back(), bytes);
        }
    }
    return paths;
}

void repaintLyrics(benchmark::State& state, int modeCommand) {
    const std::string folder = benchFolder();
    startProgramFolder(folder);
    int offset = 0;
    CMelodeckDoc doc(MediaObjects{nullptr, nullptr, nullptr, &offset});
    doc.m_songs.push_back(SongEntry{"/x.mp3", "歌手 - 测试", "25:00", 1500});
    CLyricsView view;
    view.AttachDocument(&doc);
    view.resize(800, 600);
    view.show();
    view.OnCommand(modeCommand);
    view.LoadLyrics(lyricOf500Lines(folder));
    // The paint goes into an image like the window's backing store, so it runs whether or not
    // the platform shows the window.
    QImage target(view.size(), QImage::Format_ARGB32_Premultiplied);
    long long position = 0;
    for (auto _ : state) {
        // Each step moves the text; the paint is the whole cost of a timer tick.
        position = (position + 170) % 1500000;
        view.UpdatePosition(position);
        view.render(&target);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_RepaintMultiLine(benchmark::State& state) {
    repaintLyrics(state, kCmdModeScroll);
}
void BM_RepaintTwoLine(benchmark::State& state) {
    repaintLyrics(state, kCmdModeAlternate);
}

void BM_Add1000Mp3Files(benchmark::State& state) {
    const std::string folder = benchFolder();
    startProgramFolder(folder);
    const std::vector<std::string> paths = thousandMp3Files(folder);
    for (auto _ : state) {
        int offset = 0;
        CMelodeckDoc doc(MediaObjects{nullptr, nullptr, nullptr, &offset});
        CLeftForm form(&doc, MakeDurationProbe());
        form.OnInitialUpdate();
        form.SongLists().AddSongFiles(paths);
        while (form.SongLists().Adder().Pending() > 0) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        benchmark::DoNotOptimize(doc.m_songs.size());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(paths.size()));
}

}  // namespace

BENCHMARK(BM_RepaintMultiLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintTwoLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Add1000Mp3Files)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
