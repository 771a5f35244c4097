// Frame times of the lyrics view while a word-timed lyric plays, and how far the drawn wipe
// stands from the song: a real song on the sound server, the real document and view, painted
// on the offscreen platform. Prints p50/p99 of the time between frames and of the paint itself,
// and the largest gap between the audio position at a paint and the position whose word times
// that paint shows. Needs a sound server (scripts/with-sound-server.sh).

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lyrics/ui/LyricsView.h"
#include "playback/EnginePorts.h"
#include "playback/MelodeckDoc.h"
#include "shell/AtomicFile.h"
#include "shell/ConfigKeys.h"
#include "shell/Settings.h"
#include "tests/media/MediaFixtures.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The song player as the document sees it, remembering the last position it handed out: the
// position the view computed its wipe from.
class RecordingPort : public SongPlayer {
public:
    explicit RecordingPort(MusicPlayerPort& port) : m_port(port) {}
    void Reset() override { m_port.Reset(); }
    bool Open(const std::string& path) override { return m_port.Open(path); }
    void Play() override { m_port.Play(); }
    void Stop() override { m_port.Stop(); }
    void TogglePause() override { m_port.TogglePause(); }
    long long GetPositionMs() const override {
        m_lastShown = m_port.GetPositionMs();
        return m_lastShown;
    }
    long long GetDurationMs() override { return m_port.GetDurationMs(); }
    void SeekMs(long long ms) override { m_port.SeekMs(ms); }
    void SetCompletionHandler(std::function<void()> handler) override {
        m_port.SetCompletionHandler(std::move(handler));
    }
    std::uint32_t ChannelLevels() const override { return m_port.ChannelLevels(); }
    void SetChannelLevels(std::uint32_t levels) override { m_port.SetChannelLevels(levels); }

    long long LastShown() const { return m_lastShown; }

private:
    MusicPlayerPort& m_port;
    mutable long long m_lastShown = 0;
};

// The view with every paint timed, and the wipe's distance from the song at each one.
class TimedLyricsView : public CLyricsView {
public:
    TimedLyricsView(const RecordingPort& shown, MusicPlayerPort& song)
        : m_shown(shown), m_song(song) {}

    std::vector<double> frameGaps;
    std::vector<double> paintTimes;
    std::vector<double> wipeErrors;
    bool measuring = false;

protected:
    void paintEvent(QPaintEvent* event) override {
        const auto start = Clock::now();
        if (measuring) {
            if (m_lastPaint != Clock::time_point{}) {
                frameGaps.push_back(msSince(m_lastPaint, start));
            }
            wipeErrors.push_back(
                std::abs(static_cast<double>(m_song.GetPositionMs() - m_shown.LastShown())));
        }
        CLyricsView::paintEvent(event);
        if (measuring) {
            paintTimes.push_back(msSince(start, Clock::now()));
            m_lastPaint = start;
        }
    }

private:
    const RecordingPort& m_shown;
    MusicPlayerPort& m_song;
    Clock::time_point m_lastPaint;
};

// Lines two seconds apart, each sung as five words 400 ms apart, so that the colour runs
// without a stop (the last word ends where the next line starts); Latin and Chinese lines.
std::string wordTimedLyric(int lines) {
    const char* latin[] = {"Twin", "kle ", "twin", "kle ", "star"};
    const char* chinese[] = {"一", "闪", "一", "闪", "亮"};
    std::string text = "[ti:wipe]\r\n[ar:bench]\r\n";
    const auto tag = [](char open, int ms, char close) {
        char buffer[24];
        std::snprintf(buffer, sizeof buffer, "%c%02d:%02d.%02d%c", open, ms / 60000, ms / 1000 % 60,
                      ms / 10 % 100, close);
        return std::string(buffer);
    };
    for (int line = 0; line < lines; ++line) {
        const int start = 500 + line * 2000;
        text += tag('[', start, ']');
        for (int word = 0; word < 5; ++word) {
            text += tag('<', start + word * 400, '>');
            text += line % 2 == 0 ? latin[word] : chinese[word];
        }
        text += "\r\n";
    }
    return text;
}

double percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto at = static_cast<size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const char* seconds = std::getenv("VOCALIA_BENCH_PLAY_SECONDS");
    const int playSeconds = seconds != nullptr ? std::max(2, std::atoi(seconds)) : 20;

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "vocalia-wipe-frames-bench";
    std::filesystem::create_directories(folder);
    theSettings.SetFilePath((folder / "OrvMelodeck.ini").c_str());
    writeSetting(ConfigKey::AppPath, folder.string() + "/");
    const std::string song = (folder / "song.mp3").string();
    const std::string lyric = (folder / "song.lrc").string();
    makeToneMp3(song, playSeconds + 2.0);
    writeFileAtomically(lyric, wordTimedLyric(playSeconds / 2 + 1));

    MusicPlayerPort engine;
    RecordingPort port(engine);
    int offset = 0;
    CMelodeckDoc doc(MediaObjects{&port, nullptr, nullptr, &offset});
    TimedLyricsView view(port, engine);
    view.AttachDocument(&doc);
    doc.AttachViews(nullptr, &view);
    view.resize(800, 600);
    view.show();
    doc.PlayWithLyric(lyric, song);
    if (doc.m_playState != kPlaying) {
        std::fprintf(stderr, "wipe_frames_bench: the song does not play\n");
        return 1;
    }

    // The first second settles the graph and the first line; then every frame counts.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    view.measuring = true;
    while (clock.elapsed() < playSeconds * 1000LL) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    view.measuring = false;
    const bool followed = view.FollowsFrames();
    doc.OnStop();

    // Timers fire late on a busy machine: the load tells how far the frame times say more
    // about the machine than about the view.
    std::ifstream load("/proc/loadavg");
    std::string loadAverage;
    std::getline(load, loadAverage);
    std::printf("load average: %s\n", loadAverage.c_str());
    std::printf("song: %d s, %zu frames, view followed the frames: %s\n", playSeconds,
                view.paintTimes.size(), followed ? "yes" : "no");
    std::printf("frame time: p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
                percentile(view.frameGaps, 0.5), percentile(view.frameGaps, 0.99),
                percentile(view.frameGaps, 1.0));
    std::printf("paint time: p50 %.2f ms, p99 %.2f ms\n", percentile(view.paintTimes, 0.5),
                percentile(view.paintTimes, 0.99));
    std::printf("wipe error: p50 %.1f ms, max %.1f ms\n", percentile(view.wipeErrors, 0.5),
                percentile(view.wipeErrors, 1.0));
    const bool pass = followed && !view.frameGaps.empty() &&
                      percentile(view.frameGaps, 0.99) < 20 &&
                      percentile(view.wipeErrors, 1.0) <= 20;
    std::printf("%s (p99 frame time under 20 ms, wipe within 20 ms)\n", pass ? "PASS" : "FAIL");
    return pass ? 0 : 1;
}
