// Commands of the media engine: measuring, playing, the live microphone monitor, recording.

#include <glib-unix.h>
#include <glib.h>

#include <array>
#include <csignal>
#include <iostream>
#include <map>
#include <memory>

#include "cli/CliCommand.h"
#include "cli/ToneOptions.h"
#include "media/ChannelLevel.h"
#include "media/MediaProbe.h"
#include "media/MicMonitor.h"
#include "media/MusicPlayer.h"
#include "media/ToneStage.h"
#include "media/VoiceRecorder.h"
#include "shell/Settings.h"

namespace {

struct MainLoopUnref {
    void operator()(GMainLoop* loop) const { g_main_loop_unref(loop); }
};
using MainLoopPtr = std::unique_ptr<GMainLoop, MainLoopUnref>;

// Runs the default GLib main loop (where the media graphs deliver their events) for at most
// `seconds` (0: no limit), calling `tick` once a second until it returns false.
void runMainLoop(long long seconds, const std::function<bool()>& tick, GMainLoop* loop) {
    struct Ticker {
        const std::function<bool()>* tick;
        GMainLoop* loop;
        long long left;
    } ticker{&tick, loop, seconds};
    g_timeout_add_seconds(
        1,
        [](gpointer data) -> gboolean {
            auto* t = static_cast<Ticker*>(data);
            const bool goOn = (*t->tick)() && (t->left == 0 || --t->left > 0);
            if (!goOn) {
                g_main_loop_quit(t->loop);
            }
            return goOn ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
        },
        &ticker);
    g_main_loop_run(loop);
    while (g_source_remove_by_user_data(&ticker)) {
    }
}

gboolean quitLoop(gpointer loop) {
    g_main_loop_quit(static_cast<GMainLoop*>(loop));
    return G_SOURCE_CONTINUE;
}

// While it lives, Ctrl+C and kill quit `loop` instead of ending the process, so that the command
// takes down what it set up. A signal that comes before the loop runs quits it as it starts.
class QuitOnInterrupt {
public:
    explicit QuitOnInterrupt(GMainLoop* loop)
        : m_sources{g_unix_signal_add(SIGINT, quitLoop, loop),
                    g_unix_signal_add(SIGTERM, quitLoop, loop)} {}
    ~QuitOnInterrupt() {
        for (const guint source : m_sources) {
            g_source_remove(source);
        }
    }
    QuitOnInterrupt(const QuitOnInterrupt&) = delete;
    QuitOnInterrupt& operator=(const QuitOnInterrupt&) = delete;

private:
    std::array<guint, 2> m_sources;
};

uint32_t channelLevelOption(const CliArgs& args) {
    static const std::map<std::string, uint32_t> levels = {{"left", kChannelLevelLeftOnly},
                                                           {"stereo", kChannelLevelStereo},
                                                           {"right", kChannelLevelRightOnly}};
    const std::string name = args.value("--channel", "stereo");
    const auto found = levels.find(name);
    if (found == levels.end()) {
        throw CliUsageError("--channel must be left, stereo or right, not \"" + name + "\"");
    }
    return found->second;
}

long long secondsOption(const CliArgs& args, long long def) {
    const long long seconds = args.number("--seconds", def);
    if (seconds < 0) {
        throw CliUsageError("--seconds must not be negative");
    }
    return seconds;
}

int play(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {"--seek", "--seconds", "--channel", "--key", "--tempo"},
                       {"--vocal-cut"});
    args.expectPositionals(1, 1);
    const std::string& file = args.positional(0, "FILE");
    const long long seekMs = args.number("--seek", 0);
    const long long seconds = secondsOption(args, 0);
    setOutputChannelLevel(channelLevelOption(args));
    PlaybackTone::setKey(keyOption(args));
    PlaybackTone::setTempo(tempoOption(args));
    PlaybackTone::setVocalCut(args.has("--vocal-cut"));

    MusicPlayer player;
    if (player.Open(file) < 0) {
        throw CliFailure(file + ": cannot play: " + player.LastError());
    }
    if (seekMs != 0) {
        player.SeekMs(seekMs);
    }
    const MainLoopPtr loop(g_main_loop_new(nullptr, FALSE));
    std::string error;
    bool completed = false;
    player.SetNotify(true);
    QObject::connect(&player, &MusicPlayer::eventsQueued, [&] {
        MediaEvent event;
        while (player.GetEvent(event)) {
            completed = completed || event.code == MediaEvent::Complete;
            if (event.code == MediaEvent::ErrorAbort) {
                error = event.text;
            }
        }
        g_main_loop_quit(loop.get());
    });
    if (player.Play() < 0) {
        throw CliFailure(file + ": cannot play: " + player.LastError());
    }
    runMainLoop(
        seconds,
        [&] {
            CliContext::printJson({{"positionMs", player.GetPositionMs()}});
            return true;
        },
        loop.get());
    const nlohmann::json summary = {{"positionMs", player.GetPositionMs()},
                                    {"durationSeconds", player.GetDurationSec()},
                                    {"completed", completed}};
    player.Stop();
    if (!error.empty()) {
        throw CliFailure(file + ": playback failed: " + error);
    }
    CliContext::printJson(summary);
    return 0;
}

