// Figures of the key and tempo shifter and the live vocal reduction: key accuracy, rendered
// length at 80 %, the reduction of a synthetic mix beside plain L-R removal and the stock
// karaoke filter, and the processor share of playing with key shift and vocal cut on. The last
// needs a sound server (scripts/with-sound-server.sh); VOCALIA_BENCH_PLAY_SECONDS sets its
// length (default 60).

#include <sys/times.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "media/DecodeGraph.h"
#include "media/GstHandles.h"
#include "media/MusicPlayer.h"
#include "media/ToneRenderGraph.h"
#include "media/ToneStage.h"
#include "media/VocalCut.h"
#include "tests/media/MediaFixtures.h"

namespace {

constexpr int kRate = 44100;
namespace fs = std::filesystem;

std::string tempFile(const std::string& name) {
    return (fs::temp_directory_path() / ("vocalia-tone-bench-" + name)).string();
}

// Frequency of the left channel by counting rising zero crossings, each placed between its
// two samples, over the middle of the samples (the ends hold the shifter's fades).
double measuredFrequency(const std::vector<int16_t>& samples) {
    const size_t frames = samples.size() / 2;
    double first = -1;
    double last = -1;
    int crossings = 0;
    for (size_t i = frames / 4 + 1; i < frames * 3 / 4; ++i) {
        const double a = samples[2 * (i - 1)];
        const double b = samples[2 * i];
        if (a < 0 && b >= 0) {
            const double at = static_cast<double>(i - 1) + a / (a - b);
            first = first < 0 ? at : first;
            last = at;
            ++crossings;
        }
    }
    return crossings > 1 ? (crossings - 1) * kRate / (last - first) : 0.0;
}

// Renders the tone file with a key and tempo and decodes the result to samples.
std::vector<int16_t> render(const std::string& tone, int key, int tempo) {
    const std::string mp3 = tempFile("render.mp3");
    const std::string wav = tempFile("render.wav");
    ToneRenderGraph shift;
    DecodeGraph decode;
    if (shift.Build(tone, mp3, key, tempo) < 0 || shift.Play() < 0 || decode.Build(mp3, wav) < 0 ||
        decode.Play() < 0) {
        std::fprintf(stderr, "render failed: %s%s\n", shift.LastError().c_str(),
                     decode.LastError().c_str());
        return {};
    }
    return readWavSamples(wav);
}

void keyAccuracy() {
    const std::string tone = tempFile("tone.wav");
    makeToneWav(tone, 10, 440);
    for (const auto& [key, expected] : {std::pair{3, 523.25}, std::pair{-5, 329.63}}) {
        const double heard = measuredFrequency(render(tone, key, 100));
        std::printf("key %+d: %.2f Hz (expected %.2f, error %.3f %%)\n", key, heard, expected,
                    100.0 * std::abs(heard - expected) / expected);
    }
}

void tempoLength() {
    const std::string tone = tempFile("song.wav");
    makeToneWav(tone, 60, 440);
    const std::vector<int16_t> samples = render(tone, 0, 80);
    const double seconds = static_cast<double>(samples.size()) / 2 / kRate;
    const double heard = measuredFrequency(samples);
    std::printf(
        "tempo 80 %%: 60 s song lasts %.3f s (expected 75), pitch %.2f Hz (error %.3f %%)\n",
        seconds, heard, 100.0 * std::abs(heard - 440.0) / 440.0);
}

// --- Vocal reduction on a synthetic mix, one part at a time (the filters are linear). ---

using Stereo = std::vector<float>;

Stereo part(size_t frames, const std::function<std::pair<double, double>(double)>& at) {
    Stereo samples(2 * frames);
    for (size_t i = 0; i < frames; ++i) {
        const auto [left, right] = at(static_cast<double>(i) / kRate);
        samples[2 * i] = static_cast<float>(left);
        samples[2 * i + 1] = static_cast<float>(right);
    }
    return samples;
}

// A centre voice: harmonics of 220 Hz up to 4 kHz, falling 3 dB an octave.
std::pair<double, double> voice(double t) {
    double v = 0;
    for (int h = 1; 220.0 * h <= 4000.0; ++h) {
        v += 0.15 / std::sqrt(h) * std::sin(2 * M_PI * 220.0 * h * t + h);
    }
    return {v, v};
}

// A centre bass line under 150 Hz.
std::pair<double, double> bass(double t) {
    const double b = 0.3 * std::sin(2 * M_PI * 55 * t) + 0.2 * std::sin(2 * M_PI * 110 * t);
    return {b, b};
}

// Cymbals in the centre, above the voice.
std::pair<double, double> cymbals(double t) {
    const double c = 0.1 * std::sin(2 * M_PI * 9000 * t) + 0.05 * std::sin(2 * M_PI * 12500 * t);
    return {c, c};
}

// An instrument panned to the left (80 % left, 20 % right).
std::pair<double, double> instrument(double t) {
    const double x = 0.2 * std::sin(2 * M_PI * 660 * t) + 0.1 * std::sin(2 * M_PI * 1320 * t);
    return {0.8 * x, 0.2 * x};
}

double energy(const Stereo& samples) {
    double sum = 0;
    for (size_t i = kRate; i < samples.size(); ++i) {  // after the first half second
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return sum;
}

using Removal = std::function<Stereo(Stereo)>;

Stereo ownCut(Stereo samples) {
    VocalCut cut(kRate);
    cut.Process(samples.data(), samples.size() / 2, true);
    return samples;
}

Stereo leftMinusRight(Stereo samples) {
    for (size_t i = 0; i < samples.size(); i += 2) {
        const float difference = samples[i] - samples[i + 1];
        samples[i] = difference;
        samples[i + 1] = -difference;
    }
    return samples;
}

// The stock karaoke element over the samples, through a file pipeline.
Removal karaoke(const std::string& settings) {
    return [settings](Stereo samples) {
        const std::string in = tempFile("karaoke-in.raw");
        const std::string out = tempFile("karaoke-out.raw");
        if (FILE* file = std::fopen(in.c_str(), "wb")) {
            std::fwrite(samples.data(), sizeof(float), samples.size(), file);
            std::fclose(file);
        }
        runPipeline("filesrc location=" + in +
                    " ! rawaudioparse format=pcm pcm-format=f32le sample-rate=44100"
                    " num-channels=2 ! audioconvert ! audiokaraoke " +
                    settings +
                    " ! audioconvert ! audio/x-raw,format=F32LE ! filesink location=" + out);
        Stereo result(samples.size());
        if (FILE* file = std::fopen(out.c_str(), "rb")) {
            result.resize(std::fread(result.data(), sizeof(float), result.size(), file));
            std::fclose(file);
        }
        return result;
    };
}

void vocalReduction() {
    const size_t frames = 4 * kRate;
    const Stereo parts[] = {part(frames, voice), part(frames, bass), part(frames, instrument),
                            part(frames, cymbals)};
    const std::pair<const char*, Removal> removals[] = {
        {"live vocal cut", ownCut},
        {"L-R removal", leftMinusRight},
        {"audiokaraoke, defaults", karaoke("")},
        {"audiokaraoke, band 80 width 60", karaoke("filter-band=80 filter-width=60")},
    };
    std::printf(
        "%-32s %8s %8s %8s %8s  (dB change; aims: voice <= -20, bass within 3, "
        "instrument within 6, cymbals kept)\n",
        "", "voice", "bass", "instr.", "cymbals");
    for (const auto& [name, removal] : removals) {
        std::printf("%-32s", name);
        for (const Stereo& samples : parts) {
            std::printf(" %8.1f", 10 * std::log10(energy(removal(samples)) / energy(samples)));
        }
        std::printf("\n");
    }
}

// --- Processor share of the whole play path. ---

double processSeconds() {
    tms times{};
    ::times(&times);
    return static_cast<double>(times.tms_utime + times.tms_stime) /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}

void playShare() {
    const char* env = std::getenv("VOCALIA_BENCH_PLAY_SECONDS");
    const int seconds = env ? std::atoi(env) : 60;
    const std::string song = tempFile("play.mp3");
    makeToneMp3(song, seconds + 5, 440);
    PlaybackTone::setKey(-2);
    PlaybackTone::setVocalCut(true);
    MusicPlayer player;
    if (player.Open(song) < 0 || player.Play() < 0) {
        std::printf("play: cannot play (%s); is a sound server running?\n",
                    player.LastError().c_str());
        return;
    }
    const double cpuStart = processSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    pumpUntil([] { return false; }, seconds * 1000);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double cpu = processSeconds() - cpuStart;
    player.Stop();
    std::printf(
        "play with key -2 and vocal cut: %.1f %% of one core over %.0f s "
        "(44.1 kHz stereo MP3)\n",
        100.0 * cpu / wall, wall);
}

}  // namespace

int main() {
    ensureGstInitialized();
    keyAccuracy();
    tempoLength();
    vocalReduction();
    playShare();
    return 0;
}