int probe(const std::vector<std::string>& raw, CliContext&) {
    const CliArgs args(raw, {}, {});
    args.expectPositionals(1, 1);
    const std::string& file = args.positional(0, "FILE");
    const auto seconds = probeDurationSeconds(file);
    if (!seconds) {
        throw CliFailure(file + ": cannot open the media file");
    }
    CliContext::printJson({{"durationSeconds", *seconds}});
    return 0;
}

int monitor(const std::vector<std::string>& raw, CliContext& context) {
    const CliArgs args(raw, {"--seconds"}, {});
    args.expectPositionals(0, 0);
    const long long seconds = secondsOption(args, 10);
    context.programFolder();  // the settings come from the program folder's configuration
    const MainLoopPtr loop(g_main_loop_new(nullptr, FALSE));
    // Ended from outside (Ctrl+C, kill), even while the loopback is being set up, it still
    // takes the microphone off the speakers.
    const QuitOnInterrupt interrupts(loop.get());
    MicMonitor graph;
    graph.SetFormat(readSetting(ConfigKey::PhoneChannel), readSetting(ConfigKey::PhoneByte),
                    CaptureFormat::rateFromSetting(readSetting(ConfigKey::PhoneFrenSing)),
                    readSetting(ConfigKey::PhoneBuffernum),
                    static_cast<float>(readSetting(ConfigKey::PhoneDelay)));
    if (graph.Build() < 0 || graph.Play() < 0) {
        throw CliFailure("microphone: cannot monitor: " + graph.LastError());
    }
    const long long refresh = readSetting(ConfigKey::PhoneRefreshTimerSing);
    long long elapsed = 0;
    int restarts = 0;
    runMainLoop(
        seconds,
        [&] {
            // The periodic restart, which starts the monitor again when it has gone.
            if (refresh > 0 && ++elapsed % refresh == 0) {
                graph.Restart();
                ++restarts;
            }
            return true;
        },
        loop.get());
    graph.Stop();
    const CaptureFormat& format = graph.Format();
    CliContext::printJson({{"seconds", seconds},
                           {"restarts", restarts},
                           {"channels", format.Channels()},
                           {"bytesPerSample", format.BytesPerSample()},
                           {"sampleRate", format.SampleRate()},
                           {"bufferTimeUs", format.BufferTimeUs()},
                           {"latencyTimeUs", format.LatencyTimeUs()},
                           {"latencyMs", graph.LatencyMs()}});
    return 0;
}

int record(const std::vector<std::string>& raw, CliContext& context) {
    const CliArgs args(raw, {"--seconds"}, {});
    args.expectPositionals(1, 1);
    const std::string& out = args.positional(0, "OUT");
    const long long seconds = secondsOption(args, 5);
    context.programFolder();
    VoiceRecorder recorder;
    recorder.SetFormat(readSetting(ConfigKey::RecordChannel), readSetting(ConfigKey::RecordByte),
                       CaptureFormat::rateFromSetting(readSetting(ConfigKey::RecordFren)),
                       readSetting(ConfigKey::RecordBuffernum),
                       static_cast<float>(readSetting(ConfigKey::RecordDelay)));
    std::string error;
    if (recorder.Build(out, error) < 0) {
        throw CliFailure(out + ": " + error);
    }
    if (recorder.Play() < 0) {
        throw CliFailure(out + ": cannot record: " + recorder.LastError());
    }
    const MainLoopPtr loop(g_main_loop_new(nullptr, FALSE));
    runMainLoop(
        seconds, [] { return true; }, loop.get());
    if (recorder.Stop() < 0) {
        throw CliFailure(out + ": the recording failed: " + recorder.LastError());
    }
    CliContext::printJson({{"output", out}, {"seconds", seconds}});
    return 0;
}

const CliRegistration kProbe({"probe", "FILE",
                              "Prints the length of a media file in whole seconds as the song "
                              "list measures it (0 when it cannot be measured).",
                              probe});
const CliRegistration kPlay({"play",
                             "FILE [--seek MS] [--seconds N] [--channel left|stereo|right] "
                             "[--key N] [--tempo P] [--vocal-cut]",
                             "Plays a media file on the default output until its end (or for N "
                             "seconds), printing the song position once a second; N semitones "
                             "up or down (-6..6), at P % speed with the pitch kept (80..120 in "
                             "steps of 5), the voice taken out with --vocal-cut.",
                             play});
const CliRegistration kMonitor({"monitor", "[--seconds N]",
                                "Plays the microphone live to the default output with the "
                                "\"PhoneSet\" settings for N seconds (default 10), restarting "
                                "it every \"RefreshTimer\" seconds.",
                                monitor});
const CliRegistration kRecord({"record", "OUT [--seconds N]",
                               "Records the microphone into the plain MP3 file OUT with the "
                               "\"RecordSet\" settings for N seconds (default 5).",
                               record});

}  // namespace
